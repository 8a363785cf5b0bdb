// The frame's work on the collection and the settings: media seeding, the version, the album
// question and the logo picture.
#include "data/database.h"
#include "data/ini_file.h"
#include "data/store_sqlite.h"
#include "shell/frame_session.h"
#include "shell/media_seeding.h"
#include "shell_fixture.h"

using namespace tunarium;

namespace {

class FrameSessionTest : public test::ShellTest {
protected:
    struct Session {
        explicit Session(FrameSessionTest& t)
            : db(t.prompter, t.dir.dir(), t.profile()), settings(t.settingsPath()), frame(db, settings) {}
        Database db;
        Settings settings;
        FrameSession frame;
    };

    QStringList media() {
        SqliteStore store;
        EXPECT_TRUE(store.open(dir.dir()).ok());
        QVector<Row> rows;
        const TableDef& t = tableDef(TableId::Media);
        store.read(TableId::Media, 0, {}, Direction::Forward, true, 100, rows);
        QMap<qint64, QString> byRec;
        for (const Row& r : rows) {
            byRec.insert(r.meta.rec, r.text(t.fieldIndex(u"Media")));
        }
        return byRec.values();
    }
};

TEST_F(FrameSessionTest, SeedsTheTwelveMediaIntoAnEmptyTableOnly) {
    {
        Session s(*this);
        ASSERT_TRUE(s.frame.open());
        EXPECT_EQ(s.frame.mediaSeeded(), 12);
    }
    QStringList expected;
    for (const QString& m : defaultMediaFormats()) {
        expected << m.left(20);
    }
    EXPECT_EQ(media(), expected);
    {
        Session again(*this);
        ASSERT_TRUE(again.frame.open());
        EXPECT_EQ(again.frame.mediaSeeded(), 0);
    }
    EXPECT_EQ(media().size(), 12);
}

TEST_F(FrameSessionTest, LeavesAMediaTableWithRecordsAlone) {
    seed(0, 0, {"MiniDisc"});
    Session s(*this);
    ASSERT_TRUE(s.frame.open());
    EXPECT_EQ(s.frame.mediaSeeded(), 0);
    EXPECT_EQ(media(), QStringList{"MiniDisc"});
}

TEST_F(FrameSessionTest, ReadsThePreviousVersionThenWritesThisOne) {
    writeIni(settingsPath(), u"Global Settings", u"Version", "1.7");
    Session s(*this);
    ASSERT_TRUE(s.frame.open());
    EXPECT_EQ(s.frame.previousVersion(), "1.7");
    EXPECT_EQ(readIni(settingsPath(), u"Global Settings", u"Version"), "1.8i");
    EXPECT_EQ(s.frame.versionText(), "Version 1.8i");
}

TEST_F(FrameSessionTest, OpensAndClosesItsThreeTables) {
    Session s(*this);
    ASSERT_TRUE(s.frame.open());
    for (TableId t : {TableId::Album, TableId::Media, TableId::Tunarium}) {
        EXPECT_EQ(s.db.openCount(t), 1);
    }
    s.frame.close();
    for (TableId t : {TableId::Album, TableId::Media, TableId::Tunarium}) {
        EXPECT_EQ(s.db.openCount(t), 0);
    }
}

TEST_F(FrameSessionTest, RunsTheSettingsLoader) {
    writeIni(settingsPath(), u"Settings", u"Interface", "Explorer");
    Session s(*this);
    EXPECT_FALSE(s.settings.explorerInterface());
    ASSERT_TRUE(s.frame.open());
    EXPECT_TRUE(s.settings.explorerInterface());
}

struct AlbumQuestionCase {
    int songs;
    int albums;
    const char* previousVersion; // nullptr: none recorded
    bool asked;
};

class AlbumQuestionTest : public FrameSessionTest, public ::testing::WithParamInterface<AlbumQuestionCase> {};

TEST_P(AlbumQuestionTest, AppliesOnlyToSongsWithoutAlbumsFromAnOlderVersion) {
    const AlbumQuestionCase c = GetParam();
    seed(c.songs, c.albums);
    if (c.previousVersion) {
        writeIni(settingsPath(), u"Global Settings", u"Version", c.previousVersion);
    }
    Session s(*this);
    ASSERT_TRUE(s.frame.open());
    EXPECT_EQ(s.frame.albumQuestionApplies(), c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlbumQuestionTest,
    ::testing::Values(AlbumQuestionCase{3, 0, nullptr, true}, AlbumQuestionCase{3, 0, "1.8i", true},
                      AlbumQuestionCase{3, 0, "50.0", true}, AlbumQuestionCase{3, 0, "50.1", false},
                      AlbumQuestionCase{3, 0, "51", false}, AlbumQuestionCase{3, 1, nullptr, false},
                      AlbumQuestionCase{0, 0, nullptr, false}));

TEST_F(FrameSessionTest, AlbumQuestionNoLeavesTheSettingAndAsksAgainNextStart) {
    seed(3);
    writeIni(settingsPath(), u"Settings", u"AutoAddToAlbums", "0");
    for (int start = 0; start < 2; ++start) {
        Session s(*this);
        ASSERT_TRUE(s.frame.open());
        ASSERT_TRUE(s.frame.albumQuestionApplies());
        prompter.answers = {kButtonNo};
        EXPECT_FALSE(s.frame.askAlbumQuestion(prompter));
    }
    ASSERT_EQ(prompter.messages.size(), 2);
    const PromptMessage& m = prompter.messages.first();
    EXPECT_EQ(m.caption, "Album Database Empty");
    EXPECT_EQ(m.text,
              "Do you want to copy your album information from the general music database into the album "
              "database? (Recommended)");
    EXPECT_EQ(m.buttons, kButtonYes | kButtonNo);
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"AutoAddToAlbums"), "0");
}

TEST_F(FrameSessionTest, AlbumQuestionYesWritesAutoAddToAlbums) {
    seed(3);
    writeIni(settingsPath(), u"Settings", u"AutoAddToAlbums", "0");
    Session s(*this);
    ASSERT_TRUE(s.frame.open());
    prompter.answers = {kButtonYes};
    ASSERT_TRUE(s.frame.askAlbumQuestion(prompter));
    s.frame.rememberAlbumEntries();
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"AutoAddToAlbums"), "1");
}

TEST_F(FrameSessionTest, LogoFileIsTheLastOfFrameLogoLogoAndMainLogo) {
    const struct {
        const char* frameLogo;
        const char* logo;
        const char* mainLogo;
        std::optional<QString> expected;
    } cases[] = {
        {"", "", "", std::nullopt},
        {"frame.png", "", "", QString("frame.png")},
        {"frame.png", "logo.png", "", QString("logo.png")},
        {"frame.png", "logo.png", "main.png", QString("main.png")},
        {"", "", "main.png", QString("main.png")},
    };
    for (const auto& c : cases) {
        writeIni(settingsPath(), u"Global Settings", u"FrameLogo", c.frameLogo);
        writeIni(settingsPath(), u"Settings", u"Logo", c.logo);
        writeIni(settingsPath(), u"Settings", u"MainLogo", c.mainLogo);
        Session s(*this);
        ASSERT_TRUE(s.frame.open());
        EXPECT_EQ(s.frame.logoFile(), c.expected) << c.frameLogo << "|" << c.logo << "|" << c.mainLogo;
    }
}

TEST(VersionNumber, TakesTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(versionNumber("1.8i"), 1.8);
    EXPECT_DOUBLE_EQ(versionNumber("50.1"), 50.1);
    EXPECT_DOUBLE_EQ(versionNumber(" 2"), 2.0);
    EXPECT_DOUBLE_EQ(versionNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(versionNumber("beta"), 0.0);
}

} // namespace
