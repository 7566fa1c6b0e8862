#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// File names as a command is given them.
namespace fenra {

// The arguments as the system's file names decode. One whose bytes would not
// come back the same is refused, with the reason: no file of exactly that name
// could be reached.
struct DecodedArguments {
    QStringList arguments;
    QString error;
};
DecodedArguments decodeArguments(const QList<QByteArray>& raw);

// Whether two names reach the same file; "-" is standard input or output, never a file.
bool sameFile(const QString& one, const QString& other);

}   // namespace fenra
