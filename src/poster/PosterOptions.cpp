#include "poster/PosterOptions.h"

#include <charconv>
#include <limits>

namespace fenra::poster {
namespace {

// Digits only, the whole text: no sign, no blanks, no fraction.
std::optional<std::uint64_t> digits(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text[0] == '-' || text[0] == '+' || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}   // namespace

Parsed<PictureSize> parseSize(std::string_view text)
{
    const std::string refusal = "needs WIDTHxHEIGHT in pixels, as 3000x2000, each " + std::to_string(kMinSide) + " to "
                                + std::to_string(kMaxSide);
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return {std::nullopt, refusal};
    const std::optional<std::uint64_t> w = digits(text.substr(0, x)), h = digits(text.substr(x + 1));
    const auto fits = [](const std::optional<std::uint64_t>& side) {
        return side && *side >= kMinSide && *side <= kMaxSide;
    };
    if (!fits(w) || !fits(h))
        return {std::nullopt, refusal};
    return {PictureSize{int(*w), int(*h)}, {}};
}

Parsed<std::uint64_t> parseMemory(std::string_view text)
{
    const std::string refusal = "needs an amount of memory, as 512M or 2G (K, M, G, T: units of 1024 bytes)";
    int shift = 0;
    if (!text.empty()) {
        switch (text.back()) {
        case 'K':
        case 'k':
            shift = 10;
            break;
        case 'M':
        case 'm':
            shift = 20;
            break;
        case 'G':
        case 'g':
            shift = 30;
            break;
        case 'T':
        case 't':
            shift = 40;
            break;
        default:
            break;
        }
    }
    const std::optional<std::uint64_t> n = digits(shift ? text.substr(0, text.size() - 1) : text);
    if (!n || *n == 0 || *n > (std::numeric_limits<std::uint64_t>::max() >> shift))
        return {std::nullopt, refusal};
    return {*n << shift, {}};
}

Parsed<Share> parseShare(std::string_view text)
{
    const std::string refusal = "needs K/N, the K-th of N shares with 1 <= K <= N, as 2/3";
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return {std::nullopt, refusal};
    const std::optional<std::uint64_t> k = digits(text.substr(0, slash)), n = digits(text.substr(slash + 1));
    if (!k || !n || *k < 1 || *k > *n || *n > std::uint64_t(std::numeric_limits<int>::max()))
        return {std::nullopt, refusal};
    return {Share{int(*k), int(*n)}, {}};
}

std::uint64_t defaultMemory(std::optional<std::uint64_t> available) { return available ? *available / 10 * 8 : 0; }

}   // namespace fenra::poster
