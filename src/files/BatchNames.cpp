#include "files/BatchNames.h"

namespace fenra {
namespace {

const QString kDataExtension = QStringLiteral(".tfg");

QString numberedName(const QString& base, int run, const char* extension)
{
    return base + QLatin1Char('(') + QString::number(run) + QLatin1Char(')') + QLatin1String(extension);
}

}   // namespace

QString batchBaseName(const QString& chosen)
{
    if (chosen.endsWith(kDataExtension, Qt::CaseInsensitive))
        return chosen.chopped(kDataExtension.size());
    return chosen;
}

QString batchPictureName(const QString& base, int run) { return numberedName(base, run, ".bmp"); }

QString batchDataName(const QString& base, int run) { return numberedName(base, run, ".tfg"); }

}   // namespace fenra
