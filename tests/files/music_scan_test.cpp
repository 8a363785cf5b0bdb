// The scan on files made here: every field of every format into its song, checked against the
// collection's file read in plain SQL; scanning again after a change, a move and a delete; every
// kind of file that cannot be taken, named with its reason while the rest go in; cancel.
#include "data/app_paths.h"
#include "data/database.h"
#include "data/date_time.h"
#include "data/records.h"
#include "files/audio_maker.h"
#include "files/music_scan.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>
#include <unistd.h>

namespace tunarium {
namespace {

AudioTags tagsOf(const QString& artist, const QString& title) {
    AudioTags t;
    t.artist = artist;
    t.title = title;
    return t;
}

class ScanTest : public ::testing::Test {
protected:
    QString music(const QString& rel) const { return QDir(musicDir.path()).canonicalPath() + u'/' + rel; }

    QString make(const QString& rel, const AudioTags& tags, int seconds = 2) {
        const QString path = music(rel);
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QString problem = makeAudioFile(path, audioFormatOfName(path), tags, seconds);
        EXPECT_EQ(problem, QString()) << rel.toStdString();
        return path;
    }

    // A scan run to its end with the album entries and covers after it, as the command does.
    std::unique_ptr<MusicScan> scan(const QStringList& paths = {}) {
        auto s = std::make_unique<MusicScan>(db, paths.isEmpty() ? QStringList{musicDir.path()} : paths);
        EXPECT_TRUE(runToEnd(*s));
        if (std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfterScan(db, *s)) {
            EXPECT_TRUE(runToEnd(*albums));
        }
        giveAlbumsCovers(db, s->covers());
        return s;
    }

    QList<QStringList> sql(const QString& query, const QStringList& values = {}) {
        return test::sqlRows(collectionFilePath(dir.dir()), query, values);
    }
    qint64 songCount() { return test::sqlNumber(collectionFilePath(dir.dir()), "SELECT COUNT(*) FROM Tunarium"); }

    SongRecord songOf(const QString& path) {
        SongRecord found;
        QVector<Row> rows;
        EXPECT_TRUE(db.store().readInRecordOrder(TableId::Tunarium, 0, 100000, rows).ok());
        for (const Row& row : rows) {
            if (row.text(tun::kFilePath) == path) {
                found = fromRow<SongRecord>(row);
            }
        }
        return found;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    QTemporaryDir musicDir;
};

struct FormatFile {
    const char* name;
    const char* key; // as the format's tag holds it
};

TEST_F(ScanTest, EveryFormatGivesASongWithEveryField) {
    // A minor in the spellings players write; every one kept as "8A".
    static const FormatFile kFiles[] = {{"Homogenic/01.mp3", "Am"},   {"Homogenic/02.flac", "A minor"},
                                        {"Homogenic/03.ogg", "8A"},   {"Homogenic/04.opus", "1m"},
                                        {"Homogenic/05.m4a", "a min"}, {"Homogenic/06.wav", "08A"},
                                        {"Homogenic/07.aiff", "Am"}};
    static const char kCover[] = "\x89PNG\r\n\x1a\n a cover";
    int n = 0;
    for (const FormatFile& f : kFiles) {
        AudioTags t = tagsOf(QStringLiteral("Björk"), QStringLiteral("Track %1 — ü").arg(++n));
        t.album = QStringLiteral("Homogenic");
        t.albumArtist = QStringLiteral("Björk & Friends");
        t.track = n;
        t.disc = 2;
        t.date = QStringLiteral("1997-09-22");
        t.genre = QStringLiteral("Trip Hop");
        t.bpm = 120 + n;
        t.key = QString::fromLatin1(f.key);
        t.composer = QStringLiteral("Sjón");
        t.comment = QStringLiteral("comment %1").arg(n);
        t.rating = 6;
        t.cover = QByteArray(kCover, sizeof kCover - 1);
        t.coverMime = QStringLiteral("image/png");
        make(QString::fromLatin1(f.name), t, 3);
    }
    const std::unique_ptr<MusicScan> s = scan();
    EXPECT_EQ(s->songsAdded(), 7);
    EXPECT_TRUE(s->skipped().isEmpty()) << s->summary().join(u'\n').toStdString();
    EXPECT_TRUE(prompter.messages.isEmpty());

    // One category and one media looked up for all seven; one album under the album's artist.
    EXPECT_EQ(sql("SELECT Category FROM Categories"), (QList<QStringList>{{"Trip Hop"}}));
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Media WHERE Media = ?", {kDigitalFileMedia}), (QList<QStringList>{{"1"}}));
    const QList<QStringList> albums = sql("SELECT AlbumID, Artist, Album, AssociatedImage FROM Album");
    ASSERT_EQ(albums.size(), 1);
    EXPECT_EQ(albums[0][1], "Björk & Friends");
    EXPECT_EQ(albums[0][2], "Homogenic");
    QFile cover(albums[0][3]);
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly)) << albums[0][3].toStdString();
    EXPECT_EQ(cover.readAll(), QByteArray(kCover, sizeof kCover - 1));
    EXPECT_TRUE(albums[0][3].startsWith(dir.dir() + "/Covers/"));
    EXPECT_EQ(QDir(dir.dir() + "/Covers").entryList(QDir::Files).size(), 1); // shared by the seven

    n = 0;
    for (const FormatFile& f : kFiles) {
        ++n;
        const QString path = music(QString::fromLatin1(f.name));
        const SongRecord song = songOf(path);
        SCOPED_TRACE(f.name);
        EXPECT_EQ(song.artist, "Björk");
        EXPECT_EQ(song.title, QStringLiteral("Track %1 — ü").arg(n));
        EXPECT_EQ(song.album, "Homogenic");
        EXPECT_EQ(song.media, kDigitalFileMedia);
        EXPECT_EQ(song.trackNumber, n);
        EXPECT_EQ(song.side, 2);
        EXPECT_EQ(song.releaseDate, readIsoDate(u"1997-09-22"));
        EXPECT_EQ(song.beatsPerMinute, 120 + n);
        EXPECT_EQ(song.musicalKey, "8A");
        EXPECT_EQ(song.composer, "Sjón");
        EXPECT_EQ(song.notes, QStringLiteral("comment %1").arg(n));
        EXPECT_EQ(song.rating, 6);
        EXPECT_EQ(song.albumId, albums[0][0].toLongLong());
        EXPECT_EQ(song.categoryId, sql("SELECT CategoryID FROM Categories")[0][0].toLongLong());
        const qint64 hundredths = hundredthsFromTimeValue(song.time);
        EXPECT_GE(hundredths, 290);
        EXPECT_LE(hundredths, 320);
        EXPECT_EQ(song.fileModified, QFileInfo(path).lastModified().toSecsSinceEpoch());
        EXPECT_EQ(song.fileMissing, 0);
    }
}

TEST_F(ScanTest, ACompilationIsKeptUnderVariousAndAnUntaggedFileByItsName) {
    for (const auto& [file, artist] : {std::pair{"Hits/1.mp3", "Abba"}, std::pair{"Hits/2.flac", "Queen"}}) {
        AudioTags t = tagsOf(QString::fromLatin1(artist), QStringLiteral("Song of %1").arg(QLatin1String(artist)));
        t.album = QStringLiteral("Hits of 1976");
        t.compilation = true;
        make(QString::fromLatin1(file), t);
    }
    make(QStringLiteral("Loose/field recording.wav"), AudioTags{});
    scan();
    EXPECT_EQ(sql("SELECT Artist, Album, (SELECT COUNT(*) FROM Tunarium t WHERE t.AlbumID = a.AlbumID) FROM Album a"),
              (QList<QStringList>{{"Various", "Hits of 1976", "2"}}));
    EXPECT_EQ(sql("SELECT Title, AlbumID FROM Tunarium WHERE Artist = ''"),
              (QList<QStringList>{{"field recording", "0"}}));
}

TEST_F(ScanTest, ScanningAgainAddsNothingTwiceAndFollowsChangesMovesAndDeletes) {
    AudioTags kept = tagsOf(QStringLiteral("Kraftwerk"), QStringLiteral("Autobahn"));
    kept.album = QStringLiteral("Autobahn");
    const QString keptPath = make(QStringLiteral("a/autobahn.mp3"), kept, 4);
    AudioTags changed = tagsOf(QStringLiteral("Kraftwerk"), QStringLiteral("Radioaktivitat"));
    const QString changedPath = make(QStringLiteral("a/radio.flac"), changed, 3);
    const QString movedPath = make(QStringLiteral("a/model.ogg"), tagsOf(QStringLiteral("Kraftwerk"), QStringLiteral("The Model")), 5);
    const QString gonePath = make(QStringLiteral("a/gone.opus"), tagsOf(QStringLiteral("Kraftwerk"), QStringLiteral("Tour")), 2);
    scan();
    ASSERT_EQ(songCount(), 4);

    // The same files again: nothing read, nothing written.
    std::unique_ptr<MusicScan> again = scan();
    EXPECT_EQ(again->songsAdded(), 0);
    EXPECT_EQ(again->songsUpdated(), 0);
    EXPECT_EQ(again->filesUnchanged(), 4);

    // The user's own edit of a field no tag holds, and of one the tag holds.
    SongRecord edited = songOf(changedPath);
    edited.mix = QStringLiteral("Extended");
    edited.composer = QStringLiteral("Typed by hand");
    ASSERT_EQ(db.update(edited, false), kRoutineDone);
    changed.title = QStringLiteral("Radioaktivität");
    changed.bpm = 101;
    ASSERT_TRUE(writeAudioTags(changedPath, changed));
    ASSERT_EQ(::utime(QFile::encodeName(changedPath).constData(), nullptr), 0);
    {
        struct stat st {};
        ::stat(QFile::encodeName(changedPath).constData(), &st);
        if (st.st_mtime == edited.fileModified) { // the same second: a minute on
            const QDateTime later = QFileInfo(changedPath).lastModified().addSecs(60);
            QFile f(changedPath);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.setFileTime(later, QFileDevice::FileModificationTime);
        }
    }
    const qint64 movedId = songOf(movedPath).id;
    const QString newPlace = music(QStringLiteral("b/moved here.ogg"));
    QDir().mkpath(music(QStringLiteral("b")));
    ASSERT_TRUE(QFile::rename(movedPath, newPlace));
    ASSERT_TRUE(QFile::remove(gonePath));

    std::unique_ptr<MusicScan> third = scan();
    EXPECT_EQ(third->songsAdded(), 0) << third->summary().join(u'\n').toStdString();
    EXPECT_EQ(third->songsUpdated(), 1);
    EXPECT_EQ(third->songsRelinked(), 1);
    EXPECT_EQ(third->filesMarkedMissing(), 1);
    EXPECT_EQ(songCount(), 4);

    const SongRecord updated = songOf(changedPath);
    EXPECT_EQ(updated.id, edited.id);
    EXPECT_EQ(updated.title, "Radioaktivität");
    EXPECT_EQ(updated.beatsPerMinute, 101);
    EXPECT_EQ(updated.mix, "Extended");           // no tag holds it: the user's edit stays
    EXPECT_EQ(updated.composer, "Typed by hand"); // the tag holds none: the same
    EXPECT_EQ(songOf(newPlace).id, movedId);
    EXPECT_EQ(songOf(keptPath).title, "Autobahn");
    EXPECT_EQ(sql("SELECT Title, FileMissing FROM Tunarium WHERE FileMissing <> 0"),
              (QList<QStringList>{{"Tour", "1"}}));

    // The file comes back: it is found again, not added.
    ASSERT_EQ(makeAudioFile(gonePath, AudioFormat::Opus, tagsOf(QStringLiteral("Kraftwerk"), QStringLiteral("Tour")), 2),
              QString());
    std::unique_ptr<MusicScan> fourth = scan();
    EXPECT_EQ(fourth->songsAdded(), 0);
    EXPECT_EQ(songCount(), 4);
    EXPECT_EQ(test::sqlNumber(collectionFilePath(dir.dir()), "SELECT COUNT(*) FROM Tunarium WHERE FileMissing <> 0"), 0);
}

TEST_F(ScanTest, BadFilesAreNamedWithTheirReasonAndTheRestGoIn) {
    make(QStringLiteral("good/1.mp3"), tagsOf(QStringLiteral("A"), QStringLiteral("One")));
    AudioTags longOnes = tagsOf(QString(70, u'x'), QStringLiteral("Two"));
    longOnes.genre = QString(40, u'g');
    longOnes.track = 150;
    make(QStringLiteral("good/2.flac"), longOnes);

    QDir().mkpath(music(QStringLiteral("bad")));
    const auto write = [this](const QString& rel, const QByteArray& bytes) {
        QFile f(music(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("bad/notes.mp3"), "these are my notes, not music\n");
    write(QStringLiteral("bad/empty.flac"), QByteArray());
    write(QStringLiteral("bad/cut.flac"), silentAudio(AudioFormat::Flac, 2).left(20));
    write(QStringLiteral("bad/cut.wav"), silentAudio(AudioFormat::Wav, 2).left(30));
    write(QStringLiteral("bad/cut.m4a"), silentAudio(AudioFormat::M4a, 2).left(200));
    write(QStringLiteral("bad/cut.aiff"), silentAudio(AudioFormat::Aiff, 2).left(30));
    write(QStringLiteral("bad/cover.jpg"), "a picture, passed over without a word");
    ASSERT_EQ(::mkfifo(QFile::encodeName(music("bad/pipe.ogg")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(music("bad"), music("bad/round")));
    ASSERT_TRUE(QFile::link(music("bad/loop2.mp3"), music("bad/loop1.mp3")));
    ASSERT_TRUE(QFile::link(music("bad/loop1.mp3"), music("bad/loop2.mp3")));
    ASSERT_TRUE(QFile::link(music("bad/nowhere.mp3"), music("bad/dangling.opus")));
    const QString vanishing = make(QStringLiteral("late/vanishing.mp3"), tagsOf(QStringLiteral("V"), QStringLiteral("Gone")));

    MusicScan s(db, {music("good"), music("bad"), music("late")});
    // Listed, then gone before it is read: its folder is listed in the first steps.
    while (s.step(1) && !s.currentFolder().endsWith(QLatin1String("/late"))) {
    }
    ASSERT_TRUE(QFile::remove(vanishing));
    runToEnd(s);

    EXPECT_EQ(s.songsAdded(), 2);
    EXPECT_EQ(songCount(), 2);
    struct Expected {
        const char* file;
        const char* reason;
    };
    static const Expected kReasons[] = {
        {"bad/notes.mp3", "is not a readable MP3 file"},  {"bad/empty.flac", "is empty"},
        {"bad/cut.flac", "is not a readable FLAC file"},  {"bad/cut.wav", "is not a readable WAV file"},
        {"bad/cut.m4a", "M4A"},                           {"bad/cut.aiff", "is not a readable AIFF file"},
        {"bad/pipe.ogg", "is not a regular file"},        {"bad/round", "is a link in a loop"},
        {"bad/loop1.mp3", "is a link in a loop"},         {"bad/loop2.mp3", "is a link in a loop"},
        {"bad/dangling.opus", "is a link to nothing"},    {"late/vanishing.mp3", "vanished before it was read"},
    };
    const QVector<SkippedFile> skipped = s.skipped();
    EXPECT_EQ(skipped.size(), std::size(kReasons)) << s.summary().join(u'\n').toStdString();
    for (const Expected& e : kReasons) {
        const QString path = music(QString::fromLatin1(e.file));
        const auto found = std::find_if(skipped.begin(), skipped.end(), [&](const SkippedFile& f) { return f.path == path; });
        ASSERT_NE(found, skipped.end()) << e.file;
        EXPECT_TRUE(found->reason.contains(QLatin1String(e.reason))) << e.file << ": " << found->reason.toStdString();
    }
    const QStringList summary = s.summary();
    EXPECT_TRUE(summary.contains(QStringLiteral("%1 files were skipped:").arg(std::size(kReasons))));
    // The long values went in cut, each named.
    EXPECT_EQ(s.cuts().size(), 3) << s.cuts().join(u'\n').toStdString();
    EXPECT_EQ(sql("SELECT length(Artist), TrackNumber FROM Tunarium WHERE Title = 'Two'"),
              (QList<QStringList>{{"50", "0"}}));
}

TEST_F(ScanTest, AFileTheUserCannotReadIsNamed) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads every file";
    }
    const QString path = make(QStringLiteral("locked.mp3"), tagsOf(QStringLiteral("A"), QStringLiteral("B")));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    const std::unique_ptr<MusicScan> s = scan();
    ASSERT_EQ(s->skipped().size(), 1);
    EXPECT_TRUE(s->skipped()[0].reason.startsWith(QLatin1String("cannot be read")));
}

TEST_F(ScanTest, ACancelledScanKeepsWhatItFinishedAndTheNextOneAddsTheRest) {
    for (int i = 0; i < 130; ++i) {
        make(QStringLiteral("many/%1.mp3").arg(i, 3, 10, QLatin1Char('0')), tagsOf(QStringLiteral("A"), QString::number(i)), 1);
    }
    MusicScan first(db, {musicDir.path()});
    ASSERT_TRUE(first.step());
    ASSERT_TRUE(first.step());
    first.cancel();
    EXPECT_FALSE(first.completed());
    EXPECT_GT(first.songsAdded(), 0);
    EXPECT_LT(first.songsAdded(), 130);
    EXPECT_EQ(songCount(), first.songsAdded());
    const std::unique_ptr<MusicScan> second = scan();
    EXPECT_EQ(second->songsAdded(), 130 - first.songsAdded());
    EXPECT_EQ(test::sqlNumber(collectionFilePath(dir.dir()), "SELECT COUNT(DISTINCT FilePath) FROM Tunarium"), 130);
    EXPECT_EQ(songCount(), 130);
}

} // namespace
} // namespace tunarium
