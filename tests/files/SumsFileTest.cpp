// The sums file: rows come back exactly; another version, a file cut short or
// damaged anywhere is refused; a merge takes one request's shares, each once.
#include "files/SumsFile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fenra::files {
namespace {

constexpr std::uint32_t kWidth = 300, kHeight = 7;

render::Sums pixelAt(std::uint32_t x, std::uint32_t y)
{
    if ((x + y) % 3 == 0)
        return {};
    const std::uint64_t hits = x == 5 && y == 2 ? (std::uint64_t(1) << 40) + 3 : x * 31 + y;   // one beyond 32 bits
    return {hits, hits * 255, hits * (x % 7), hits * 3};
}

SumsHeader headerOf(std::uint32_t part, std::uint32_t parts, const char* request = "request A", bool checkpoint = false)
{
    return {requestHash(request),
            part,
            parts,
            kWidth,
            kHeight,
            checkpoint,
            {{"tone", "2.2 1"}, {"png:fenra-settings", ""}}};
}

std::string written(const SumsHeader& header, std::uint32_t rows = kHeight)
{
    std::string bytes;
    SumsWriter writer(
        [&](const void* p, std::size_t n) {
            bytes.append(static_cast<const char*>(p), n);
            return true;
        },
        header);
    std::vector<render::Sums> row(kWidth);
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x)
            row[x] = pixelAt(x, y);
        writer.addRow(row);
    }
    EXPECT_TRUE(writer.finish(42));
    return bytes;
}

// The rows read back, or the reader's refusal.
std::string readBack(const std::string& bytes, const SumsHeader& expected, std::uint32_t rows = kHeight)
{
    std::istringstream in(bytes);
    SumsReader reader(in);
    std::vector<render::Sums> row(kWidth);
    std::uint32_t y = 0;
    while (reader.readRow(row)) {
        for (std::uint32_t x = 0; x < kWidth; ++x)
            if (row[x] != pixelAt(x, y))
                return "a wrong pixel";
        ++y;
    }
    if (!reader.error().empty())
        return reader.error();
    EXPECT_EQ(reader.header(), expected);
    EXPECT_EQ(reader.trailer(), (SumsTrailer{rows, 42}));
    EXPECT_EQ(y, rows);
    return "read";
}

TEST(SumsFile, ReadsBackEveryRowAndRefusesAnotherVersionACutAndDamage)
{
    const SumsHeader header = headerOf(2, 3);
    const std::string bytes = written(header);
    EXPECT_EQ(readBack(bytes, header), "read");
    const SumsHeader checkpoint = headerOf(1, 1, "request A", true);
    EXPECT_EQ(readBack(written(checkpoint, 4), checkpoint, 4), "read");   // a banded render stopped after 4 rows

    std::string version = bytes, damaged = bytes, trailer = bytes;
    version[8] = 2;
    damaged[bytes.size() / 2] ^= 0x10;
    trailer[bytes.size() - 12] ^= 1;   // its count of chunks
    const struct {
        std::string bytes;
        const char* refusal;
    } cases[] = {
        {version, "a sums file of version 2; this program reads version 1"},
        {bytes.substr(0, 40), "cut short"},
        {bytes.substr(0, bytes.size() / 2), "cut short"},
        {bytes.substr(0, bytes.size() - 1), "cut short"},
        {bytes + "x", "damaged (its checksum does not match)"},
        {trailer, "damaged (its checksum does not match)"},
        {"GIF89a and more than sixty-four bytes of something else entirely, to be sure", "not a sums file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readBack(c.bytes, header), c.refusal);
    EXPECT_NE(readBack(damaged, header), "read");
}

TEST(SumsFile, MergesOneRequestsSharesEachOnceAndNamesTheFileItRefuses)
{
    const auto part = [](const char* name, SumsHeader h) { return NamedHeader{name, h}; };
    const struct {
        std::vector<NamedHeader> parts;
        std::string refusal;
    } cases[] = {
        {{part("a", headerOf(2, 3)), part("b", headerOf(1, 3)), part("c", headerOf(3, 3))}, ""},
        {{part("a", headerOf(1, 2)), part("b", headerOf(2, 2, "request B"))}, "b is a part of another render than a"},
        {{part("a", headerOf(1, 2)), part("b", headerOf(2, 3))}, "b is a part of another render than a"},
        {{part("a", headerOf(1, 2)), part("b", headerOf(1, 2))}, "b is share 1/2 again, as a is"},
        {{part("a", headerOf(1, 3)), part("c", headerOf(3, 3))}, "share 2/3 of a's render is missing"},
        {{part("a", headerOf(1, 1, "request A", true))},
         "a is a checkpoint, not a finished part: run its command again to finish it"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mergeRefusal(c.parts), c.refusal);
}

}   // namespace
}   // namespace fenra::files
