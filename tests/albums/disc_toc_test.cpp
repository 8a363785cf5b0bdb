// Tables of contents: the text form, and every kind of bad table refused with a message that says
// what is wrong, leaving the table it was to fill alone.
#include "albums/disc_toc.h"
#include "cd_fakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

TEST(DiscToc, ReadsTheOneLineForm) {
    DiscToc toc;
    ASSERT_EQ(parseDiscToc(u"\r\n  1 3\t20000 150 5000   9000 \r\n\n", toc), "");
    EXPECT_EQ(toc.first, 1);
    EXPECT_EQ(toc.last(), 3);
    EXPECT_EQ(toc.leadout, 20000);
    EXPECT_EQ(toc.offsets, (QVector<int>{150, 5000, 9000}));
    EXPECT_EQ(toc.trackFrames(0), 4850);
    EXPECT_EQ(toc.trackFrames(2), 11000);
    EXPECT_EQ(discTocText(toc), "1 3 20000 150 5000 9000");
}

TEST(DiscToc, BadTablesAreRefusedWithAClearMessage) {
    QString tooMany = QStringLiteral("1 100 900000");
    for (int i = 0; i < 100; ++i) {
        tooMany += QStringLiteral(" %1").arg(150 + i * 1000);
    }
    const struct {
        QString text;
        const char* says;
    } cases[] = {
        {"", "empty"},
        {"1 2 30000 150 abc", "\"abc\" is not a whole number"},
        {"1 2 30000 150 15000.5", "\"15000.5\" is not a whole number"},
        {"one two", "\"one\" is not"},
        {"1 2 30000 150 20000 25000", "need 2 start positions; the table gives 3"},
        {"1 3 30000 150 20000", "need 3 start positions; the table gives 2"},
        {"1 2", "the start of every track"},
        {"2 3 30000 150 20000", "numbered from 1"},
        {"1 0 30000", "comes before the first"},
        {tooMany, "at most 99 tracks; this table names 100"},
        {"1 3 30000 150 20000 10000", "Track 3 starts at 10000, not after track 2 at 20000"},
        {"1 2 30000 150 150", "out of order or overlap"},
        {"1 2 30000 -150 2000", "Track 1 starts at -150: a position cannot be negative"},
        {"1 2 15000 150 20000", "lead-out at 15000 does not come after the start of the last track, 20000"},
        {"1 1 150 150", "does not come after"},
        {"1 1 -5 150", "does not come after"},
        {"1 1 450001 150", "beyond 99:59:74"},
        {"1 1 99999999999999999999 150", "is not a whole number"},
        {"1 1 20000 150\n1 1 30000 150", "one line"},
    };
    for (const auto& c : cases) {
        DiscToc toc = test::tocOf("1 1 5000 150");
        const QString problem = parseDiscToc(c.text, toc);
        EXPECT_TRUE(problem.contains(QLatin1String(c.says)))
            << c.text.toStdString() << " -> " << problem.toStdString();
        EXPECT_EQ(toc, test::tocOf("1 1 5000 150")) << c.text.toStdString();
    }
}

TEST(DiscToc, FilesThatHoldNoTableNameThemselves) {
    QTemporaryDir dir;
    DiscToc toc;
    EXPECT_EQ(readDiscTocFile(dir.filePath("missing.toc"), toc),
              dir.filePath("missing.toc") + ": there is no such table of contents.");
    EXPECT_TRUE(readDiscTocFile(dir.path(), toc).contains("not a table of contents"));
    ASSERT_TRUE(test::writeFile(dir.filePath("big.toc"), QByteArray(70000, '1')));
    EXPECT_TRUE(readDiscTocFile(dir.filePath("big.toc"), toc).contains("not a table of contents"));
    ASSERT_TRUE(test::writeFile(dir.filePath("text.toc"), "Artist - Album\n"));
    EXPECT_EQ(readDiscTocFile(dir.filePath("text.toc"), toc),
              dir.filePath("text.toc") + ": \"Artist\" is not a whole number of frames.");
    EXPECT_EQ(toc.trackCount(), 0);
}

} // namespace
} // namespace tunarium
