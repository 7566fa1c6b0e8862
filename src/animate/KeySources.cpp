#include "animate/KeySources.h"

#include <QFileInfo>

namespace fenra::animate {

std::vector<KeySource> keySources(const QStringList& animate, const QStringList& inputs, const QString& input,
                                  const std::optional<QString>& name)
{
    std::vector<KeySource> keys;
    for (const QString& entry : animate)
        keys.push_back({input, entry, entry});
    for (const QString& file : animate.isEmpty() ? inputs : QStringList{}) {
        const qsizetype colon = file.lastIndexOf(u':');
        if (colon > 0 && !QFileInfo::exists(file) && QFileInfo::exists(file.left(colon)))
            keys.push_back({file.left(colon), file.mid(colon + 1), file});
        else
            keys.push_back({file, inputs.size() == 1 ? name : std::nullopt, file});
    }
    return keys;
}

}   // namespace fenra::animate
