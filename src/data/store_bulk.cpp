// Range rewrites as single statements.
#include "data/store_bulk.h"

#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/fold_key.h"
#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"

#include <sqlite3.h>

namespace tunarium {

namespace {

// Day number 0 as SQLite reads a date: day numbers count the days since it.
constexpr char kDayZero[] = "1800-12-28";

} // namespace

SqliteBulk::SqliteBulk(Connection& connection) : m_connection(connection) {}

StoreError SqliteBulk::daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec,
                                   qint64& changed) {
    changed = 0;
    const TableDef& t = tableDef(table);
    if (field < 0 || field >= t.fieldCount() || t.field(field).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    const QString column = sql::quoted(sql::fieldColumn(t, field));
    const QString version = sql::quoted(QString::fromLatin1(sql::kVersionColumn));
    // ?1 day zero, ?2 the bare-year limit, ?3 the last day number, ?4 and ?5 the range.
    const QString year = QStringLiteral("CAST(strftime('%Y', julianday(?1) + %1) AS INTEGER)").arg(column);
    StoreError error;
    // The record range decides where the statement reads: a key on the date would otherwise look
    // promising to the planner, and every statement would walk all the dates left to convert.
    Statement* rewrite = m_connection.cached(
        QStringLiteral(
            "UPDATE %1 NOT INDEXED SET %2 = %3, %4 = %4 + 1 WHERE rowid > ?4 AND rowid <= ?5 AND %2 > ?2 AND "
            "%2 <= ?3 AND %3 < ?2")
            .arg(sql::quoted(t.label), column, year, version),
        error);
    if (!rewrite) {
        return error;
    }
    StatementScope scope(*rewrite);
    rewrite->bindText(1, QString::fromLatin1(kDayZero));
    rewrite->bindInt(2, kBareYearLimit);
    rewrite->bindInt(3, kLastDayNumber);
    rewrite->bindInt(4, afterRec);
    rewrite->bindInt(5, throughRec);
    if (rewrite->step() != Statement::Step::Done) {
        return rewrite->error();
    }
    changed = m_connection.changes();
    return {};
}

} // namespace tunarium

namespace tunarium {

namespace {

// The songs of the range that wait for an album: ?1 and ?2 the range.
constexpr char kWaitingSongs[] = "s.rowid > ?1 AND s.rowid <= ?2 AND s.\"AlbumID\" = 0 AND s.\"AlbumKey\" <> ''";

// The album key's condition, repeated where an album is looked up so that its index serves.
constexpr char kAlbumKeyKept[] = "(a.\"AlbumKey\" <> '' OR a.\"ArtistKey\" <> '')";

// One number read by a statement of bound values.
StoreError readNumber(Connection& connection, const QString& text, const QVector<QVariant>& values, qint64& out) {
    StoreError error;
    Statement* read = connection.cached(text, error);
    if (!read) {
        return error;
    }
    StatementScope scope(*read);
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            read->bindText(i + 1, values[i].toString());
        } else {
            read->bindInt(i + 1, values[i].toLongLong());
        }
    }
    if (read->step() != Statement::Step::Row) {
        return read->error();
    }
    out = read->integer(0);
    return {};
}

} // namespace

StoreError SqliteBulk::fileSongsUnderAlbums(qint64 afterRec, qint64 throughRec, const QString& compilationArtist,
                                            AlbumFiling& filed) {
    filed = {};
    filed.failedTable = TableId::Album;
    const QString various = foldKey(compilationArtist);
    Transaction tx(m_connection);
    if (!tx.ok()) {
        return tx.beginError();
    }
    // The numbers the new albums follow: their record numbers as an insert gives them, their IDs
    // after the highest one.
    qint64 lastRec = 0;
    qint64 highestId = 0;
    if (StoreError e = readNumber(m_connection,
                                  QStringLiteral("SELECT MAX(IFNULL((SELECT lastRec FROM \"_counts\" WHERE label = "
                                                 "'Album'), 0), IFNULL((SELECT MAX(rowid) FROM \"Album\"), 0))"),
                                  {}, lastRec)) {
        return e;
    }
    if (StoreError e = readNumber(m_connection,
                                  QStringLiteral("SELECT MAX(IFNULL(MAX(\"AlbumID\"), 0), 0) FROM \"Album\" WHERE "
                                                 "\"AlbumID\" <> 0"),
                                  {}, highestId)) {
        return e;
    }

    // Each album title and artist of the range once, with the facts of its first song (SQLite
    // takes the bare columns of a MIN() group from the row that holds the minimum). A group is
    // filed under an album already there, or under the compilation's album of its title when
    // that album's first song comes before its own; the others are made, in the order of their
    // first songs.
    const QString made = QStringLiteral(
        "INSERT INTO \"Album\" (rowid, \"_rec\", \"_version\", \"AlbumID\", \"Artist\", \"Album\", \"Media\", "
        "\"FileNumber\", \"ReleaseDate\", \"CategoryID\", \"Notes\", \"ArtistKey\", \"AlbumKey\", \"MediaKey\", "
        "\"FileNumberKey\") "
        "SELECT ?4 + n, ?4 + n, 0, ?5 + n, \"Artist\", \"Album\", \"Media\", \"FileNumber\", \"ReleaseDate\", "
        "\"CategoryID\", \"Notes\", \"ArtistKey\", \"AlbumKey\", \"MediaKey\", \"FileNumberKey\" FROM ("
        "SELECT row_number() OVER (ORDER BY g.first) AS n, g.* FROM ("
        "SELECT first, \"Artist\", \"Album\", \"Media\", \"FileNumber\", \"ReleaseDate\", \"CategoryID\", \"Notes\", "
        "\"ArtistKey\", \"AlbumKey\", \"MediaKey\", \"FileNumberKey\", "
        "MIN(CASE WHEN \"ArtistKey\" = ?3 THEN first END) OVER (PARTITION BY \"AlbumKey\") AS compilationFirst "
        "FROM (SELECT MIN(s.rowid) AS first, s.* FROM \"Tunarium\" s WHERE %1 GROUP BY s.\"AlbumKey\", "
        "s.\"ArtistKey\")) AS g "
        "WHERE (g.compilationFirst IS NULL OR g.first <= g.compilationFirst) AND NOT EXISTS (SELECT 1 FROM "
        "\"Album\" a WHERE a.\"AlbumKey\" = g.\"AlbumKey\" AND a.\"ArtistKey\" IN (g.\"ArtistKey\", ?3) AND %2)) "
        "ORDER BY n");
    StoreError error;
    Statement* insert =
        m_connection.cached(made.arg(QLatin1String(kWaitingSongs), QLatin1String(kAlbumKeyKept)), error);
    if (!insert) {
        return error;
    }
    {
        StatementScope scope(*insert);
        insert->bindInt(1, afterRec);
        insert->bindInt(2, throughRec);
        insert->bindText(3, various);
        insert->bindInt(4, lastRec);
        insert->bindInt(5, highestId);
        if (StoreError e = insert->run()) {
            return e;
        }
    }
    filed.albumsMade = m_connection.changes();
    const FieldDef& id = tableDef(TableId::Album).field(alb::kAlbumId);
    if (highestId + filed.albumsMade > id.maxValue()) {
        return StoreError::driver(SQLITE_FULL, QStringLiteral("No numbers are left for ALB:AlbumID"));
    }
    if (filed.albumsMade > 0) {
        qint64 unused = 0;
        if (StoreError e = readNumber(m_connection,
                                      QStringLiteral("UPDATE \"_counts\" SET lastRec = ?1 WHERE label = 'Album' "
                                                     "RETURNING lastRec"),
                                      {lastRec + filed.albumsMade}, unused)) {
            return e;
        }
    }

    // Every waiting song of the range to its album: of its artist, else the compilation's.
    filed.failedTable = TableId::Tunarium;
    const QString link = QStringLiteral(
        "UPDATE \"Tunarium\" SET \"AlbumID\" = f.id, \"_version\" = \"_version\" + 1 FROM ("
        "SELECT s.rowid AS rec, COALESCE((SELECT a.\"AlbumID\" FROM \"Album\" a WHERE a.\"AlbumKey\" = "
        "s.\"AlbumKey\" AND a.\"ArtistKey\" = s.\"ArtistKey\" AND %2), (SELECT a.\"AlbumID\" FROM \"Album\" a "
        "WHERE a.\"AlbumKey\" = s.\"AlbumKey\" AND a.\"ArtistKey\" = ?3 AND %2), 0) AS id "
        "FROM \"Tunarium\" s WHERE %1) AS f WHERE \"Tunarium\".rowid = f.rec AND f.id <> 0");
    Statement* update =
        m_connection.cached(link.arg(QLatin1String(kWaitingSongs), QLatin1String(kAlbumKeyKept)), error);
    if (!update) {
        return error;
    }
    {
        StatementScope scope(*update);
        update->bindInt(1, afterRec);
        update->bindInt(2, throughRec);
        update->bindText(3, various);
        if (StoreError e = update->run()) {
            return e;
        }
    }
    filed.songsLinked = m_connection.changes();
    return tx.commit();
}

} // namespace tunarium
