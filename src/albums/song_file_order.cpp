// Reading the songs in file order and rewriting their album link.
#include "albums/song_file_order.h"

#include "data/schema_sql.h"

#include <sqlite3.h>

namespace tunarium {

namespace {

const TableDef& songs() {
    return tableDef(TableId::Tunarium);
}

} // namespace

SongFileOrder::SongFileOrder(Store& store) : m_store(store) {}

SongFileOrder::~SongFileOrder() {
    sqlite3_finalize(m_read);
    sqlite3_finalize(m_setAlbum);
}

StoreError SongFileOrder::failure(int rc) const {
    return StoreError::driver(rc, QString::fromUtf8(sqlite3_errmsg(m_store.handle())));
}

sqlite3_stmt* SongFileOrder::statement(sqlite3_stmt*& stmt, const QString& sql, StoreError& error) {
    if (!stmt) {
        if (!m_store.isOpen()) {
            error = StoreError::of(code::kFileNotFound);
            return nullptr;
        }
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(m_store.handle(), text.constData(), static_cast<int>(text.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK) {
            error = failure(rc);
            sqlite3_finalize(stmt);
            stmt = nullptr;
        }
    }
    return stmt;
}

StoreError SongFileOrder::read(qint64 afterRec, int limit, QVector<SongRecord>& out) {
    out.clear();
    StoreError error;
    sqlite3_stmt* stmt = statement(
        m_read, sql::selectRecordSql(songs()) + QStringLiteral(" WHERE rowid > ? ORDER BY rowid LIMIT ?"),
        error);
    if (!stmt) {
        return error;
    }
    sqlite3_bind_int64(stmt, 1, afterRec);
    sqlite3_bind_int(stmt, 2, limit);
    const TableDef& t = songs();
    int rc = SQLITE_OK;
    Row row(TableId::Tunarium);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        row.meta.rec = sqlite3_column_int64(stmt, 0);
        row.meta.version = sqlite3_column_int64(stmt, 1);
        for (int i = 0; i < t.fieldCount(); ++i) {
            if (t.field(i).isText()) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i + 2));
                row.setRaw(i, QString::fromUtf8(text, sqlite3_column_bytes(stmt, i + 2)));
            } else {
                row.setNumber(i, sqlite3_column_int64(stmt, i + 2));
            }
        }
        out.push_back(fromRow<SongRecord>(row));
    }
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE ? StoreError{} : failure(rc);
}

StoreError SongFileOrder::setAlbum(SongRecord& song, qint64 albumId) {
    const TableDef& t = songs();
    const QString column = sql::quoted(sql::fieldColumn(t, t.fieldIndex(u"AlbumID")));
    const QString version = sql::quoted(QString::fromLatin1(sql::kVersionColumn));
    StoreError error;
    sqlite3_stmt* stmt =
        statement(m_setAlbum,
                  QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" SET ") + column +
                      QStringLiteral(" = ?, ") + version + QStringLiteral(" = ") + version +
                      QStringLiteral(" + 1 WHERE rowid = ? AND ") + version + QStringLiteral(" = ?"),
                  error);
    if (!stmt) {
        return error;
    }
    sqlite3_bind_int64(stmt, 1, albumId);
    sqlite3_bind_int64(stmt, 2, song.meta.rec);
    sqlite3_bind_int64(stmt, 3, song.meta.version);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        return failure(rc);
    }
    if (sqlite3_changes(m_store.handle()) == 0) {
        return StoreError::of(code::kChangedByOther);
    }
    song.albumId = albumId;
    ++song.meta.version;
    return {};
}

} // namespace tunarium
