#include "platform/FileNames.h"

#include <QFile>
#include <QFileInfo>

namespace fenra {

DecodedArguments decodeArguments(const QList<QByteArray>& raw)
{
    DecodedArguments decoded;
    for (const QByteArray& bytes : raw) {
        decoded.arguments << QFile::decodeName(bytes);
        if (QFile::encodeName(decoded.arguments.last()) != bytes)
            decoded.error = QStringLiteral("\"%1\" is not valid in the system's encoding of names (UTF-8), so no "
                                           "file of exactly that name can be reached; rename it")
                                .arg(decoded.arguments.last());
    }
    return decoded;
}

bool sameFile(const QString& one, const QString& other)
{
    if (one == u"-" || other == u"-")
        return false;
    const QFileInfo a(one), b(other);
    return a.absoluteFilePath() == b.absoluteFilePath()
           || (a.exists() && b.exists() && a.canonicalFilePath() == b.canonicalFilePath());
}

}   // namespace fenra
