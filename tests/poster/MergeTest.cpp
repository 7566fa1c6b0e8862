// Parts of a render merged: the very picture of their total, or a refusal
// naming the file before any byte is written.
#include "poster/Merge.h"
#include "files/SumsFile.h"
#include "poster/Finishing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fenra::poster {
namespace {

constexpr int kWidth = 24, kHeight = 12;   // the sums; the picture is half of that each way

std::string pngOf(const std::vector<render::Sums>& sums, const Finishing& finishing, int threads)
{
    std::uint64_t most = 0;
    for (const render::Sums& s : sums)
        most = std::max(most, s.hits);
    std::string png;
    PictureWriter writer(kWidth, kHeight, most, finishing, threads, [&](const void* p, std::size_t n) {
        png.append(static_cast<const char*>(p), n);
        return true;
    });
    for (int y = 0; y < kHeight; y += 5)
        writer.addRows(5, [&](int row, std::span<render::Sums> out) {
            std::copy_n(sums.begin() + row * kWidth, kWidth, out.begin());
        });
    EXPECT_TRUE(writer.finish());
    return png;
}

TEST(Merge, AddsThePartsIntoThePictureOfTheirTotalAndRefusesBadSetsNamingTheFile)
{
    const Finishing finishing{{{2.2, 1.5}, true, 2, 16}, {{"fenra-settings", "--points 9"}}};
    ASSERT_EQ(Finishing::fromNotes(finishing.toNotes()), finishing);

    // The total, split at random into three parts.
    std::mt19937 random(7);
    std::vector<render::Sums> total(kWidth * kHeight);
    std::vector<std::vector<render::Sums>> parts(3, total);
    for (std::size_t i = 0; i < total.size(); ++i)
        for (auto& part : parts) {
            const std::uint64_t hits = random() % 4 == 0 ? random() % 1000 : 0;
            part[i] = {hits, hits * (random() % 256), hits * (random() % 256), hits * 255};
            total[i] = {total[i].hits + part[i].hits, total[i].r + part[i].r, total[i].g + part[i].g,
                        total[i].b + part[i].b};
        }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("fenra-merge-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&](const std::string& name, const std::vector<render::Sums>& sums, std::uint32_t k,
                           const char* request) {
        std::ofstream out(dir / name, std::ios::binary);
        files::SumsWriter writer(
            [&](const void* p, std::size_t n) {
                return bool(out.write(static_cast<const char*>(p), std::streamsize(n)));
            },
            {files::requestHash(request), k, 3, kWidth, kHeight, false, finishing.toNotes()});
        for (int y = 0; y < kHeight; ++y)
            writer.addRow(std::span(sums).subspan(std::size_t(y) * kWidth, kWidth));
        EXPECT_TRUE(writer.finish(1));
        return (dir / name).string();
    };
    const std::string a = write("a.sums", parts[0], 1, "r"), b = write("b.sums", parts[1], 2, "r"),
                      c = write("c.sums", parts[2], 3, "r");
    const std::string other = write("other.sums", parts[2], 3, "another request");
    std::string damaged = write("damaged.sums", parts[2], 3, "r");
    {
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(-10, std::ios::end);   // the count of chunks, in the trailer
        f.put('\x5a');
    }

    const struct {
        std::vector<std::string> paths;
        std::string refusal;
    } cases[] = {
        {{c, a, b}, ""},
        {{a, b, other}, other + " is a part of another render than " + a},
        {{a, b, b}, b + " is share 2/3 again, as " + b + " is"},
        {{a, c}, "share 2/3 of " + a + "'s render is missing"},
        {{a, b, damaged}, damaged + ": damaged (its checksum does not match)"},
        {{a, b, (dir / "none.sums").string()}, "cannot read " + (dir / "none.sums").string()},
    };
    for (const auto& t : cases) {
        std::string png;
        const std::string refusal = mergeParts(t.paths, 2, [&](const void* p, std::size_t n) {
            png.append(static_cast<const char*>(p), n);
            return true;
        });
        EXPECT_EQ(refusal, t.refusal);
        EXPECT_EQ(png, t.refusal.empty() ? pngOf(total, finishing, 1) : std::string()) << t.refusal;
    }
    std::filesystem::remove_all(dir);
}

}   // namespace
}   // namespace fenra::poster
