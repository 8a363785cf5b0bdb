// Housekeeping as a user meets it: the link test and the File Manager from Preferences ›
// Housekeeping, and the album entries an import offers to make.
#include "journey_fixture.h"

#include "exchange/ui/import_window.h"
#include "process/ui/process_window.h"
#include "shell/ui/file_manager_window.h"
#include "shell/ui/preferences_window.h"

#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace tunarium;

namespace {

// A visible window of that kind anywhere in the program: a window of its own, or inside one.
template <class W> W* anyShown() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<W*>(top); w && w->isVisible()) {
            return w;
        }
        for (W* w : top->findChildren<W*>()) {
            if (w->isVisible()) {
                return w;
            }
        }
    }
    return nullptr;
}

// Answers the program's file dialogs with the files given, in order; messages go to the journey's
// recording prompter.
class ChoosingPrompter final : public Prompter {
public:
    explicit ChoosingPrompter(RecordingPrompter& messages) : m_messages(messages) {}
    int message(const PromptMessage& m) override { return m_messages.message(m); }
    void halt(const QString& text) override { m_messages.halt(text); }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override {
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QStringList files;

private:
    RecordingPrompter& m_messages;
};

class HousekeepingJourney : public test::JourneyTest {
protected:
    // Preferences opens only once the setup wizard was finished.
    QByteArray settingsText() const override {
        return "[Settings]\nAddMode=A\nSetupWizardComplete=1\n";
    }
    Prompter& programPrompter() override { return choosing; }

    void addAlbum(qint64 id, const QString& artist, const QString& title) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = title;
        a.media = QStringLiteral("CD");
        ASSERT_TRUE(db().store().insert(a).ok());
    }
    qint64 addSong(qint64 id, const QString& artist, const QString& album, qint64 albumId) {
        SongRecord s;
        s.id = id;
        s.artist = artist;
        s.title = QStringLiteral("Song %1").arg(id);
        s.album = album;
        s.albumId = albumId;
        s.media = QStringLiteral("CD");
        EXPECT_TRUE(db().store().insert(s).ok());
        return s.meta.rec;
    }
    qint64 albumOf(qint64 songId) {
        for (const SongRecord& s : all<SongRecord>()) {
            if (s.id == songId) {
                return s.albumId;
            }
        }
        return -1;
    }
    // File › Preferences, on its Housekeeping tab.
    PreferencesWindow* openHousekeeping() {
        choose(FrameCommand::Preferences);
        auto* prefs = anyShown<PreferencesWindow>();
        if (prefs) {
            for (int i = 0; i < prefs->tabs()->count(); ++i) {
                if (prefs->tabs()->tabText(i) == QStringLiteral("Housekeeping")) {
                    prefs->tabs()->setCurrentIndex(i);
                }
            }
            settle();
        }
        return prefs;
    }
    // Waits until no progress window is left anywhere.
    bool processesDone() {
        return QTest::qWaitFor([] { return anyShown<ProcessWindow>() == nullptr; }, 20000);
    }
    QStringList texts(const QString& caption) const {
        QStringList found;
        for (const PromptMessage& m : prompter.messages) {
            if (m.caption == caption) {
                found << m.text;
            }
        }
        return found;
    }

    ChoosingPrompter choosing{prompter};
};

// A fresh collection with compilations kept under their own album artist ("VA", "Ministry of
// Sound"): the link test leaves their songs on their albums, links what it can, says what it
// changed, and keeps a copy from before it.
TEST_F(HousekeepingJourney, TheLinkTestFromPreferencesKeepsCompilationsLinkedAndSaysWhatItDid) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    addAlbum(1, "VA", "Now That's Music 50");
    addAlbum(2, "Ministry of Sound", "Annual 2001");
    addAlbum(3, "Abba", "Arrival");
    addAlbum(4, "Various", "Greatest Hits 1976");
    for (qint64 id = 1; id <= 4; ++id) {
        addSong(id, QStringLiteral("Artist %1").arg(id), "Now That's Music 50", 1);
        addSong(10 + id, QStringLiteral("DJ %1").arg(id), "annual 2001", 2); // the title's case aside
    }
    addSong(20, "Abba", "Arrival", 0);                  // not linked yet: its album exists
    addSong(21, "Boney M", "Greatest Hits 1976", 0);    // its album is kept under "Various"
    addSong(22, "Abba", "Voulez-Vous", 3);               // linked to an album of another title
    db().closeTables({TableId::Tunarium, TableId::Album});

    PreferencesWindow* prefs = openHousekeeping();
    ASSERT_NE(prefs, nullptr) << messagesSoFar();
    QPushButton* test = prefs->button("Test Album Database Link Integrity");
    ASSERT_NE(test, nullptr);
    test->click();
    // The question was asked and answered Yes; the run shows its progress in front of Preferences,
    // where the user can follow and cancel it.
    ASSERT_FALSE(texts("Housekeeping").isEmpty()) << messagesSoFar();
    auto* progress = qobject_cast<ProcessWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(progress, nullptr) << "the progress window is not the window in front";
    EXPECT_EQ(progress->process().title(), QStringLiteral("Testing Link Integrity"));
    ASSERT_TRUE(processesDone());
    settle();

    for (qint64 id = 1; id <= 4; ++id) {
        EXPECT_EQ(albumOf(id), 1) << "song " << id;
        EXPECT_EQ(albumOf(10 + id), 2) << "song " << 10 + id;
    }
    EXPECT_EQ(albumOf(20), 3);
    EXPECT_EQ(albumOf(21), 4);
    EXPECT_EQ(albumOf(22), 0);

    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-links-*.db"});
    ASSERT_EQ(backups.size(), 1);
    const QStringList told = texts("Housekeeping");
    ASSERT_EQ(told.size(), 2) << messagesSoFar(); // the question, then what the test did
    EXPECT_TRUE(told[1].startsWith("Process Completed. 2 songs were linked to their albums, 0 moved to the "
                                   "album of their title, 1 unlinked (no album holds their title), 0 numbered."))
        << told[1].toStdString();
    EXPECT_TRUE(told[1].contains(backups.first())) << told[1].toStdString();
}

// Importing two songs into a collection that holds songs without albums: Yes to the album question
// makes the album of the two, and leaves the other songs as they were.
TEST_F(HousekeepingJourney, AlbumEntriesAfterAnImportAreMadeForTheImportedSongsOnly) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    addAlbum(1, "Abba", "Arrival");
    addSong(1, "Abba", "Arrival", 1);
    for (qint64 id = 2; id <= 4; ++id) {
        addSong(id, QStringLiteral("Loose %1").arg(id), QStringLiteral("Never Filed %1").arg(id), 0);
    }
    db().closeTables({TableId::Tunarium, TableId::Album});
    const QString file = QDir(dir.configDir()).filePath("two songs.csv");
    writeText(file, "\"TUN:Artist\",\"TUN:Title\",\"TUN:Album\"\n"
                    "\"Moloko\",\"Sing It Back\",\"Things to Make and Do\"\n"
                    "\"Moloko\",\"The Time Is Now\",\"Things to Make and Do\"\n");
    choosing.files = {file};

    choose(FrameCommand::Import);
    auto* assign = anyShown<ImportWindow>();
    ASSERT_NE(assign, nullptr) << messagesSoFar();
    assign->okButton()->click();
    ASSERT_TRUE(processesDone());
    settle();
    ASSERT_TRUE(processesDone());

    ASSERT_FALSE(texts("Import Complete").isEmpty()) << messagesSoFar();
    const std::vector<AlbumRecord> albums = all<AlbumRecord>();
    ASSERT_EQ(albums.size(), 2u) << messagesSoFar();
    EXPECT_EQ(albums[1].album, "Things to Make and Do");
    EXPECT_EQ(albums[1].artist, "Moloko");
    for (const SongRecord& s : all<SongRecord>()) {
        const qint64 expected = s.artist == "Moloko" ? albums[1].albumId : s.id == 1 ? 1 : 0;
        EXPECT_EQ(s.albumId, expected) << s.artist.toStdString();
    }
}

// The File Manager from Preferences › Housekeeping is the window in front and takes the clicks; a
// Fix over every table says once what it found, and Pack and Build say what they did.
TEST_F(HousekeepingJourney, TheFileManagerFromPreferencesCanBeUsedAndEachActionEndsWithItsResult) {
    PreferencesWindow* prefs = openHousekeeping();
    ASSERT_NE(prefs, nullptr) << messagesSoFar();
    prefs->button("File Manager")->click();
    settle();
    FileManagerWindow* manager = anyShown<FileManagerWindow>();
    ASSERT_NE(manager, nullptr);
    QTreeWidget* list = manager->list();
    QTest::mouseClick(manager->button("&Tag All"), Qt::LeftButton);
    settle();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        EXPECT_EQ(list->topLevelItem(i)->checkState(0), Qt::Checked)
            << "row " << i << " untagged: the click did not reach the File Manager";
    }

    struct Action {
        const char* button;
        const char* caption;
        const char* begins;
    };
    const Action actions[] = {
        {"&Fix", "Fix", "No damage was found in AddWizard, Album, Categories, Fonts, Labels, Media, "},
        {"&Pack", "Pack", "AddWizard, Album, Categories, "},
        {"&Build", "Build", "The keys of AddWizard, Album, Categories, "},
    };
    for (const Action& a : actions) {
        SCOPED_TRACE(a.button);
        prompter.messages.clear();
        QTest::mouseClick(manager->button(a.button), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !manager->busy(); }, 20000));
        settle();
        const QStringList told = texts(a.caption);
        ASSERT_EQ(prompter.messages.size(), 1) << messagesSoFar();
        ASSERT_EQ(told.size(), 1) << messagesSoFar();
        EXPECT_TRUE(told[0].startsWith(a.begins)) << told[0].toStdString();
        EXPECT_TRUE(told[0].contains("Tunarium")) << told[0].toStdString();
    }
    EXPECT_EQ(list->topLevelItem(manager->manager().rowOf("Media"))->text(2), "12");
}

} // namespace
