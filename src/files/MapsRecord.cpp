#include "files/MapsRecord.h"

#include "engine/NumberText.h"
#include "files/DataRecord.h"

#include <cmath>
#include <limits>

namespace fenra {

QString closestCoefficientText(double value)
{
    if (value == 0.0)
        value = 0.0;   // no "-0.000"
    QString best;
    double bestError = std::numeric_limits<double>::infinity();
    int bestRank = 0;
    // Rank: 0 the window's own form ("0.5000"), 1 without the leading zero, 2 an exponent form.
    const auto consider = [&](const QString& text, int rank) {
        const std::optional<double> read = text.size() <= kCoefficientWidth ? toDouble(text, u'.') : std::nullopt;
        if (!read)
            return;
        const double error = std::fabs(*read - value);
        if (error < bestError || (error == bestError && rank < bestRank)) {
            best = text;
            bestError = error;
            bestRank = rank;
        }
    };
    for (int decimals = 5; decimals >= 0; --decimals) {
        const QString text = QString::number(value, 'f', decimals);
        consider(text, 0);
        if (text.startsWith(QLatin1String("0.")))
            consider(text.mid(1), 1);
        else if (text.startsWith(QLatin1String("-0.")))
            consider(QLatin1Char('-') + text.mid(2), 1);
    }
    for (int decimals = 3; decimals >= 0; --decimals) {
        // "1.5e-07" -> "1.5e-7"
        QString text = QString::number(value, 'e', decimals);
        const qsizetype e = text.indexOf(u'e');
        const QChar sign = text[e + 1];
        QString exponent = text.mid(e + 2);
        while (exponent.size() > 1 && exponent.startsWith(u'0'))
            exponent.remove(0, 1);
        consider(text.left(e + 1) + (sign == u'-' ? QStringLiteral("-") : QString()) + exponent, 2);
    }
    // Whole mantissas around the value, "17e307" or "-12e-9", for what the forms above cannot reach.
    if (std::isfinite(value) && value != 0.0) {
        for (int digits = 1; digits <= 4; ++digits) {
            const int exponent = int(std::floor(std::log10(std::fabs(value)))) - (digits - 1);
            const double mantissa = std::floor(std::fabs(value) / std::pow(10.0, exponent));
            for (const double m : {mantissa, mantissa + 1})
                consider(QStringLiteral("%1%2e%3")
                             .arg(value < 0 ? QStringLiteral("-") : QString())
                             .arg(m, 0, 'f', 0)
                             .arg(exponent),
                         2);
        }
    }
    return best;
}

bool equalWeights(const std::vector<double>& weights)
{
    for (double w : weights) {
        if (std::fabs(w * double(weights.size()) - 1.0) > 0.05)
            return false;
    }
    return true;
}

MapsRecord recordOfMaps(const std::vector<AffineMap>& maps, const std::vector<double>& weights)
{
    if (maps.empty() || maps.size() > std::size_t(kDataSetCount))
        return {{},
                {},
                QStringLiteral("%1 maps cannot be saved as a data file, which holds 1 to %2")
                    .arg(maps.size())
                    .arg(kDataSetCount)};
    MapsRecord result;
    if (!equalWeights(weights))
        result.warning = QStringLiteral("the maps' weights are dropped: the window picks every map equally often");
    DataSetTexts texts;
    texts.count = QString::number(maps.size());
    for (auto& set : texts.sets)
        set.fill(QStringLiteral("0.0000"));
    for (std::size_t k = 0; k < maps.size(); ++k) {
        for (int j = 0; j < kCoefficientCount; ++j) {
            const double value = maps[k].c[j];
            const QString text = closestCoefficientText(value);
            const double read = toDouble(text, u'.').value_or(NAN);
            // Blanks or a number far from the value would draw another picture: refuse rather than write them.
            if (text.isEmpty() || (std::fabs(value) >= 1.0 && !(std::fabs(read - value) <= 0.1 * std::fabs(value))))
                return {{},
                        {},
                        QStringLiteral("map %1's %2 (%3) has no text of %4 characters near it")
                            .arg(k + 1)
                            .arg(QLatin1Char("abecdf"[j]))
                            .arg(value)
                            .arg(kCoefficientWidth)};
            texts.sets[k][std::size_t(j)] = text;
        }
    }
    result.bytes = BuildDataText(texts).bytes;
    return result;
}

}   // namespace fenra
