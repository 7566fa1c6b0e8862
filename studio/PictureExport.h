#pragma once

#include "studio/StudioDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace fenra::studio {

// The sizes of an exported picture: fenra-render's --scale, times the window's 794 x 381.
inline constexpr int kMaxExportScale = 16;
QStringList exportSizeNames();   // "1 × (794 × 381)" ... for scale 1 to kMaxExportScale

// Points of an exported picture at `scale`: enough for a smooth density at any size.
std::int64_t exportPoints(int scale);

struct PictureChoice {
    int scale = 1;
    std::int64_t points = 0;
    std::uint64_t seed = 1;
    int threads = 1;   // changes nothing in the picture
};

// The PNG that
//   fenra-render FILE --name NAME --colour density --scale S --points P --seed X -o out.png
// writes for these maps as the entry NAME of a collection, byte for byte: the
// same request through the same pipeline, framed by the same fit, with the
// same record, maps and settings chunks. Nothing when the maps do not contract
// on average (there is nothing to frame) or the encoder fails.
std::optional<QByteArray> picturePng(const MapList& maps, const QString& name, const PictureChoice& choice);

}   // namespace fenra::studio
