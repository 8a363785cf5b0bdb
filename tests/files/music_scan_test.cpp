// The scan on files made here, beside the whole task's journey (every format, every field, the
// rescans and a cancel, in tests/journeys): a compilation and an untagged file, every kind of file
// that cannot be taken, named with its reason while the rest go in, checked against the
// collection's file read in plain SQL.
#include "data/app_paths.h"
#include "data/database.h"
#include "data/records.h"
#include "files/audio_maker.h"
#include "files/music_scan.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
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

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    QTemporaryDir musicDir;
};

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

// A folder longer than the files read ahead, scanned, then changed here and there and scanned
// again: files changed in a run, alone among unchanged ones, and two whose names differ by case
// alone. Every song holds what its file holds now (read here, one file at a time, without the
// scan), and only the changed files were read again.
TEST_F(ScanTest, ARescanOfAChangedFolderHoldsWhatEveryFileHoldsNow) {
    constexpr int kFiles = 3 * kReadAhead;
    const auto tagsOfFile = [](int n, const QString& edition) {
        AudioTags t = tagsOf(QStringLiteral("Artist %1").arg(n % 5), QStringLiteral("Title %1 %2").arg(n).arg(edition));
        t.album = QStringLiteral("Album %1").arg(n % 3);
        t.track = n % 99 + 1;
        t.bpm = 100 + n;
        t.genre = QStringLiteral("Genre %1 %2").arg(n % 4).arg(edition);
        return t;
    };
    static constexpr const char* kSuffixes[] = {"mp3", "flac", "ogg", "wav"};
    QStringList files;
    for (int n = 0; n < kFiles; ++n) {
        files << make(QStringLiteral("many/%1.%2").arg(n, 3, 10, QLatin1Char('0')).arg(QLatin1String(kSuffixes[n % 4])),
                      tagsOfFile(n, QStringLiteral("first")), 1);
    }
    files << make(QStringLiteral("many/Case.mp3"), tagsOfFile(900, QStringLiteral("upper")), 1);
    files << make(QStringLiteral("many/case.mp3"), tagsOfFile(901, QStringLiteral("lower")), 1);
    EXPECT_EQ(scan()->songsAdded(), files.size());

    // A run of changed files longer than the read-ahead, then single ones among unchanged files.
    QSet<int> changed;
    for (int n = 3; n < 3 + kReadAhead + 5; ++n) {
        changed.insert(n);
    }
    for (int n : {kReadAhead + 20, kReadAhead + 22, 3 * kReadAhead - 1}) {
        changed.insert(n);
    }
    changed.insert(kFiles + 1); // case.mp3
    const QDateTime later = QDateTime::currentDateTime().addSecs(120);
    for (int i : changed) {
        const QString& file = files[i];
        const int n = i < kFiles ? i : 900 + (i - kFiles);
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_EQ(makeAudioFile(file, audioFormatOfName(file), tagsOfFile(n, QStringLiteral("second")), 1), QString());
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touched.setFileTime(later, QFileDevice::FileModificationTime));
    }
    const std::unique_ptr<MusicScan> again = scan();
    EXPECT_EQ(again->songsAdded(), 0);
    EXPECT_EQ(again->songsUpdated(), changed.size());
    EXPECT_EQ(again->filesUnchanged(), files.size() - changed.size());
    EXPECT_TRUE(again->skipped().isEmpty()) << again->summary().join(u'\n').toStdString();

    const QList<QStringList> rows =
        sql("SELECT t.FilePath, t.Artist, t.Title, t.Album, t.TrackNumber, t.BeatsPerMinute, c.Category, "
            "t.FileModified FROM Tunarium t JOIN Categories c ON c.CategoryID = t.CategoryID ORDER BY t.FilePath");
    ASSERT_EQ(rows.size(), files.size());
    for (const QStringList& row : rows) {
        AudioTags now;
        ASSERT_EQ(readAudioFile(row[0], now), QString()) << row[0].toStdString();
        EXPECT_EQ(row.mid(1, 6), (QStringList{now.artist, now.title, now.album, QString::number(now.track),
                                              QString::number(now.bpm), now.genre}))
            << row[0].toStdString();
        EXPECT_EQ(row[7].toLongLong(), QFileInfo(row[0]).lastModified().toSecsSinceEpoch()) << row[0].toStdString();
    }
}

} // namespace
} // namespace tunarium
