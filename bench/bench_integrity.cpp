// The integrity benchmark: deleting an album with its songs and renaming a media format used by
// many songs, through the record-access routines, beside the same work in raw SQLite. It works on
// a copy of the collection, which it leaves unchanged.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"

#include "data/database.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kAlbumSongs = 30;
constexpr qint64 kMediaSongs = 100000;

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

bool rawExec(sqlite3* db, const char* sqlText) {
    return sqlite3_exec(db, sqlText, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Adds an album with its songs on a carrier of its own, and gives a new media format to the
// first songs; returns the album.
StoreError prepare(Database& db, qint64 albumId, const QString& fileNumber, const QString& media, qint64& firstSong) {
    Store& store = db.store();
    Transaction tx(store);
    AlbumRecord album;
    album.albumId = albumId;
    album.album = QStringLiteral("Benchmark album %1").arg(albumId);
    album.artist = QStringLiteral("Benchmark");
    album.fileNumber = fileNumber;
    if (StoreError e = store.insert(album)) {
        return e;
    }
    if (StoreError e = store.nextNumber(TableId::Tunarium, firstSong)) {
        return e;
    }
    for (int i = 0; i < kAlbumSongs; ++i) {
        SongRecord s;
        s.id = firstSong + i;
        s.albumId = albumId;
        s.fileNumber = fileNumber;
        s.trackNumber = i + 1;
        s.title = QStringLiteral("Track %1").arg(i + 1);
        if (StoreError e = store.insert(s)) {
            return e;
        }
    }
    MediaRecord m;
    m.media = media;
    if (StoreError e = store.insert(m)) {
        return e;
    }
    const QString set = QStringLiteral("UPDATE \"Tunarium\" SET \"Media\" = '%1', \"MediaKey\" = '%2' WHERE \"ID\" <= %3")
                            .arg(media, foldKey(media))
                            .arg(kMediaSongs);
    if (StoreError e = store.exec(set)) {
        return e;
    }
    return tx.commit();
}

} // namespace

int integrityBench(const QString& dirPath) {
    QTemporaryDir work;
    QTemporaryDir rawWork;
    if (const QString e = copyCollection(dirPath, work.path()); !e.isEmpty()) {
        return fail(e);
    }
    RecordingPrompter prompter;
    qint64 albumId = 0;
    qint64 firstSong = 0;
    {
        Database db(prompter, work.path(), work.filePath("profile.ini"));
        for (const TableDef& t : allTables()) {
            if (!db.openTable(t.id)) {
                return fail(QStringLiteral("cannot open %1").arg(t.label));
            }
        }
        if (StoreError e = db.store().nextNumber(TableId::Album, albumId)) {
            return fail(e.describe());
        }
        if (StoreError e = prepare(db, albumId, QStringLiteral("BENCH-1"), QStringLiteral("MiniDisc"), firstSong)) {
            return fail(e.describe());
        }
        if (StoreError e = db.store().backupTo(rawWork.filePath(kCollectionFileName))) {
            return fail(e.describe());
        }
        const qint64 songsBefore = db.store().count(TableId::Tunarium);

        AlbumRecord album;
        if (StoreError e = db.store().get(tableDef(TableId::Album).primaryKey, {albumId}, album)) {
            return fail(e.describe());
        }
        QElapsedTimer timer;
        timer.start();
        const int deleted = db.remove(album);
        const double deleteMs = elapsedMs(timer);
        if (deleted != kRoutineDone || db.store().count(TableId::Tunarium) != songsBefore - kAlbumSongs) {
            return fail(QStringLiteral("the album delete did not remove its %1 songs").arg(kAlbumSongs));
        }

        Row media;
        if (StoreError e = db.store().get(TableId::Media, 0, {QStringLiteral("MiniDisc")}, media)) {
            return fail(e.describe());
        }
        const BeforeImage before = db.saveBeforeImage(media);
        media.setText(0, QStringLiteral("MD"));
        timer.restart();
        const int renamed = db.update(media, true, before);
        const double renameMs = elapsedMs(timer);
        if (renamed != kRoutineDone) {
            return fail(QStringLiteral("the media rename failed"));
        }

        // The same work in raw SQLite on an identical copy.
        sqlite3* raw = nullptr;
        sqlite3_open(rawWork.filePath(kCollectionFileName).toUtf8().constData(), &raw);
        timer.restart();
        rawExec(raw, "BEGIN IMMEDIATE");
        const QByteArray deleteSql =
            QStringLiteral("SELECT 1 FROM \"PlaylistDetails\" WHERE \"ID\" IN (SELECT \"ID\" FROM \"Tunarium\" WHERE "
                           "(\"AlbumID\" <> 0 OR \"Side\" <> 0 OR \"TrackNumber\" <> 0) AND \"AlbumID\" = %1); DELETE FROM \"Tunarium\" WHERE \"FileNumberKey\" <> '' AND \"FileNumberKey\" = "
                           "'bench-1'; DELETE FROM \"Tunarium\" WHERE (\"AlbumID\" <> 0 OR \"Side\" <> 0 OR "
                           "\"TrackNumber\" <> 0) AND \"AlbumID\" = %1; DELETE FROM \"Album\" WHERE \"AlbumID\" = %1; "
                           "COMMIT")
                .arg(albumId)
                .toUtf8();
        rawExec(raw, deleteSql.constData());
        const double rawDeleteMs = elapsedMs(timer);
        timer.restart();
        rawExec(raw, "BEGIN IMMEDIATE; UPDATE \"Media\" SET \"Media\" = 'MD', \"MediaKey\" = 'md' WHERE "
                     "\"MediaKey\" = 'minidisc'; UPDATE \"Tunarium\" SET \"Media\" = 'MD', \"MediaKey\" = 'md' WHERE "
                     "\"MediaKey\" = 'minidisc'; COMMIT");
        const double rawRenameMs = elapsedMs(timer);
        sqlite3_close(raw);

        figure("integrity_songs", static_cast<double>(songsBefore), "songs");
        figure("delete_album_30_songs", deleteMs, "ms");
        figure("raw_delete_album_30_songs", rawDeleteMs, "ms");
        ratio("delete_album_30_songs", deleteMs, rawDeleteMs);
        figure("rename_media_100000_songs", renameMs, "ms");
        figure("raw_rename_media_100000_songs", rawRenameMs, "ms");
        ratio("rename_media_100000_songs", renameMs, rawRenameMs);
        figure("integrity_warnings_shown", prompter.messages.size(), "messages");
    }
    return 0;
}

} // namespace tunarium::bench
