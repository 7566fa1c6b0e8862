#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The words of a command line that say how big a picture is, how much memory
// its sums may take, and which share of the work a machine does. Each is read
// whole or refused with the reason, for the user.
namespace fenra::poster {

inline constexpr int kMinSide = 16;
inline constexpr int kMaxSide = 65535;   // what a PNG reader commonly takes, and a 16-bit number

template <class Value>
struct Parsed {
    std::optional<Value> value;
    std::string error;   // when there is no value
};

struct PictureSize {
    int width = 0, height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The K-th of N equal shares, K from 1.
struct Share {
    int part = 1, parts = 1;
    bool operator==(const Share&) const = default;
};

// "3000x2000": width and height in pixels, each kMinSide to kMaxSide.
Parsed<PictureSize> parseSize(std::string_view text);

// "512M", "2G", "1T", "65536K" or bytes: whole numbers, units of 1024.
Parsed<std::uint64_t> parseMemory(std::string_view text);

// The memory a render may take when --memory is not given: most of what is free (0: unknown).
std::uint64_t defaultMemory(std::optional<std::uint64_t> available);

// "2/3": share K of N, 1 <= K <= N.
Parsed<Share> parseShare(std::string_view text);

}   // namespace fenra::poster
