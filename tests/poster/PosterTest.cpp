// Posters: the words of their options.
#include "poster/PosterOptions.h"

#include <gtest/gtest.h>

namespace fenra::poster {
namespace {

TEST(PosterOptions, ReadSizesMemoryAndSharesWholeAndRefuseTheRest)
{
    const struct {
        const char* text;
        std::optional<PictureSize> size;
    } sizes[] = {{"3000x2000", PictureSize{3000, 2000}},
                 {"16x65535", PictureSize{16, 65535}},
                 {"0x10", {}},
                 {"70000x10", {}},
                 {"12x", {}},
                 {"x12", {}},
                 {"15x100", {}},
                 {"100x65536", {}},
                 {"-20x20", {}},
                 {"20X20", {}},
                 {"20x20x20", {}},
                 {" 20x20", {}},
                 {"", {}}};
    for (const auto& c : sizes) {
        const Parsed<PictureSize> p = parseSize(c.text);
        EXPECT_EQ(p.value, c.size) << c.text;
        EXPECT_EQ(p.error.empty(), c.size.has_value()) << c.text;
    }

    const struct {
        const char* text;
        std::optional<std::uint64_t> bytes;
    } memories[] = {{"512M", 512ull << 20},
                    {"2G", 2ull << 30},
                    {"3g", 3ull << 30},
                    {"1K", 1024},
                    {"1T", 1ull << 40},
                    {"4096", 4096},
                    {"0", {}},
                    {"0M", {}},
                    {"1.5G", {}},
                    {"G", {}},
                    {"2GB", {}},
                    {"-1G", {}},
                    {"99999999999999999999", {}},
                    {"20000000000T", {}},
                    {"", {}}};
    for (const auto& c : memories)
        EXPECT_EQ(parseMemory(c.text).value, c.bytes) << c.text;

    const struct {
        const char* text;
        std::optional<Share> share;
    } shares[] = {{"1/3", Share{1, 3}}, {"3/3", Share{3, 3}}, {"1/1", Share{1, 1}}, {"0/3", {}},
                  {"4/3", {}},          {"1/0", {}},          {"1/", {}},           {"/3", {}},
                  {"1/3/4", {}},        {"-1/3", {}},         {"1 / 3", {}}};
    for (const auto& c : shares)
        EXPECT_EQ(parseShare(c.text).value, c.share) << c.text;
}

}   // namespace
}   // namespace fenra::poster
