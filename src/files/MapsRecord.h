#pragma once

#include "engine/AffineMap.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Maps handed back to the window as a data record.
namespace fenra {

// The text of at most six characters that reads back closest to `value`: the
// fixed forms with 0 to 5 decimals, with or without the leading zero ("-.1234"
// keeps a digit "-0.123" loses), and exponent forms ("1.5e-7"); on a tie the
// window's own form with the most decimals ("0.5000" rather than ".50000" or "0.5").
QString closestCoefficientText(double value);

// Whether weights (summing to 1) are near enough to equal, within 5% of each
// other's share, that a picker with equal chances draws the same picture.
bool equalWeights(const std::vector<double>& weights);

struct MapsRecord {
    QByteArray bytes;   // the 217-byte record, empty when refused
    QString warning;    // set when weights were dropped
    QString refusal;    // set when nothing was built
};

// A record of 1 to 6 maps (window order), the count set to their number and the
// sets beyond it cleared to "0.0000". The window picks every map equally often,
// so weights that are not equal are dropped with a warning.
MapsRecord recordOfMaps(const std::vector<AffineMap>& maps, const std::vector<double>& weights);

}   // namespace fenra
