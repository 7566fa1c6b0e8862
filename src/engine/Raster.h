#pragma once

#include <cstddef>
#include <cstdint>

namespace fenra {

// The drawing area: an inner image of 794 x 381 pixels; positions arrive in
// twips, 15 to the pixel. The vertical flip uses the area's outer height,
// border included (385 pixels).
inline constexpr int kDisplayWidth = 794;
inline constexpr int kDisplayHeight = 381;
inline constexpr int kTwipsPerPixel = 15;
inline constexpr double kDisplayOuterHeightTwips = 5775.0;

inline constexpr std::uint32_t kBlack = 0xFF000000u;

inline constexpr std::uint32_t rgb(int r, int g, int b)
{
    return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

// kDataColours[s] is the colour of set s in Data mode; sets 4 and 6 share magenta.
inline constexpr std::uint32_t kDataColours[7] = {
    kBlack, rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 0, 255),
};

// One drawn point: its pixel (row * width + column) and its colour.
struct PixelHit {
    std::uint32_t cell;
    std::uint32_t colour;
};

// A view of 32-bit pixels (0xFFRRGGBB), owned by whoever draws it on screen.
struct RasterView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;   // pixels from one row to the next

    std::uint32_t& at(int column, int row) const { return pixels[row * stride + column]; }
    void fill(std::uint32_t colour) const
    {
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                at(column, row) = colour;
    }
};

}   // namespace fenra
