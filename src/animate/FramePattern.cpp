#include "animate/FramePattern.h"

namespace fenra::animate {

QString FramePattern::nameOf(int frame) const
{
    if (!numbered)
        return before;
    return before + QString::number(frame).rightJustified(digits, u'0') + after;
}

FramePatternReading readFramePattern(const QString& text)
{
    FramePatternReading reading;
    FramePattern& p = reading.pattern;
    QString* into = &p.before;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            *into += text[i];
            continue;
        }
        const qsizetype start = i++;
        if (i < text.size() && text[i] == u'%') {
            *into += u'%';
            continue;
        }
        int digits = 0;
        if (i + 1 < text.size() && text[i] == u'0' && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            digits = text[i + 1].digitValue();
            i += 2;
        }
        if (i >= text.size() || text[i] != u'd') {
            // Joined, not .arg()'d: the pattern's own percents would be taken for places.
            reading.error = u'"' + text.mid(start, i - start + 1) + QStringLiteral("\" at %1").arg(start + 1)
                            + QStringLiteral(" is not %d, %0Nd (N from 1 to 9) or %%");
            return reading;
        }
        if (p.numbered) {
            reading.error = QStringLiteral("holds more than one frame number");
            return reading;
        }
        p.numbered = true;
        p.digits = digits;
        into = &p.after;
    }
    return reading;
}

}   // namespace fenra::animate
