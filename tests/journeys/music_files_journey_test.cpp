// A DJ's folder of files becomes songs, and follows the folder as it changes: File › "Add Music
// Files…", a folder chosen, OK. Files of every format with every tag give songs with every field,
// one album with its cover and one category; the files that cannot be taken are named in the
// summary. Then a file's tags change, one file moves, one is deleted, and the user edits a song:
// the second scan updates, relinks and marks the gone one missing, adds nothing twice and keeps
// the user's edits, and the songs browse's "Missing Files" shows the gone one. A scan cancelled
// from its progress window keeps what it finished; the next adds the rest.
#include "journey_fixture.h"

#include "catalogue/songs_browse.h"
#include "catalogue/ui/songs_browse_window.h"
#include "data/date_time.h"
#include "data/table_lease.h"
#include "files/audio_maker.h"
#include "files/music_scan.h"
#include "files/ui/add_music_window.h"
#include "process/ui/process_window.h"
#include "ui/ok_cancel_row.h"

#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>

#include <map>

namespace tunarium::test {
namespace {

class FolderPrompter : public RecordingPrompter {
public:
    QString chooseFolder(const QString&, const QString&) override { return folder; }
    QString folder;
};

// One file of each format, each with the musical key spelled as players of that format write it.
struct FormatFile {
    const char* name;
    const char* key;
};
constexpr FormatFile kFormats[] = {{"Homogenic/01.mp3", "Am"},   {"Homogenic/02.flac", "A minor"},
                                   {"Homogenic/03.ogg", "8A"},   {"Homogenic/04.opus", "1m"},
                                   {"Homogenic/05.m4a", "a min"}, {"Homogenic/06.wav", "08A"},
                                   {"Homogenic/07.aiff", "Am"}};

class MusicFilesJourney : public JourneyTest {
protected:
    Prompter& programPrompter() override { return folderPrompter; }

    QString root() const { return QDir(music.path()).canonicalPath(); }
    QString path(const QString& rel) const { return root() + u'/' + rel; }

    QString make(const QString& rel, const AudioTags& tags, int seconds = 3) {
        const QString file = path(rel);
        QDir().mkpath(QFileInfo(file).absolutePath());
        EXPECT_EQ(makeAudioFile(file, audioFormatOfName(file), tags, seconds), QString()) << rel.toStdString();
        return file;
    }
    void writeBytes(const QString& rel, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path(rel)).absolutePath());
        writeText(path(rel), bytes);
    }
    static AudioTags tagsOf(int n, const char* key) {
        AudioTags t;
        t.artist = QStringLiteral("Björk");
        t.title = QStringLiteral("Track %1 — ü").arg(n);
        t.album = QStringLiteral("Homogenic");
        t.albumArtist = QStringLiteral("Björk & Friends");
        t.track = n;
        t.disc = 2;
        t.date = QStringLiteral("1997-09-22");
        t.genre = QStringLiteral("Trip Hop");
        t.bpm = 120 + n;
        t.key = QString::fromLatin1(key);
        t.composer = QStringLiteral("Sjón");
        t.comment = QStringLiteral("comment %1").arg(n);
        t.rating = 6;
        t.cover = cover();
        t.coverMime = QStringLiteral("image/png");
        return t;
    }
    static QByteArray cover() {
        static const char kCover[] = "\x89PNG\r\n\x1a\n the cover of Homogenic";
        return QByteArray(kCover, sizeof kCover - 1);
    }

    // Opens File › "Add Music Files…", chooses the folder through "Add Folder..." and presses OK.
    void startScan(const QString& folder) {
        choose(FrameCommand::AddMusicFiles);
        auto* window = waitFor<AddMusicWindow>();
        ASSERT_NE(window, nullptr) << "no Add Music Files window";
        folderPrompter.folder = folder;
        press(window, "Add &Folder...");
        EXPECT_EQ(window->paths(), QStringList{folder});
        press(window, okText());
    }
    static void press(QWidget* window, const QString& caption) {
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
            if (b->text() == caption) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
    }
    // The summary the scan tells at its end (after the album entries and their covers).
    QString summaryTold(qsizetype toldBefore) {
        QString text;
        const bool ended = QTest::qWaitFor(
            [&] {
                for (qsizetype i = toldBefore; i < folderPrompter.messages.size(); ++i) {
                    if (folderPrompter.messages[i].caption == QLatin1String("Add Music Files")) {
                        text = folderPrompter.messages[i].text;
                        return true;
                    }
                }
                return false;
            },
            60000);
        EXPECT_TRUE(ended) << messagesSoFar();
        settle();
        EXPECT_TRUE(waitGone<ProcessWindow>());
        return text;
    }
    QString scanFolder(const QString& folder) {
        const qsizetype told = folderPrompter.messages.size();
        startScan(folder);
        return summaryTold(told);
    }
    std::string messagesSoFar() const {
        std::string out;
        for (const PromptMessage& m : folderPrompter.messages) {
            out += (m.caption + QStringLiteral(": ") + m.text + QLatin1Char('\n')).toStdString();
        }
        return out;
    }
    std::map<QString, SongRecord> songsByPath() {
        std::map<QString, SongRecord> out;
        for (const SongRecord& s : all<SongRecord>()) {
            out[s.filePath] = s;
        }
        return out;
    }
    static qint64 addedIn(const QString& summary) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(\\d+) songs? added")).match(summary);
        return m.hasMatch() ? m.captured(1).toLongLong() : -1;
    }

    FolderPrompter folderPrompter;
    QTemporaryDir music;
};

TEST_F(MusicFilesJourney, AFolderBecomesSongsAndIsFollowedAsItChanges) {
    int n = 0;
    for (const FormatFile& f : kFormats) {
        make(QString::fromLatin1(f.name), tagsOf(++n, f.key));
    }
    writeBytes(QStringLiteral("Homogenic/notes.mp3"), "these are my notes, not music\n");
    writeBytes(QStringLiteral("Homogenic/empty.flac"), QByteArray());
    writeBytes(QStringLiteral("Homogenic/cut.ogg"), silentAudio(AudioFormat::OggVorbis, 2).left(40));

    const QString first = scanFolder(root());
    const std::string told = first.toStdString();
    EXPECT_TRUE(first.startsWith(QLatin1String("10 files read: 7 songs added, 0 updated"))) << told;
    EXPECT_TRUE(first.contains(QLatin1String("1 category added"))) << told;
    EXPECT_TRUE(first.contains(QLatin1String("3 files were skipped:"))) << told;
    for (const char* bad : {"notes.mp3 is not a readable MP3 file", "empty.flac is empty",
                            "cut.ogg is not a readable Ogg Vorbis file"}) {
        EXPECT_TRUE(first.contains(QLatin1String(bad))) << bad << "\n" << told;
    }
    EXPECT_TRUE(first.contains(QLatin1String("1 album took its cover from a file"))) << told;

    // Every field of every format; one album under the album's artist with the shared cover.
    const std::vector<AlbumRecord> albums = all<AlbumRecord>();
    ASSERT_EQ(albums.size(), 1u);
    EXPECT_EQ(albums[0].artist, "Björk & Friends");
    EXPECT_EQ(albums[0].album, "Homogenic");
    EXPECT_TRUE(albums[0].associatedImage.startsWith(db().collectionDir() + QStringLiteral("/Covers/")))
        << albums[0].associatedImage.toStdString();
    QFile picture(albums[0].associatedImage);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), cover());
    EXPECT_EQ(QDir(db().collectionDir() + QStringLiteral("/Covers")).entryList(QDir::Files).size(), 1);
    const std::vector<CategoryRecord> categories = all<CategoryRecord>();
    const auto tripHop = std::find_if(categories.begin(), categories.end(),
                                      [](const CategoryRecord& c) { return c.category == QLatin1String("Trip Hop"); });
    ASSERT_NE(tripHop, categories.end());

    std::map<QString, SongRecord> songs = songsByPath();
    ASSERT_EQ(songs.size(), 7u);
    n = 0;
    for (const FormatFile& f : kFormats) {
        ++n;
        SCOPED_TRACE(f.name);
        const QString file = path(QString::fromLatin1(f.name));
        ASSERT_EQ(songs.count(file), 1u);
        const SongRecord& s = songs[file];
        EXPECT_EQ(s.artist, "Björk");
        EXPECT_EQ(s.title, QStringLiteral("Track %1 — ü").arg(n));
        EXPECT_EQ(s.album, "Homogenic");
        EXPECT_EQ(s.albumId, albums[0].albumId);
        EXPECT_EQ(s.media, kDigitalFileMedia);
        EXPECT_EQ(s.categoryId, tripHop->categoryId);
        EXPECT_EQ(s.trackNumber, n);
        EXPECT_EQ(s.side, 2);
        EXPECT_EQ(s.releaseDate, readIsoDate(u"1997-09-22"));
        EXPECT_EQ(s.beatsPerMinute, 120 + n);
        EXPECT_EQ(s.musicalKey, "8A");
        EXPECT_EQ(s.composer, "Sjón");
        EXPECT_EQ(s.notes, QStringLiteral("comment %1").arg(n));
        EXPECT_EQ(s.rating, 6);
        EXPECT_GE(hundredthsFromTimeValue(s.time), 290); // the audio's length, not a tag
        EXPECT_LE(hundredthsFromTimeValue(s.time), 320);
        EXPECT_EQ(s.fileModified, QFileInfo(file).lastModified().toSecsSinceEpoch());
        EXPECT_EQ(s.fileMissing, 0);
    }

    // The user edits a song; its file's tags change afterwards (a new title and tempo, a minute
    // later); another file moves to a folder of its own; a third is deleted.
    const QString changed = path(QStringLiteral("Homogenic/02.flac"));
    const QString moved = path(QStringLiteral("Homogenic/03.ogg"));
    const QString movedTo = path(QStringLiteral("Elsewhere/joga.ogg"));
    const QString gone = path(QStringLiteral("Homogenic/04.opus"));
    {
        const TableLease lease(db(), {TableId::Tunarium});
        ASSERT_TRUE(lease);
        SongRecord edited = songs[changed];
        edited.mix = QStringLiteral("Extended");
        edited.performanceNotes = QStringLiteral("mine");
        ASSERT_EQ(db().update(edited, false), kRoutineDone);
    }
    AudioTags retagged = tagsOf(2, "A minor");
    retagged.title = QStringLiteral("Jóga");
    retagged.bpm = 99;
    ASSERT_TRUE(writeAudioTags(changed, retagged));
    {
        QFile f(changed);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QFileInfo(changed).lastModified().addSecs(60), QFileDevice::FileModificationTime));
    }
    QDir().mkpath(QFileInfo(movedTo).absolutePath());
    ASSERT_TRUE(QFile::rename(moved, movedTo));
    ASSERT_TRUE(QFile::remove(gone));
    QFile::remove(path(QStringLiteral("Homogenic/notes.mp3")));
    QFile::remove(path(QStringLiteral("Homogenic/empty.flac")));
    QFile::remove(path(QStringLiteral("Homogenic/cut.ogg")));

    const QString second = scanFolder(root());
    EXPECT_EQ(second.split(u'\n').value(0),
              "6 files read: 0 songs added, 1 updated, 1 found moved and linked again, 4 unchanged; the file of "
              "1 song is missing")
        << second.toStdString();
    const std::map<QString, SongRecord> after = songsByPath();
    ASSERT_EQ(after.size(), 7u) << "nothing is added twice";
    const SongRecord& updated = after.at(changed);
    EXPECT_EQ(updated.id, songs[changed].id);
    EXPECT_EQ(updated.title, "Jóga");
    EXPECT_EQ(updated.beatsPerMinute, 99);
    EXPECT_EQ(updated.mix, "Extended"); // fields no tag holds keep the user's edits
    EXPECT_EQ(updated.performanceNotes, "mine");
    ASSERT_EQ(after.count(movedTo), 1u);
    EXPECT_EQ(after.at(movedTo).id, songs[moved].id);
    EXPECT_EQ(after.at(movedTo).fileMissing, 0);
    EXPECT_EQ(after.count(moved), 0u);
    ASSERT_EQ(after.count(gone), 1u) << "a gone file's song is kept";
    EXPECT_EQ(after.at(gone).fileMissing, 1);
    for (const auto& [file, song] : after) {
        EXPECT_EQ(song.fileMissing != 0, file == gone) << file.toStdString();
    }

    // The songs browse's "Missing Files" shows the gone file's song and no other.
    choose(FrameCommand::BrowseSongs);
    auto* browse = waitFor<SongsBrowseWindow>();
    ASSERT_NE(browse, nullptr);
    ASSERT_EQ(browse->tabBar()->tabText(kSongsTabCount - 1), "Missing Files");
    browse->tabBar()->setCurrentIndex(kSongsTabCount - 1);
    settle();
    ASSERT_EQ(browse->engine().sortOrder(), kSongsMissingFiles);
    ASSERT_EQ(browse->engine().rowCount(), 1);
    EXPECT_EQ(browse->engine().record().number(tun::kId), after.at(gone).id);
    browse->tabBar()->setCurrentIndex(0);
    settle();
    EXPECT_EQ(browse->engine().rowCount(), 7);

    // The gone file comes back: its song is found again by its path, not added, and no longer
    // missing; the range is empty.
    make(QStringLiteral("Homogenic/04.opus"), tagsOf(4, "1m"));
    const QString third = scanFolder(root());
    EXPECT_TRUE(third.startsWith(QLatin1String("7 files read: 0 songs added"))) << third.toStdString();
    EXPECT_EQ(count(TableId::Tunarium), 7);
    EXPECT_EQ(songsByPath().at(gone).fileMissing, 0);
    browse->tabBar()->setCurrentIndex(kSongsTabCount - 1);
    browse->engine().focusGained();
    settle();
    EXPECT_EQ(browse->engine().rowCount(), 0);
}

TEST_F(MusicFilesJourney, ACancelledScanKeepsWhatItFinishedAndTheNextAddsTheRest) {
    constexpr int kFiles = 4 * kScanFilesPerStep;
    for (int i = 0; i < kFiles; ++i) {
        AudioTags t;
        t.artist = QStringLiteral("Aphex Twin");
        t.title = QStringLiteral("Untitled %1").arg(i);
        make(QStringLiteral("SAW/%1.mp3").arg(i, 3, 10, QLatin1Char('0')), t, 1);
    }
    const qsizetype told = folderPrompter.messages.size();
    startScan(root());
    ProcessWindow* progress = waitFor<ProcessWindow>();
    ASSERT_NE(progress, nullptr);
    progress->setInterval(200); // time to press Cancel between two steps
    auto* scan = dynamic_cast<MusicScan*>(&progress->process());
    ASSERT_NE(scan, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scan->songsAdded() > 0; }, 60000));
    // The window shows the files done, the songs added and the folder being read.
    EXPECT_TRUE(progress->messageLine().endsWith(QLatin1String("/SAW")) ||
                progress->percentLine().contains(QLatin1String("files done")))
        << progress->messageLine().toStdString() << " / " << progress->percentLine().toStdString();
    press(progress, QStringLiteral("Cancel"));
    const QString cancelled = summaryTold(told);
    const qint64 kept = count(TableId::Tunarium);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, kFiles);
    EXPECT_EQ(addedIn(cancelled), kept) << cancelled.toStdString();

    const QString rest = scanFolder(root());
    EXPECT_EQ(addedIn(rest), kFiles - kept) << rest.toStdString();
    EXPECT_EQ(count(TableId::Tunarium), kFiles);
    QSet<QString> paths;
    for (const SongRecord& s : all<SongRecord>()) {
        paths.insert(s.filePath);
    }
    EXPECT_EQ(paths.size(), kFiles);
}

} // namespace
} // namespace tunarium::test
