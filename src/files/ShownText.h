#pragma once

#include <QString>
#include <QStringView>

namespace fenra {

// A word from a file or a command line as an error line may show it: at most
// kShownTextLength characters, then "...", with control characters and NUL
// written as \n, \t, \0 or \xNN, so a line never carries raw bytes that cut it
// short or move the terminal's cursor, and a huge token is not echoed whole.
inline constexpr int kShownTextLength = 40;
QString shownText(QStringView text);

}   // namespace fenra
