#include "command/CommandOptions.h"

#include "files/PictureSettings.h"

namespace fenra::command {

std::array<bool, 6> shownBut(const std::vector<int>& hidden)
{
    std::array<bool, 6> shown{true, true, true, true, true, true};
    for (const int set : hidden)
        shown[std::size_t(set - 1)] = false;
    return shown;
}

std::optional<std::array<bool, 6>> shownButList(const QString& text)
{
    const std::optional<std::vector<int>> sets = setList(text);
    return sets ? std::optional(shownBut(*sets)) : std::nullopt;
}

std::optional<QStringList> keyList(const QString& text)
{
    const QStringList names = text.split(u',');
    return names.contains(QString()) ? std::nullopt : std::optional(names);
}

}   // namespace fenra::command
