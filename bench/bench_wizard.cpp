// The add wizard's OK on a large collection: a 20-track single-artist wizard writing its album and
// songs in one transaction, beside the same album and songs inserted by raw SQLite in one
// transaction. It works on a copy of the collection, which it leaves unchanged.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"

#include "albums/add_wizard.h"
#include "data/fold_key.h"
#include "data/schema_sql.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kTracks = 20;
constexpr int kRuns = 11;

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

double median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// An insert of every stored column of `t`, the record number given.
class RawInsert {
public:
    RawInsert(sqlite3* db, const TableDef& t) : m_table(t) {
        const QStringList columns = sql::storedColumns(t);
        QStringList quotedCols{QStringLiteral("rowid")};
        QStringList marks{QStringLiteral("?")};
        for (const QString& c : columns) {
            quotedCols << sql::quoted(c);
            marks << QStringLiteral("?");
        }
        const QByteArray text = (QStringLiteral("INSERT INTO ") + sql::quoted(t.label) + " (" +
                                 quotedCols.join(',') + ") VALUES (" + marks.join(',') + ")")
                                    .toUtf8();
        sqlite3_prepare_v2(db, text.constData(), -1, &m_stmt, nullptr);
    }
    ~RawInsert() { sqlite3_finalize(m_stmt); }
    RawInsert(const RawInsert&) = delete;
    RawInsert& operator=(const RawInsert&) = delete;

    bool insert(const Row& row, qint64 rec) {
        int p = 1;
        sqlite3_bind_int64(m_stmt, p++, rec);
        sqlite3_bind_int64(m_stmt, p++, rec);
        sqlite3_bind_int64(m_stmt, p++, 0);
        for (int f = 0; f < m_table.fieldCount(); ++f) {
            if (m_table.field(f).isText()) {
                const QByteArray v = row.text(f).toUtf8();
                sqlite3_bind_text(m_stmt, p++, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(m_stmt, p++, row.number(f));
            }
        }
        for (int f = 0; f < m_table.fieldCount(); ++f) {
            if (sql::hasFoldedColumn(m_table, f)) {
                const QByteArray v = foldKey(row.text(f)).toUtf8();
                sqlite3_bind_text(m_stmt, p++, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
            }
        }
        const bool done = sqlite3_step(m_stmt) == SQLITE_DONE;
        sqlite3_reset(m_stmt);
        return done;
    }

private:
    const TableDef& m_table;
    sqlite3_stmt* m_stmt = nullptr;
};

qint64 rawMax(sqlite3* db, const char* sqlText) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sqlText, -1, &stmt, nullptr);
    const qint64 value = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return value;
}

// The album and songs of run `run` in raw SQLite, in one transaction; -1 when an insert failed.
double rawRunMs(sqlite3* db, int run) {
    const qint64 songRec = rawMax(db, "SELECT max(rowid) FROM \"Tunarium\"") + 1;
    const qint64 songId = rawMax(db, "SELECT max(\"ID\") FROM \"Tunarium\"") + 1;
    const qint64 albumRec = rawMax(db, "SELECT max(rowid) FROM \"Album\"") + 1;
    const qint64 albumId = rawMax(db, "SELECT max(\"AlbumID\") FROM \"Album\"") + 1;
    RawInsert songs(db, tableDef(TableId::Tunarium));
    RawInsert albums(db, tableDef(TableId::Album));
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    AlbumRecord album;
    album.albumId = albumId;
    album.artist = QStringLiteral("Raw Bench Artist");
    album.album = QStringLiteral("Raw Bench Album %1").arg(run);
    album.media = QStringLiteral("CD");
    bool ok = albums.insert(toRow(album), albumRec);
    for (int t = 0; t < kTracks && ok; ++t) {
        SongRecord s;
        s.id = songId + t;
        s.artist = album.artist;
        s.album = album.album;
        s.media = album.media;
        s.albumId = albumId;
        s.trackNumber = t + 1;
        s.title = QStringLiteral("Track %1").arg(t + 1);
        s.time = 22501;
        s.additionalInformation1 = QStringLiteral(" 3:45");
        ok = songs.insert(toRow(s), songRec + t);
    }
    sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    return ok ? elapsedMs(timer) : -1;
}

} // namespace

int wizardBench(const QString& dirPath) {
    QTemporaryDir work;
    if (const QString e = copyCollection(dirPath, work.path()); !e.isEmpty()) {
        return fail(e);
    }
    RecordingPrompter prompter;
    QVector<double> ours;
    qint64 songsBefore = 0;
    {
        Database db(prompter, work.path(), work.filePath("profile.ini"));
        if (!db.openTables({TableId::Tunarium, TableId::Album, TableId::AddWizard})) {
            return fail(QStringLiteral("cannot open the tables"));
        }
        songsBefore = db.store().count(TableId::Tunarium);
        for (int run = 0; run < kRuns; ++run) {
            AddWizard wizard(db, WizardKind::SingleArtist);
            if (!wizard.open()) {
                return fail(QStringLiteral("the wizard did not open"));
            }
            wizard.fields().setText(tun::kArtist, QStringLiteral("Bench Artist"));
            wizard.fields().setText(tun::kAlbum, QStringLiteral("Bench Album %1").arg(run));
            {
                Transaction tx(db.store());
                for (int t = 1; t <= kTracks; ++t) {
                    WizardTrackRecord row;
                    row.instance = wizard.tracks().instance();
                    row.side = QString::fromLatin1(kWizardSide);
                    row.track = t;
                    row.title = QStringLiteral("Track %1").arg(t);
                    row.time = 22501;
                    if (StoreError e = db.store().insert(row)) {
                        return fail(e.describe());
                    }
                }
                tx.commit();
            }
            QElapsedTimer timer;
            timer.start();
            const bool written = wizard.writeAll();
            // The first run warms the connection's cache; the raw runs below have one of their own.
            if (run > 0) {
                ours << elapsedMs(timer);
            }
            if (!written || wizard.writtenSongIds().size() != kTracks || wizard.writtenAlbumId() == 0) {
                return fail(
                    QStringLiteral("the wizard did not write its album: %1")
                        .arg(prompter.messages.isEmpty() ? QString() : prompter.messages.last().text));
            }
        }
        if (db.store().count(TableId::Tunarium) != songsBefore + kRuns * kTracks) {
            return fail(QStringLiteral("the wizard wrote the wrong number of songs"));
        }
    }

    QVector<double> raw;
    sqlite3* db = nullptr;
    sqlite3_open(work.filePath(kCollectionFileName).toUtf8().constData(), &db);
    for (int run = 0; run < kRuns; ++run) {
        const double ms = rawRunMs(db, run);
        if (ms < 0) {
            sqlite3_close(db);
            return fail(QStringLiteral("a raw insert failed"));
        }
        if (run > 0) {
            raw << ms;
        }
    }
    sqlite3_close(db);

    figure("wizard_songs", static_cast<double>(songsBefore), "songs");
    figure("wizard_ok_20_tracks", median(ours), "ms");
    figure("raw_wizard_inserts_20_tracks", median(raw), "ms");
    ratio("wizard_ok", median(ours), median(raw));
    figure("wizard_messages_shown", prompter.messages.size(), "messages");
    // Identifying a disc from a table-of-contents file, as the wizard's read does first.
    return cdIdentifyBench();
}

} // namespace tunarium::bench
