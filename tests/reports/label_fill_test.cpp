// Labels filled from an album and from a file number, and favourite fonts on a label's texts.
#include "catalogue/list_engine.h"
#include "data/database.h"
#include "data/records.h"
#include "reports/label_fill.h"
#include "reports/label_font.h"
#include "reports/label_forms.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class LabelFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album, TableId::Labels, TableId::Fonts}));
    }

    Row addAlbum(qint64 id, const QString& artist, const QString& title) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = title;
        a.associatedImage = QStringLiteral("cover.png");
        EXPECT_TRUE(db.store().insert(a).ok());
        return toRow(a);
    }

    void addSong(qint64 albumId, const QString& artist, const QString& title, qint64 side, qint64 track,
                 qint64 time = 0, const QString& fileNumber = {}) {
        SongRecord s;
        s.id = ++m_songs;
        s.albumId = albumId;
        s.artist = artist;
        s.title = title;
        s.side = side;
        s.trackNumber = track;
        s.time = time;
        s.media = QStringLiteral("CD");
        s.fileNumber = fileNumber;
        s.album = QStringLiteral("Blue");
        ASSERT_TRUE(db.store().insert(s).ok());
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    qint64 m_songs = 0;
};

TEST_F(LabelFillTest, AnAlbumFillsTitlesByTheArtistOrderSettingAndItsSongsByTrack) {
    const Row album = addAlbum(1, "Smith, Anna", "Blue");
    addSong(1, "Smith, Anna", "River", 1, 2, 4 * 6000 + 500 + 1);
    addSong(1, "Jones, Bob", "Lake", 1, 1);
    addSong(1, "Smith, Anna", "Sea", 2, 1);

    Row label = newLabel(1);
    const LabelFill fill = fillLabelFromAlbum(db.store(), album, {}, label);
    EXPECT_EQ(fill.tracks, 3);
    EXPECT_EQ(label.number(lab::kAlbumId), 1);
    EXPECT_EQ(label.text(lab::kCdSpine), "Blue - Anna Smith");
    EXPECT_EQ(label.text(lab::kCdTitle), "Blue - Anna Smith");
    EXPECT_EQ(label.text(lab::kLabelDescription), "Blue - Anna Smith");
    EXPECT_EQ(label.text(lab::kCassetteTitle), "Blue\r\nAnna Smith");
    EXPECT_EQ(label.text(lab::kCassetteContentsA), "  1. Lake - Bob Jones\r\n  2. River (4:05)");
    EXPECT_EQ(label.text(lab::kCassetteContentsB), "  1. Sea");
    EXPECT_EQ(label.text(lab::kImageName), "cover.png");

    Row first = newLabel(2);
    fillLabelFromAlbum(db.store(), album, {true, QStringLiteral("#")}, first);
    EXPECT_EQ(first.text(lab::kCdSpine), "Smith, Anna - Blue"); // the album artist as stored
    EXPECT_EQ(first.text(lab::kCassetteFlap), "Smith, Anna\r\nBlue");
    EXPECT_EQ(first.text(lab::kCassetteContentsA), "  1# Bob Jones - Lake\r\n  2# River (4:05)");
}

TEST_F(LabelFillTest, VariousAlbumsAreTitledByTheAlbumAndSixtySongsFillFiftyOneLines) {
    const Row various = addAlbum(1, "Various", "Hits");
    for (int i = 1; i <= 60; ++i) {
        addSong(1, "Smith, Anna", QStringLiteral("Song %1").arg(i), 1, i);
    }
    Row label = newLabel(1);
    const LabelFill fill = fillLabelFromAlbum(db.store(), various, {}, label);
    EXPECT_EQ(fill.tracks, kMaxLabelTracks);
    EXPECT_EQ(label.text(lab::kCdSpine), "Hits");
    EXPECT_EQ(label.text(lab::kCassetteTitle), "Hits");
    const QStringList lines = label.text(lab::kCdCoverText).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 51);
    EXPECT_EQ(lines.first(), "  1. Song 1 - Anna Smith");
    EXPECT_EQ(lines.last(), " 51. Song 51 - Anna Smith");
}

TEST_F(LabelFillTest, AnAlbumWithoutSongsKeepsItsTextsAndAFileNumberFillsFromItsSongs) {
    const Row empty = addAlbum(1, "Smith, Anna", "Blue");
    Row label = newLabel(1);
    label.setText(lab::kCdCoverText, QStringLiteral("typed"));
    EXPECT_EQ(fillLabelFromAlbum(db.store(), empty, {}, label).tracks, 0);
    EXPECT_EQ(label.text(lab::kCdCoverText), "typed");
    EXPECT_EQ(label.text(lab::kImageName), "");

    addSong(0, "Smith, Anna", "One", 0, 0, 0, "F7");
    addSong(0, "Other, An", "Two", 0, 0, 0, "F7");
    addSong(0, "Smith, Anna", "Elsewhere", 0, 0, 0, "F8");
    Row song(TableId::Tunarium);
    ASSERT_TRUE(db.store().get(TableId::Tunarium, tun::kKeyId, {1}, song).ok());
    Row byNumber = newLabel(2);
    EXPECT_EQ(fillLabelFromFileNumber(db.store(), song, {}, byNumber).tracks, 2);
    EXPECT_EQ(byNumber.number(lab::kAlbumId), 0);
    EXPECT_EQ(byNumber.text(lab::kLabelDescription), "File Number F7");
    EXPECT_EQ(byNumber.text(lab::kCdSpine), "File Number F7 Blue - Anna Smith");
    EXPECT_EQ(byNumber.text(lab::kCassetteTitle), "File Number F7\r\nBlue\r\nAnna Smith");
    // Songs without a track number are numbered by their place in the list.
    EXPECT_EQ(byNumber.text(lab::kCdCoverText), "  1. One\r\n  2. Two - An Other");
}

TEST_F(LabelFillTest, FavouriteFontTextsMapOntoTheFontOrKeepTheDesignedOnes) {
    LabelFont designed;
    designed.font = QFont(QStringLiteral("Arial"), 9);
    designed.colour = Qt::darkBlue;
    const struct {
        const char *size, *colour, *style;
        double points;
        QColor colour_;
        bool bold, italic;
    } cases[] = {
        {"12", "255", "700", 12, QColor(255, 0, 0), true, false},
        {"10.5", "#00ff00", "Bold Italic", 10.5, QColor(0, 255, 0), true, true},
        {"abc", "navy", "4796", 9, QColor(0, 0, 128), true, true},
        {"0", "not a colour", "fancy", 9, QColor(Qt::darkBlue), false, false},
        {"500", "0xFF0000", "Italic", 72, QColor(0, 0, 255), false, true},
        {"-3", "", "", 9, QColor(Qt::darkBlue), false, false},
    };
    for (const auto& c : cases) {
        Row font(TableId::Fonts);
        font.clear();
        font.setText(fon::kTypeFace, QStringLiteral("No Such Face 123"));
        font.setText(fon::kSize, QString::fromUtf8(c.size));
        font.setText(fon::kColour, QString::fromUtf8(c.colour));
        font.setText(fon::kStyle, QString::fromUtf8(c.style));
        const LabelFont mapped = labelFontOf(font, designed);
        EXPECT_EQ(mapped.font.family(), "Arial") << c.size;
        EXPECT_DOUBLE_EQ(mapped.font.pointSizeF(), c.points) << c.size;
        EXPECT_EQ(mapped.colour, c.colour_) << c.colour;
        EXPECT_EQ(mapped.font.bold(), c.bold) << c.style;
        EXPECT_EQ(mapped.font.italic(), c.italic) << c.style;
    }
}

TEST_F(LabelFillTest, AFontDescriptionNamesTheFontOrTheDefault) {
    FontRecord f;
    f.fontId = 3;
    f.typeFace = QStringLiteral("Arial");
    f.size = QStringLiteral("12");
    f.colour = QStringLiteral("255");
    f.style = QStringLiteral("700");
    ASSERT_TRUE(db.store().insert(f).ok());
    EXPECT_EQ(fontDescription(db.store(), 3), "Arial 12  Colour:  255  Style:  700");
    EXPECT_EQ(fontDescription(db.store(), 0), "Default Font");
    EXPECT_EQ(fontDescription(db.store(), 4), "Default Font"); // deleted meanwhile
    EXPECT_FALSE(findLabelFont(db.store(), 4).has_value());
}

struct NoForms : ListHost {
    void callForm(Request, const Row&) override {}
};

TEST_F(LabelFillTest, TheLabelsListShowsDescriptionsOnItsFirstTabAndTypesOnItsSecond) {
    const struct {
        const char *description, *type;
    } labels[] = {{"Tape of Blue", "Cassette"}, {"Blue", "CD"}, {"Mix", "Cassette"}};
    qint64 id = 0;
    for (const auto& l : labels) {
        Row label = newLabel(++id);
        label.setText(lab::kLabelDescription, l.description);
        label.setText(lab::kLabelType, l.type);
        ASSERT_TRUE(db.store().insert(label).ok());
    }
    NoForms host;
    ListEngine list(db, labelsListDefinition(), host);
    ASSERT_TRUE(list.open());
    list.setLineCount(10);
    const QStringList expected[] = {{"Blue", "Mix", "Tape of Blue"}, {"Mix", "Tape of Blue", "Blue"}};
    for (int tab : {0, 1}) {
        list.setTab(tab);
        list.refresh();
        QStringList shown;
        for (int row = 0; row < list.rowCount(); ++row) {
            shown << list.cellText(row, 0).trimmed();
        }
        EXPECT_EQ(shown, expected[tab]) << tab;
    }
}

} // namespace
