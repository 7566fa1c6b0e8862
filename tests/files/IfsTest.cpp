// Classic IFS collections: reading them, their weights, their framing, and their way back to the window.
#include "engine/NumberText.h"
#include "engine/WeightedMaps.h"
#include "files/DataRecord.h"
#include "files/IfsCollection.h"
#include "files/MapsRecord.h"
#include "render/WindowFraming.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace fenra {
namespace {

using namespace Qt::StringLiterals;

IfsCollection parse(const QByteArray& text) { return parseIfsCollection(text); }

TEST(IfsCollection, ReadsEntriesWithCommentsAndBracesAnywhereAndGivesMapsInWindowOrder)
{
    const IfsCollection c =
        parse("\xEF\xBB\xBF; two entries\nfirst{0.5 0 .25 .5 1 2 3 ; a comment\n -1e-1 0.2 0.3 0.4 5 6 1}\r\n"
              "  second two {\n 1 2 3 4 5 6 0 }");
    ASSERT_TRUE(c.ok()) << c.error.toStdString();
    EXPECT_EQ(c.names(), QStringList({u"first"_s, u"second two"_s}));
    const AffineMap m = c.entries[0].maps[0].map;
    EXPECT_EQ(std::vector<double>(m.c, m.c + 6), std::vector<double>({0.5, 0, 1, 0.25, 0.5, 2}));   // a b e c d f
    EXPECT_EQ(c.entries[0].maps[1], (IfsMap{{{-0.1, 0.2, 5, 0.3, 0.4, 6}}, 1}));
    EXPECT_EQ(c.find(u"second two"_s), &c.entries[1]);

    // 3D entries among 2D ones: 13 numbers a row, comments after '{' and rows, numbers such as .5 and -.5.
    const IfsCollection mixed = parse("3dfern(3D) { ; a comment\n .5 0 0 0 .5 0 0 0 .5 0 -.5 0 1 ; row\n}\n"
                                      "flat {\n .5 0 0 .5 0 0 1\n}\nfern (3D) {\n 1 0 0 0 1 0 0 0 1 0 0 0 1\n}\n"
                                      "fern {\n .5 0 0 .5 0 0 1\n}\n");
    ASSERT_TRUE(mixed.ok()) << mixed.error.toStdString();
    EXPECT_EQ(mixed.names(), QStringList({u"3dfern\t(3D)"_s, u"flat"_s, u"fern\t(3D)"_s, u"fern"_s}));
    EXPECT_TRUE(mixed.firstDrawable() == &mixed.entries[1] && mixed.find(u"fern"_s) == &mixed.entries[3]
                && mixed.find(u"3dfern"_s)->threeD && mixed.entries[0].maps.empty());
    EXPECT_EQ(parse("only(3D) {\n 1 0 0 0 1 0 0 0 1 0 0 0 1\n}").firstDrawable(), nullptr);

    // Written back, every number reads as exactly the same double.
    const std::vector<IfsMap> awkward{{{{0.1, 1.0 / 3, -5e307, 1e-300, 2.0 / 7, -0.0}}, 0.7},
                                      {{{1, 2, 3, 4, 5, 6}}, 1e-17}};
    const IfsCollection back = parse(ifsEntryText(u"odd {name};"_s, awkward));
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_TRUE(back.entries[0].name == u"odd _name__"_s && back.entries[0].maps == awkward);

    const QByteArray record = QByteArray("3") + QByteArray("0.0000").repeated(36);
    for (const auto& [name, content, expected] : {std::tuple{"x.IFS", QByteArray(), true},
                                                  {"x.txt", QByteArray("; c {\n\n fern\n{"), true},
                                                  {"x.tfg", record, false},
                                                  {"x.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR{", 17), false}})
        EXPECT_EQ(isIfsCollection(QString::fromLatin1(name), content), expected) << name;
}

TEST(IfsCollection, RefusesABadFileAtTheLineOfItsFault)
{
    const QByteArray map = "0.5 0 0 0.5 0 0 1\n";
    const struct {
        QByteArray text;
        int line;
        const char* reason;
    } cases[] = {
        {"a {\n" + map, 1, "the '{' of entry \"a\" is never closed"},
        {"a { " + map + "}\n}\n", 3, "'}' without an entry's '{'"},
        {"a {\n" + map + "b {\n", 3, "'{' inside entry \"a\""},
        {"a {\n" + map + "1 2 3 4 5 6,5 1\n}", 3, "\"6,5\" is not a number"},
        {"a {\n1 2 3 4 5 inf 1\n}", 2, "\"inf\" is not a number"},
        {"a {\n" + map + "1 2 3 4 5 6\n}", 3, "a row of 6 numbers; a map needs exactly 7"},
        {"a {\n1 2 3 4 5 6 1 1\n}", 2, "a row of 8 numbers"},
        {"a {\n\n1 2 3 4 5 6 -0.5\n}", 3, "p is negative (-0.5)"},
        {"; nothing here\n", 1, "no entries"},
        {"a {\n}\n", 2, "entry \"a\" has no maps"},
        {"{ " + map + "}", 1, "'{' without a name"},
        {"a { " + map + "}\n\ntrailing words", 4, "\"trailing words\" is not followed by '{'"},
        {"big {\n" + map.repeated(65) + "}", 66, "entry \"big\" has more than 64 maps"},
        {"a {\n" + map + "}\n; again\na {\n" + map + "}", 5, "a second entry \"a\""},
        {"a(3D) {\n" + map + "}", 2, "a row of 7 numbers; a 3D map needs exactly 13"},
        {QByteArray("a {\n1 2 \x1b[2J\0", 13) + QByteArray(1 << 20, 'x') + " 4\n}", 2,
         "\"\\x1b[2J\\0xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a number"},
    };
    for (const auto& c : cases) {
        const IfsCollection collection = parse(c.text);
        EXPECT_TRUE(collection.entries.empty() && collection.error.size() < 200) << c.reason;
        EXPECT_TRUE(
            collection.errorMessage(u"f.ifs"_s).startsWith(u"f.ifs:%1: %2"_s.arg(c.line).arg(QLatin1String(c.reason))))
            << collection.errorMessage(u"f.ifs"_s).toStdString();
    }
    EXPECT_TRUE(parse("big {\n" + map.repeated(64) + "}").ok());
}

const AffineMap kHalf{{0.5, 0, 0, 0, 0.5, 0}}, kFlat{{0, 0, 0, 0, 0.16, 0}};

TEST(WeightedMaps, PickWeightsFollowPOrElseTheAreasWithAFloor)
{
    const struct {
        std::vector<double> p;
        std::vector<AffineMap> maps;
        std::vector<double> weights;
    } cases[] = {
        {{1, 3}, {kHalf, kFlat}, {0.25, 0.75}},
        {{0, 0}, {kHalf, kFlat}, {1 / 1.01, 0.01 / 1.01}},   // areas 0.25 and 0: the flat one gets the floor
        {{}, {kFlat, kFlat}, {0.5, 0.5}},                    // all flat: equal
        {{2, -1, NAN}, {kHalf, kHalf, kHalf}, {1, 0, 0}},
        {{1e308, 1e308}, {kHalf, kHalf}, {0.5, 0.5}},   // a sum beyond double's range
    };
    for (const auto& c : cases) {
        const std::vector<double> w = pickWeights(c.maps, c.p);
        ASSERT_EQ(w.size(), c.weights.size());
        for (std::size_t k = 0; k < w.size(); ++k)
            EXPECT_NEAR(w[k], c.weights[k], 1e-12) << k;
    }
}

TEST(MapsRecord, WritesTheClosestTextsThatLoadBackAndRefusesMoreThanSixMaps)
{
    for (const auto& [value, text] : {std::pair{0.5, "0.5000"},
                                      {-0.123456, "-.1235"},
                                      {0.433013, ".43301"},
                                      {1.5e-7, "1.5e-7"},
                                      {-0.0, "0.0000"},
                                      {123456.7, "123457"},
                                      {1e308, "1e308"},
                                      {1.7976e308, "17e307"}})
        EXPECT_EQ(closestCoefficientText(value).toStdString(), text);

    // Beyond what six characters can say: refused with the map and the coefficient named, never blanks.
    const MapsRecord huge = recordOfMaps({kHalf, {{0.5, 0, 0, 0, -1.7976e308, 0}}}, {});
    EXPECT_TRUE(huge.bytes.isEmpty() && huge.refusal.startsWith(u"map 2's d (-1.7976e+308)"_s))
        << huge.refusal.toStdString();

    QFile file(QStringLiteral(FENRA_SAMPLES_DIR "/classic.ifs"));   // the project's own collection
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const IfsCollection c = parse(file.readAll());
    ASSERT_GE(c.entries.size(), 12u) << c.error.toStdString();
    for (const IfsEntry& entry : c.entries) {
        const EntryMaps maps = entryMaps(entry);
        EXPECT_TRUE(render::fitFrame(maps.maps, maps.weights)) << entry.name.toStdString();
        const MapsRecord record = recordOfMaps(maps.maps, maps.weights);
        if (maps.maps.size() > 6) {
            EXPECT_TRUE(record.bytes.isEmpty() && record.refusal.contains(u"%1 maps"_s.arg(maps.maps.size())));
            continue;
        }
        EXPECT_EQ(record.warning.isEmpty(),
                  entry.name != u"fern"_s && entry.name != u"spiral"_s && entry.name != u"tree"_s)
            << entry.name.toStdString();
        const DataSetTexts texts = parseDataRecord(record.bytes);
        EXPECT_EQ(texts.count, QString::number(maps.maps.size()));
        for (std::size_t k = 0; k < 6; ++k)
            for (int j = 0; j < 6; ++j)
                EXPECT_NEAR(toDouble(texts.sets[k][j], u'.').value_or(NAN),
                            k < maps.maps.size() ? maps.maps[k].c[j] : 0.0, 5e-5)
                    << entry.name.toStdString();
    }
}

}   // namespace
}   // namespace fenra
