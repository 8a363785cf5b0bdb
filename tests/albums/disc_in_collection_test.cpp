// Whether a disc read is in the collection: the albums found through the keys, checked against the
// same question asked in plain SQL over a collection where many albums share a CDDB number (more
// than one page of the key); and the line that tells the user.
#include "albums/disc_in_collection.h"
#include "data/database.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

class DiscInCollection : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.openTable(TableId::Album)); }
    void TearDown() override { db.closeTable(TableId::Album); }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
};

QString identifierOf(int i) {
    return i % 2 == 0 ? QString() : QStringLiteral(" 24490%1").arg(i);
}

// Album i: an identifier of its own when odd; a CDDB number shared by a quarter of the albums, in
// either letter case for the first, none for every fourth.
QString xccdOf(int i) {
    const char* const numbers[] = {"", "0b01c102", "0B01C102", "2a03f905"};
    return QString::fromLatin1(numbers[i % 4]);
}

TEST_F(DiscInCollection, FindsWhatPlainSqlFinds) {
    constexpr int kAlbums = 300;
    for (int i = 1; i <= kAlbums; ++i) {
        AlbumRecord a;
        a.albumId = i;
        a.artist = QStringLiteral("Artist %1").arg(i);
        a.album = QStringLiteral("Album %1").arg(i);
        a.cdIdentifier = identifierOf(i);
        a.xccd = xccdOf(i);
        ASSERT_TRUE(db.store().insert(a).ok());
    }
    // The holders as plain SQL finds them: the album with the identifier, then every album with
    // the CDDB number (in any letter case) that has no identifier or the disc's, in record order.
    const auto oracle = [this](const AlbumRecord& disc) {
        const QString file = collectionFilePath(dir.dir());
        const QString except = QString::number(disc.albumId);
        QStringList ids;
        if (!disc.cdIdentifier.isEmpty()) {
            for (const QStringList& row : test::sqlRows(
                     file, "SELECT AlbumID FROM Album WHERE CDIdentifier = ? AND AlbumID <> ? ORDER BY _rec",
                     {disc.cdIdentifier, except})) {
                ids << row[0];
            }
        }
        if (!disc.xccd.isEmpty()) {
            for (const QStringList& row :
                 test::sqlRows(file,
                               "SELECT AlbumID FROM Album WHERE lower(XCCD) = lower(?) AND AlbumID <> ? "
                               "AND (IFNULL(CDIdentifier, '') = '' OR ? = '' OR CDIdentifier = ?) ORDER BY _rec",
                               {disc.xccd, except, disc.cdIdentifier, disc.cdIdentifier})) {
                if (!ids.contains(row[0])) {
                    ids << row[0];
                }
            }
        }
        return ids;
    };
    struct Case {
        const char* what;
        QString identifier;
        QString xccd;
        qint64 except;
        qsizetype found;
    };
    const Case cases[] = {
        {"both: album 5, then the number's 75 albums without an identifier", identifierOf(5), "0b01c102", 0, 76},
        {"the identifier's album has another number", identifierOf(7), "0B01C102", 0, 76},
        {"the album read for is left out", identifierOf(5), "0b01c102", 5, 75},
        {"no identifier read: every album with the number", {}, "0b01c102", 0, 150},
        {"the identifier alone", identifierOf(9), {}, 0, 1},
        {"a number only albums of other discs have", QStringLiteral(" 1"), "2a03f905", 0, 0},
        {"neither", QStringLiteral(" 1"), "ffffffff", 0, 0},
        {"nothing read", {}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        AlbumRecord disc;
        disc.albumId = c.except;
        disc.cdIdentifier = c.identifier;
        disc.xccd = c.xccd;
        QVector<DiscHolder> holders;
        ASSERT_TRUE(albumsHoldingDisc(db.store(), disc, holders).ok()) << c.what;
        QStringList found;
        for (const DiscHolder& h : holders) {
            found << QString::number(h.album.albumId);
            const bool byIdentifier = !c.identifier.isEmpty() && h.album.cdIdentifier == c.identifier;
            EXPECT_EQ(h.match, byIdentifier ? DiscMatch::CdIdentifier : DiscMatch::DiscId) << c.what;
        }
        EXPECT_EQ(found.size(), c.found) << c.what;
        EXPECT_EQ(found, oracle(disc)) << c.what;
    }
}

TEST_F(DiscInCollection, TheLineNamesTheFirstAlbumAndCountsTheOthers) {
    const auto holder = [](const char* fileNumber, const char* artist, const char* album) {
        AlbumRecord a;
        a.fileNumber = QString::fromUtf8(fileNumber);
        a.artist = QString::fromUtf8(artist);
        a.album = QString::fromUtf8(album);
        return DiscHolder{a, DiscMatch::CdIdentifier};
    };
    const DiscHolder arrival = holder("F000123   ", "Abba  ", "Arrival");
    const DiscHolder unfiled = holder("", "Abba", "Gold");
    const struct {
        QVector<DiscHolder> holders;
        const char* line;
    } cases[] = {
        {{}, ""},
        {{arrival}, "This disc is in the collection: file number F000123, Abba \u2013 Arrival"},
        {{unfiled}, "This disc is in the collection: Abba \u2013 Gold"},
        {{arrival, unfiled}, "This disc is in the collection: file number F000123, Abba \u2013 Arrival, and 1 more album"},
        {{unfiled, arrival, arrival}, "This disc is in the collection: Abba \u2013 Gold, and 2 more albums"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(discInCollectionText(c.holders), QString::fromUtf8(c.line));
    }
}

} // namespace
} // namespace tunarium
