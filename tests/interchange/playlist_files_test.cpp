// Playlists out of the collection and back: M3U8 written with absolute and relative paths and
// read back into a collection that holds the same songs under other numbers, a Rekordbox library
// written and read into an empty collection, each compared with what was written; and the files
// that must be refused or passed over, each leaving the collection as it was (counted in plain SQL).
#include "data/app_paths.h"
#include "data/database.h"
#include "data/date_time.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "interchange/m3u_playlist.h"
#include "interchange/rekordbox_xml.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace tunarium {
namespace {

constexpr std::initializer_list<TableId> kTables = {TableId::Tunarium, TableId::Categories, TableId::Media,
                                                    TableId::PlaylistMaster, TableId::PlaylistDetails};

// A collection of its own, its tables held.
struct Collection {
    Collection() : db(prompter, dir.dir(), dir.configDir() + "/profile.ini"), tables(db, kTables) {}

    qint64 add(SongRecord song) {
        EXPECT_TRUE(db.store().nextNumber(TableId::Tunarium, song.id).ok());
        EXPECT_TRUE(db.store().insert(song).ok());
        return song.id;
    }
    qint64 category(const QString& name) {
        CategoryRecord c;
        EXPECT_TRUE(db.store().nextNumber(TableId::Categories, c.categoryId).ok());
        c.category = name;
        EXPECT_TRUE(db.store().insert(c).ok());
        return c.categoryId;
    }
    qint64 playlist(const QString& name, const QVector<qint64>& ids) {
        Transaction tx(db.store());
        PlaylistRecord made;
        EXPECT_TRUE(addPlaylistOf(db.store(), name, ids, made).ok());
        EXPECT_TRUE(tx.commit().ok());
        return made.playlistId;
    }
    QVector<SongRecord> songsOf(qint64 playlistId) {
        QVector<SongRecord> out;
        EXPECT_TRUE(playlistSongs(db.store(), playlistId, out).ok());
        return out;
    }
    qint64 sql(const char* query) { return test::sqlNumber(collectionFilePath(dir.dir()), QString::fromLatin1(query)); }
    // Songs, playlists and entries, as plain SQL counts them.
    QVector<qint64> counts() {
        return {sql("SELECT COUNT(*) FROM Tunarium"), sql("SELECT COUNT(*) FROM PlaylistMaster"),
                sql("SELECT COUNT(*) FROM PlaylistDetails"), sql("SELECT COUNT(*) FROM Categories")};
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db;
    TableLease tables;
};

SongRecord song(const QString& artist, const QString& title, const QString& path, int seconds) {
    SongRecord s;
    s.artist = artist;
    s.title = title;
    s.filePath = path;
    s.time = seconds > 0 ? timeValueFromHundredths(seconds * 100) : 0;
    return s;
}

QStringList said(const QVector<SongRecord>& songs) {
    QStringList out;
    for (const SongRecord& s : songs) {
        out << s.artist + u'|' + s.title + u'|' + s.filePath;
    }
    return out;
}

class PlaylistFiles : public ::testing::Test {
protected:
    QString out(const QString& name) const { return QDir(files.path()).filePath(name); }
    QTemporaryDir files;
};

TEST_F(PlaylistFiles, AnM3u8PlaylistComesBackInItsOrderMatchedByPathThenByArtistAndTitle) {
    Collection a;
    const QString music = QDir(files.path()).filePath(QStringLiteral("Music"));
    const QVector<qint64> ids = {
        a.add(song("Björk", "Jóga", music + "/Homogenic/03 Jóga.flac", 305)),
        a.add(song("Kraftwerk", "Autobahn", {}, 1367)), // on a carrier
        a.add(song("Daft Punk", "One More Time", music + "/#1 hits/one more time.mp3", 320)),
        a.add(song("Sigur Rós", "Hoppípolla", {}, 268)),
    };
    SongRecord carrier;
    ASSERT_TRUE(a.db.store().get(tun::kKeyId, {ids[1]}, carrier).ok());
    carrier.fileNumber = QStringLiteral("LP-17");
    ASSERT_EQ(a.db.update(carrier, false), kRoutineDone);
    const qint64 list = a.playlist(QStringLiteral("Friday"), {ids[0], ids[1], ids[2], ids[3], ids[0]});

    const QString absolute = out(QStringLiteral("friday.m3u8"));
    ASSERT_EQ(writeM3u8(absolute, a.songsOf(list), false, a.db.collectionDir()), QString());
    QFile written(absolute);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n');
    EXPECT_EQ(lines.mid(0, 6), QStringList({"#EXTM3U", "#EXTINF:305,Björk - Jóga", music + "/Homogenic/03 Jóga.flac",
                                           "#EXTINF:1367,Kraftwerk - Autobahn (file number LP-17)",
                                           "#EXTINF:320,Daft Punk - One More Time",
                                           music + "/#1 hits/one more time.mp3"}));
    // Relative: beside the playlist's folder; a path that would begin with "#" is kept a path.
    const QByteArray relative = m3u8Text(a.songsOf(list), {true, QDir(music).filePath("x.m3u8")});
    EXPECT_TRUE(relative.contains("\nHomogenic/03 J\xC3\xB3ga.flac\n")) << relative.constData();
    EXPECT_TRUE(relative.contains("\n./#1 hits/one more time.mp3\n")) << relative.constData();
    {
        QFile f(QDir(music).filePath("x.m3u8"));
        QDir().mkpath(music);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(relative);
    }

    // Another collection with the same songs under other numbers, spelled in other cases, and one
    // more song of a like title that is not the same length.
    Collection b;
    b.add(song("SIGUR ROS", "hoppipolla", {}, 268));
    b.add(song("kraftwerk", "AUTOBAHN", {}, 200));  // another length: not chosen while one fits
    b.add(song("Kraftwerk", "Autobahn", {}, 1368)); // within two seconds
    b.add(song("Daft Punk", "One More Time (live)", music + "/#1 hits/one more time.mp3", 320));
    b.add(song("Bjork", "Joga", music + "/Homogenic/03 Jóga.flac", 305));
    for (const QString& file : {absolute, QDir(music).filePath("x.m3u8")}) {
        SCOPED_TRACE(file.toStdString());
        const PlaylistImport made = importPlaylistFile(b.db, file);
        ASSERT_NE(made.playlistId, 0) << made.summary().join(u'\n').toStdString();
        EXPECT_TRUE(made.unmatched.isEmpty()) << made.summary().join(u'\n').toStdString();
        EXPECT_EQ(said(b.songsOf(made.playlistId)),
                  QStringList({"Bjork|Joga|" + music + "/Homogenic/03 Jóga.flac", "Kraftwerk|Autobahn|",
                               "Daft Punk|One More Time (live)|" + music + "/#1 hits/one more time.mp3",
                               "SIGUR ROS|hoppipolla|", "Bjork|Joga|" + music + "/Homogenic/03 Jóga.flac"}));
    }
    // Named after the file; the second of a name numbered.
    EXPECT_EQ(test::sqlRows(collectionFilePath(b.dir.dir()), "SELECT PlaylistDescription FROM PlaylistMaster ORDER BY PlaylistID"),
              (QList<QStringList>{{"friday"}, {"x"}}));

    // An entry that names no song is named; the rest go in.
    Collection c;
    c.add(song("Kraftwerk", "Autobahn", {}, 1367));
    const PlaylistImport partial = importPlaylistFile(c.db, absolute);
    EXPECT_EQ(partial.entries, 1);
    EXPECT_EQ(partial.unmatched.size(), 4);
    EXPECT_TRUE(partial.summary().join(u'\n').contains(QStringLiteral("4 entries matched no song of the collection:")));
    EXPECT_TRUE(partial.unmatched.first().contains(QStringLiteral("Björk - Jóga"))) << partial.unmatched.first().toStdString();
}

TEST_F(PlaylistFiles, PlsAndPlainM3uAreReadAsPlayersWriteThem) {
    const QString folder = files.path();
    const ReadPlaylist pls = parsePlaylistText("[playlist]\r\nFile1=/music/a.mp3\r\nTitle1=Abba - Waterloo\r\n"
                                               "Length1=168\r\nFile2=b/c.ogg\r\nNumberOfEntries=2\r\nVersion=2\r\n",
                                               folder, false);
    ASSERT_EQ(pls.entries.size(), 2);
    EXPECT_EQ(pls.entries[0].path, "/music/a.mp3");
    EXPECT_EQ(pls.entries[0].artist, "Abba");
    EXPECT_EQ(pls.entries[0].title, "Waterloo");
    EXPECT_EQ(pls.entries[0].seconds, 168);
    EXPECT_EQ(pls.entries[1].path, folder + "/b/c.ogg");
    EXPECT_TRUE(pls.skipped.isEmpty());

    // A plain M3U in Latin-1 with Windows' separators and a file URI; a stream address is no file.
    const ReadPlaylist m3u = parsePlaylistText("D:\\Musik\\K\xF6ln.mp3\nfile:///music/a%20b.flac\n"
                                               "#EXTINF:-1,Radio\nhttp://stream.example/live\n",
                                               folder, false);
    ASSERT_EQ(m3u.entries.size(), 3);
    EXPECT_TRUE(m3u.entries[0].path.endsWith(QStringLiteral("D:/Musik/Köln.mp3"))) << m3u.entries[0].path.toStdString();
    EXPECT_EQ(m3u.entries[1].path, "/music/a b.flac");
    EXPECT_EQ(m3u.entries[2].path, QString());
    EXPECT_EQ(m3u.entries[2].title, "Radio");
    EXPECT_EQ(m3u.entries[2].seconds, -1);
}

TEST_F(PlaylistFiles, ARekordboxLibraryComesBackWholeIntoAnEmptyCollection) {
    Collection a;
    const qint64 house = a.category(QStringLiteral("Deep House"));
    SongRecord full = song("Röyksopp", "Eple & <Friends> \"Edit\"", "/music/Röyksopp/01 eple%.mp3", 222);
    full.album = QStringLiteral("Melody A.M.");
    full.composer = QStringLiteral("Berge");
    full.mix = QStringLiteral("Original Mix");
    full.categoryId = house;
    full.beatsPerMinute = 124;
    full.musicalKey = QStringLiteral("8A");
    full.rating = 8;
    full.releaseDate = 2001;
    full.trackNumber = 1;
    full.side = 2;
    full.notes = QStringLiteral("first line\nsecond line, tab\there");
    const QVector<qint64> ids = {a.add(full), a.add(song("Moby", "Porcelain", "/music/Moby/porcelain.flac", 241)),
                                 a.add(song("Carrier", "Only", {}, 100))};
    SongRecord dated = song("Air", "La Femme d'Argent", "/music/Air/01.ogg", 430);
    dated.releaseDate = dayNumberFromDate(QDate(1998, 1, 16));
    const qint64 airId = a.add(dated);
    const qint64 warmUp = a.playlist(QStringLiteral("Warm-up"), {ids[1], ids[2], ids[0], airId});
    const qint64 empty = a.playlist(QStringLiteral("Nothing yet"), {});

    const QString path = out(QStringLiteral("rekordbox.xml"));
    const RekordboxExport written = exportRekordbox(a.db, path, {warmUp, empty});
    ASSERT_EQ(written.error, QString());
    EXPECT_EQ(written.tracks, 3);
    EXPECT_EQ(written.playlists, 2);
    EXPECT_EQ(written.leftOut, 1); // the carrier song has no file
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    EXPECT_TRUE(xml.contains("Location=\"file://localhost/music/R%C3%B6yksopp/01%20eple%25.mp3\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("Rating=\"204\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("<COLLECTION Entries=\"3\">")) << xml.constData();

    Collection b;
    const RekordboxImport read = importRekordbox(b.db, path);
    ASSERT_EQ(read.refusal, QString());
    EXPECT_EQ(read.tracks, 3);
    EXPECT_EQ(read.added, 3);
    EXPECT_EQ(read.playlists, 2);
    EXPECT_TRUE(read.skipped.isEmpty()) << read.summary().join(u'\n').toStdString();
    SongRecord back;
    ASSERT_TRUE(b.db.store().get(tun::kKeyFilePath, {full.filePath}, back).ok());
    EXPECT_EQ(back.artist, full.artist);
    EXPECT_EQ(back.title, full.title);
    EXPECT_EQ(back.album, full.album);
    EXPECT_EQ(back.composer, full.composer);
    EXPECT_EQ(back.mix, full.mix);
    EXPECT_EQ(back.beatsPerMinute, 124);
    EXPECT_EQ(back.musicalKey, "8A");
    EXPECT_EQ(back.rating, 8);
    EXPECT_EQ(back.releaseDate, 2001);
    EXPECT_EQ(back.trackNumber, 1);
    EXPECT_EQ(back.side, 2);
    EXPECT_EQ(back.notes, full.notes);
    EXPECT_EQ(back.time, full.time);
    EXPECT_EQ(back.media, "Digital File");
    EXPECT_EQ(test::sqlRows(collectionFilePath(b.dir.dir()), "SELECT Category FROM Categories WHERE CategoryID = ?",
                            {QString::number(back.categoryId)}),
              (QList<QStringList>{{"Deep House"}}));
    SongRecord air;
    ASSERT_TRUE(b.db.store().get(tun::kKeyFilePath, {dated.filePath}, air).ok());
    EXPECT_EQ(air.releaseDate, 1998); // the file holds the year alone
    const QList<QStringList> playlists = test::sqlRows(collectionFilePath(b.dir.dir()),
                                                       "SELECT PlaylistID, PlaylistDescription FROM PlaylistMaster ORDER BY PlaylistID");
    ASSERT_EQ(playlists.size(), 2);
    EXPECT_EQ(playlists[0][1], "Warm-up");
    EXPECT_EQ(playlists[1][1], "Nothing yet");
    QStringList order;
    for (const SongRecord& s : b.songsOf(playlists[0][0].toLongLong())) {
        order << s.title;
    }
    EXPECT_EQ(order, QStringList({"Porcelain", full.title, "La Femme d'Argent"}));

    // Read again: every track matches, nothing is added twice.
    const QVector<qint64> before = b.counts();
    const RekordboxImport again = importRekordbox(b.db, path);
    EXPECT_EQ(again.matched, 3);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(b.counts()[0], before[0]);
    EXPECT_EQ(b.sql("SELECT COUNT(*) FROM PlaylistMaster WHERE PlaylistDescription = 'Warm-up (2)'"), 1);
}

TEST_F(PlaylistFiles, BadFilesAreRefusedOrPassedOverAndNothingIsHalfImported) {
    Collection c;
    c.add(song("Abba", "Waterloo", "/music/waterloo.mp3", 168));
    const QVector<qint64> before = c.counts();
    const auto write = [this](const QString& name, const QByteArray& bytes) {
        QFile f(out(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return out(name);
    };
    QByteArray junk;
    QByteArray binary;
    QRandomGenerator random(7);
    while (junk.size() < 10 * 1024 * 1024) {
        const quint32 r = random.generate();
        junk += static_cast<char>(0x20 + r % 95);
        if (r % 61 == 0) {
            junk += '\n';
        }
    }
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(random.generate() & 0xFF);
    }
    const QByteArray track = "<TRACK TrackID=\"1\" Name=\"Waterloo\" Artist=\"Abba\" Location=\"file://localhost/music/waterloo.mp3\"/>";
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* refusal; // in the summary
    };
    const Case cases[] = {
        {"junk.m3u", junk, "holds no playlist entries"},
        {"binary.m3u8", binary, "holds binary data"},
        {"empty.pls", "[playlist]\nNumberOfEntries=0\n", "holds no playlist entries"},
        {"none.m3u8", "#EXTM3U\n#EXTINF:10,Nobody - Nothing\n/nowhere/x.mp3\n", "No entry of"},
        {"cut.xml", "<?xml version=\"1.0\"?><DJ_PLAYLISTS Version=\"1.0.0\"><COLLECTION>" + track, "line 1"},
        {"other.xml", "<?xml version=\"1.0\"?><plist><dict/></plist>", "its root element is plist"},
        {"mismatched.xml", "<DJ_PLAYLISTS><COLLECTION>" + track + "</PLAYLISTS></DJ_PLAYLISTS>", "not a readable Rekordbox"},
        {"deep.xml", "<DJ_PLAYLISTS><PLAYLISTS>" + QByteArray("<NODE Type=\"0\">").repeated(100) +
                         QByteArray("</NODE>").repeated(100) + "</PLAYLISTS></DJ_PLAYLISTS>",
         "nested more than 64 deep"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const QString path = write(QString::fromLatin1(k.name), k.bytes);
        const QString summary = path.endsWith(QLatin1String(".xml")) ? importRekordbox(c.db, path).summary().join(u'\n')
                                                                     : importPlaylistFile(c.db, path).summary().join(u'\n');
        EXPECT_TRUE(summary.contains(QLatin1String(k.refusal))) << summary.left(400).toStdString();
        EXPECT_EQ(c.counts(), before);
    }

    // Lines that cannot be read are passed over by number, the rest imported: a path that is not
    // UTF-8 in an M3U8, a line too long, a Location whose bytes are not UTF-8 (matched by artist
    // and title instead).
    const QString odd = write(QStringLiteral("odd.m3u8"), "#EXTM3U\n/music/K\xF6ln.mp3\n" + QByteArray(9000, 'x') +
                                                              ".mp3\n/music/waterloo.mp3\n");
    const PlaylistImport made = importPlaylistFile(c.db, odd);
    EXPECT_EQ(made.entries, 1);
    EXPECT_EQ(made.skipped, QStringList({"line 2 is not UTF-8 text", "line 3 is too long to be an entry"}));
    const QString bad = write(QStringLiteral("bad.xml"),
                              "<DJ_PLAYLISTS Version=\"1.0.0\"><COLLECTION Entries=\"1\"><TRACK TrackID=\"9\" "
                              "Name=\"Waterloo\" Artist=\"ABBA\" Location=\"file://localhost/music/K%F6ln.mp3\"/>"
                              "</COLLECTION><PLAYLISTS><NODE Type=\"0\" Name=\"ROOT\"><NODE Type=\"1\" Name=\"Odd\" "
                              "KeyType=\"0\"><TRACK Key=\"9\"/><TRACK Key=\"77\"/></NODE></NODE></PLAYLISTS></DJ_PLAYLISTS>");
    const RekordboxImport read = importRekordbox(c.db, bad);
    EXPECT_EQ(read.matched, 1);
    EXPECT_EQ(read.added, 0);
    EXPECT_EQ(read.entries, 1);
    EXPECT_EQ(read.skipped.size(), 2) << read.summary().join(u'\n').toStdString();
    EXPECT_EQ(c.counts()[0], before[0]);
}

} // namespace
} // namespace tunarium
