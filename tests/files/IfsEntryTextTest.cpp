// Writing one entry back into a collection: every byte outside its rows stays.
#include "files/IfsEntryText.h"
#include "files/IfsCollection.h"

#include <gtest/gtest.h>

namespace fenra {
namespace {

const QByteArray kCollection = "; header comment\r\n"
                               "first {  ; about the first\r\n"
                               "   0.5 0 0 0.5 0 0 1   ; row one\r\n"
                               "   ; a comment line inside\r\n"
                               "\r\n"
                               "   .5 0 0 .5 1 0 1\r\n"
                               "}\r\n"
                               "second two { 1 0 0 1 0 0 1 }\r\n"
                               "last {\r\n  0.1 0 0 0.1 0 0 2 ; kept\r\n}\r\n";

std::vector<IfsMap> halves(int count, double lastP = 1)
{
    std::vector<IfsMap> maps;
    for (int k = 0; k < count; ++k)
        maps.push_back({AffineMap{{0.5, 0, double(k), 0, 0.5, 0}}, k == 2 ? lastP : 1});
    return maps;
}

TEST(IfsEntryText, ReplacesOneEntrysRowsAndKeepsEveryOtherByte)
{
    const QByteArray rowOneMoved = "   0.5 0 0 0.5 0.125 0 1   ; row one\r\n";
    struct Case {
        const char* what;
        QString name;
        std::vector<IfsMap> maps;
        QByteArray expected;
    };
    std::vector<IfsMap> firstMoved = halves(2);
    firstMoved[0].map.c[2] = 0.125;
    QByteArray moved = kCollection;
    moved.replace("   0.5 0 0 0.5 0 0 1   ; row one\r\n", rowOneMoved);
    QByteArray grown = kCollection;
    grown.replace("   .5 0 0 .5 1 0 1\r\n", "   .5 0 0 .5 1 0 1\r\n   0.5 0 0 0.5 2 0 0.25\r\n");
    QByteArray shrunk = kCollection;
    shrunk.replace("   .5 0 0 .5 1 0 1\r\n", "");
    QByteArray oneLine = kCollection;
    oneLine.replace("second two { 1 0 0 1 0 0 1 }", "second two { -1 0 0 1e-07 2 0 1\r\n    0.5 0 0 0.5 1 0 1 }");
    const std::vector<Case> cases{
        {"unchanged numbers keep their own spelling", "first", halves(2), kCollection},
        {"a moved map rewrites its row only, comment kept", "first", firstMoved, moved},
        {"a new map goes after the last row", "first", halves(3, 0.25), grown},
        {"a removed map takes its row line", "first", halves(1), shrunk},
        {"an entry on one line grows inside its braces",
         "second two",
         {{AffineMap{{-1, 0, 2, 0, 1e-7, 0}}, 1}, halves(2)[1]},
         oneLine},
    };
    for (const Case& c : cases) {
        const std::optional<QByteArray> out = replaceEntryRows(kCollection, c.name, c.maps);
        ASSERT_TRUE(out) << c.what;
        EXPECT_EQ(out->toStdString(), c.expected.toStdString()) << c.what;
        // What was written reads back as exactly these maps.
        const IfsCollection read = parseIfsCollection(*out);
        ASSERT_TRUE(read.ok()) << c.what << ": " << read.error.toStdString();
        const IfsEntry* entry = read.find(c.name);
        ASSERT_EQ(entry->maps.size(), c.maps.size()) << c.what;
        for (std::size_t k = 0; k < c.maps.size(); ++k)
            EXPECT_EQ(entry->maps[k], c.maps[k]) << c.what << " map " << k;
    }
    EXPECT_FALSE(replaceEntryRows(kCollection, "missing", halves(1)));
}

TEST(IfsEntryText, AppendsAnEntryThatReadsBackExactly)
{
    const std::vector<IfsMap> maps{{AffineMap{{0.1 + 0.2, -1.0 / 3, 7, 0, 1e-300, -0.0}}, 0.3}};
    const QByteArray out = appendEntry("a { 1 0 0 1 0 0 1 }", "new one", maps);
    EXPECT_TRUE(out.startsWith("a { 1 0 0 1 0 0 1 }\n\nnew one {\n"));
    const IfsCollection read = parseIfsCollection(out);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.find("new one")->maps[0], maps[0]);
}

}   // namespace
}   // namespace fenra
