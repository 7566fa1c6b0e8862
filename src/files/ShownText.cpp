#include "files/ShownText.h"

namespace fenra {

QString shownText(QStringView text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size() && i < kShownTextLength; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n')
            shown += u"\\n";
        else if (c == u'\t')
            shown += u"\\t";
        else if (c == 0)
            shown += u"\\0";
        else if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0))
            shown += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        else
            shown += text[i];
    }
    if (text.size() > kShownTextLength)
        shown += u"...";
    return shown;
}

}   // namespace fenra
