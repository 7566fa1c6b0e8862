#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Where each key of an animation comes from, as the command line names them.
namespace fenra::animate {

struct KeySource {
    QString file;
    std::optional<QString> name;   // an entry of the collection in `file`
    QString shown;                 // as the user named it
};

// The keys: the collection's entries that --animate names, or the files in order,
// where FILE.ifs:NAME is an entry (unless a file has that whole name).
std::vector<KeySource> keySources(const QStringList& animate, const QStringList& inputs, const QString& input,
                                  const std::optional<QString>& name);

}   // namespace fenra::animate
