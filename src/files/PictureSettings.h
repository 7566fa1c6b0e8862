#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The settings a picture was drawn with, as its PNG carries them: a small
// record of rendering settings only. It is data, never a command line: a
// picture cannot name an output, a batch, a thread count or anything else
// outside this record, and values from a file are capped so that a plain
// re-render stays within bounds.
//
// The text is "--KEY VALUE" pairs and "--SWITCH"es separated by blanks, the
// form pictures have always carried, led by "--settings-version N" (absent
// in the oldest, which are version 1). A later version adds keys; a reader
// ignores keys it does not know, with a warning.
namespace fenra {

// 2: the view box (a frame of an animation). 3: a poster's size and depth.
inline constexpr int kPictureSettingsVersion = 3;

inline constexpr int kMaxScale = 16;   // 12704 x 6096 pixels; more does not fit a bitmap comfortably
inline constexpr int kMaxOversample = 4;
inline constexpr int kMaxMapWeights = 64;
inline constexpr double kMaxToneValue = 100;   // gamma and brightness

// Caps for values that come from a file; the command line is not capped.
inline constexpr std::int64_t kMaxStoredPoints = 10'000'000'000;
inline constexpr int kMaxStoredSamples = 16;                              // scale × oversample, each way
inline constexpr std::int64_t kMaxStoredPixels = std::int64_t(1) << 30;   // width × height × oversample²
inline constexpr int kMinPictureSide = 16, kMaxPictureSide = 65535;       // --size, each way

inline const QStringList kZoomNames{"0.25x", "0.5x", "1x", "2x", "4x", "8x", "none"};
inline const QStringList kColourNames{"random", "white", "data", "density"};
inline const QStringList kTintNames{"data", "white", "palette"};

// Adding a setting: a member here and its line in the table of PictureSettings.cpp.
struct PictureSettings {
    int version = kPictureSettingsVersion;
    std::optional<std::int64_t> points;
    std::optional<QString> zoom;           // of kZoomNames, or "fit"
    std::optional<QString> right, down;    // twips, with a full stop as the decimal point
    std::optional<QString> colour, tint;   // of kColourNames, kTintNames
    std::optional<bool> exact;
    std::optional<double> gamma, brightness;
    std::optional<std::vector<double>> weights;
    std::optional<int> oversample;
    std::optional<std::vector<int>> hide;   // data sets 1 to 6 not drawn
    std::optional<int> scale;
    std::optional<std::uint64_t> seed;
    std::optional<std::array<double, 4>> view;   // the plane's box the picture shows: x0, y0, x1, y1 (y up)
    std::optional<std::array<int, 2>> size;      // width and height in pixels, in place of the scale
    std::optional<int> depth;                    // bits a channel of the PNG: 8 or 16

    bool operator==(const PictureSettings&) const = default;
};

struct ReadPictureSettings {
    std::optional<PictureSettings> settings;   // none when a known key has a bad value
    QStringList ignored;                       // words outside the record, as they may be shown
    QString error;                             // "--points needs ..., not "x""
};

ReadPictureSettings readPictureSettings(const QByteArray& text);
QByteArray pictureSettingsText(const PictureSettings& settings);

// Forgets what the command line gives (long option names, "fit" for the
// zoom too): an option given there always wins over the file.
void dropSettings(PictureSettings& settings, const QStringList& given);

// Lowers values from a file above the caps: points, then oversample before
// scale (or size), `scale` and `oversample` standing for the ones not in the file.
// One line for each change, for the user.
QStringList capStoredSettings(PictureSettings& fromFile, int scale, int oversample);

// The value readers both the record and the command line use, so a value means the same in either.
// Whole decimal numbers only: no sign, no fraction, no exponent, so a typo never turns into a different count.
template <class Integer>
std::optional<Integer> wholeNumber(const QString& text, Integer low, Integer high);
std::optional<double> positiveNumber(const QString& text, double most);   // a full stop as the decimal point
std::optional<std::vector<double>> weightList(const QString& text);       // "1,85,7,7": up to 64, one above 0
std::optional<std::vector<int>> setList(const QString& text);             // "2,5": data sets 1 to 6
std::optional<std::array<double, 4>> viewBox(const QString& text);        // "x0,y0,x1,y1", x0 < x1 and y0 < y1
QString viewBoxText(const std::array<double, 4>& box);                    // reads back to the same numbers
std::optional<std::array<int, 2>> pictureSize(const QString& text);       // "WxH", 16 to 65535 each

}   // namespace fenra
