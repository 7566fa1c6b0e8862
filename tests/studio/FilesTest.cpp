// The studio's files: what each kind keeps, refuses, and says.
#include "studio/MapsFiles.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace fenra::studio {
namespace {

MapList equalMaps(int count, double c0 = 0.5)
{
    MapList maps;
    for (int k = 0; k < count; ++k)
        maps.push_back({AffineMap{{c0, 0, double(k) / 4, 0, 0.5, 0}}, 1});
    return maps;
}

TEST(MapsFiles, DataFilesKeepSixEqualMapsAndSayWhatWasRounded)
{
    MapList weighted = equalMaps(2);
    weighted[1].weight = 2;
    struct Case {
        const char* what;
        MapList maps;
        bool saved;
        QString messageHas;
    };
    const std::vector<Case> cases{
        {"six exact maps", equalMaps(6), true, {}},
        {"seven maps are refused", equalMaps(7), false, "at most six"},
        {"unequal weights are refused", weighted, false, "equally often"},
        {"a value is rounded, and said", equalMaps(2, 0.123456789), true, "rounded"},
    };
    for (const Case& c : cases) {
        test::FakeFileStore files;
        const SaveResult result = saveMaps(files, {"/d/x.tfg", FileKind::DataFile, {}}, c.maps);
        EXPECT_EQ(result.saved, c.saved) << c.what;
        EXPECT_EQ(files.files.contains("/d/x.tfg"), c.saved) << c.what;
        EXPECT_EQ(result.message.isEmpty(), c.messageHas.isEmpty()) << c.what;
        EXPECT_TRUE(result.message.contains(c.messageHas)) << c.what << ": " << result.message.toStdString();
        if (!c.saved)
            continue;
        const ReadFile read = readMapsFile(files, "/d/x.tfg");
        ASSERT_TRUE(read.error.isEmpty()) << c.what;
        EXPECT_EQ(read.kind, FileKind::DataFile);
        ASSERT_EQ(read.maps.size(), c.maps.size()) << c.what;
        EXPECT_NEAR(read.maps[0].map.c[0], c.maps[0].map.c[0], 1e-4) << c.what;
    }
}

TEST(MapsFiles, CollectionsGainOrReplaceAnEntryAndKeepTheRest)
{
    test::FakeFileStore files;
    const QByteArray other = "; mine\nother { 0.3 0 0 0.3 0 0 1 }\n";
    files.files["/d/c.ifs"] = other;
    const MapList maps = equalMaps(3);
    ASSERT_TRUE(saveMaps(files, {"/d/c.ifs", FileKind::Collection, "new"}, maps).saved);
    EXPECT_TRUE(files.files["/d/c.ifs"].startsWith(other));
    EXPECT_TRUE(collectionHasEntry(files, "/d/c.ifs", "new"));
    ASSERT_TRUE(saveMaps(files, {"/d/c.ifs", FileKind::Collection, "new"}, equalMaps(2)).saved);
    const ReadFile read = readMapsFile(files, "/d/c.ifs");
    ASSERT_TRUE(read.collection && read.collection->ok());
    EXPECT_EQ(read.collection->names(), QStringList({"other", "new"}));
    EXPECT_EQ(mapsOfEntry(*read.collection->find("new")), equalMaps(2));
    // A file that is not a collection is never written over.
    files.files["/d/bad.ifs"] = "not { a collection";
    EXPECT_FALSE(saveMaps(files, {"/d/bad.ifs", FileKind::Collection, "new"}, maps).saved);
    EXPECT_EQ(files.files["/d/bad.ifs"], "not { a collection");
}

}   // namespace
}   // namespace fenra::studio
