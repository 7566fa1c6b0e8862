#pragma once

#include "poster/PosterOptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What fenra-render is asked to do, read from its command line.
namespace fenra::command {

// The window's three colour modes, and shading by hits per pixel.
enum class PictureColour { Random, White, Data, Density };   // in the order of kColourNames

// What colours a density picture: the data sets' colours, white, or a palette
// each chain walks through as it moves from map to map.
enum class DensityTint { Data, White, Palette };   // in the order of kTintNames

inline constexpr std::int64_t kDefaultPoints = 5000;   // the window's iteration count
inline constexpr int kMaxThreads = 256;
inline constexpr int kMaxBatch = 32767;   // the window's batch size is a 16-bit number

inline constexpr int kDefaultFrames = 48;   // two seconds of video

struct CommandOptions {
    QString input;        // a .tfg, a PNG that fenra-render wrote, a collection (.ifs), or - for standard input
    QStringList inputs;   // every file given: more than one are the keys of an animation
    QString output;       // .bmp or .png, or - for a PNG on standard output
    std::int64_t points = kDefaultPoints;
    QString zoom = QStringLiteral("1x");   // an item of the window's list; empty means no zoom at all
    QString right = QStringLiteral("0");   // twips, as typed into "Right:"
    QString down = QStringLiteral("0");    // twips, as typed into "Down"
    PictureColour colour = PictureColour::Random;
    DensityTint tint = DensityTint::Data;
    std::array<bool, 6> show{true, true, true, true, true, true};   // set k at k - 1
    int scale = 1;
    bool exact = false;   // the window's one chain instead of the kernel's many
    double gamma = 2.2;   // the kernel's pictures: light of log density to the power 1/gamma
    double brightness = 1.0;
    int oversample = 1;
    std::optional<std::uint64_t> seed;
    std::optional<int> threads;     // none: every core
    std::optional<QString> count;   // replaces the data file's "Random #'s:" text
    int batch = 0;                  // pictures of a random batch; 0: render one file
    QString prefix;                 // the batch's names: prefix(n).bmp, prefix(n).tfg
    std::optional<QString> name;    // the collection's entry; none: its first
    bool list = false;              // print the collection's names instead of drawing
    std::vector<double> weights;    // how often each map is picked, in proportion; empty: as the input says
    std::optional<bool> fit;        // whichever of --fit (true) and --zoom (false) came last; none: neither
    QString saveTfg;                // write the maps as a data file for the window; - for standard output
    std::optional<std::array<double, 4>> view;   // the plane's box the picture shows, instead of a zoom or a fit
    // An animation: keys from the collection (--animate) or the files given, its frames named by --output.
    bool animation = false;   // any of the options below given, or several files
    QStringList animate;      // the collection's entries that are its keys, in order
    int frames = kDefaultFrames;
    bool loop = false;
    int spin = 0;                              // full turns of every map over the animation
    int blur = 1;                              // instants a frame's points are spread over
    std::optional<int> frame;                  // draw only this frame of the animation
    bool follow = false;                       // each frame fitted (smoothed) instead of one box for all
    bool overwrite = false;                    // replace frames that another request wrote
    QString video;                             // .mp4, .webm or .gif, made by ffmpeg from the frames
    std::optional<poster::PictureSize> size;   // in place of the window's shape times the scale
    int depth = 8;                             // bits a channel of a PNG
    std::optional<std::uint64_t> memory;       // bytes the sums may take at once; none: what the machine has
    std::optional<poster::Share> part;         // a share of the work, written as sums
    QString sums;                              // the part's sums file
    QString checkpoint;                        // keeps the sums so far, and continues from them
    QStringList merge;                         // sums files of parts to add into one picture
    bool help = false;
    bool version = false;

    bool operator==(const CommandOptions&) const = default;
};

// Every data set shown but those `hidden`, numbered from 1.
std::array<bool, 6> shownBut(const std::vector<int>& hidden);
// The sets shown when those of `text` ("2,5", as --hide takes them) are not; none for a bad list.
std::optional<std::array<bool, 6>> shownButList(const QString& text);
// The names of --animate fern,tree,fern; none when one is empty.
std::optional<QStringList> keyList(const QString& text);

}   // namespace fenra::command
