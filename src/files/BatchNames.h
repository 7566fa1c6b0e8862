#pragma once

#include <QString>

// The names a random batch writes: for run n, base + "(n).bmp" and base + "(n).tfg".
namespace fenra {

// The chosen data-file name less ".tfg" (in any case) when it ends so;
// otherwise the whole name, so a name typed without the extension keeps
// every character the user gave it.
QString batchBaseName(const QString& chosen);

// `run` counts from 1 and is written in plain decimal, never filled with zeros.
QString batchPictureName(const QString& base, int run);
QString batchDataName(const QString& base, int run);

}   // namespace fenra
