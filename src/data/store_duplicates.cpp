// The duplicate search's reads: a few columns of the songs and albums, a slice at a time.
#include "data/store_duplicates.h"

#include "data/dictionary_tables.h"
#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"

#include <QStringList>

namespace tunarium {

namespace {

// SELECT rowid and the fields, a slice of records after ?1, at most ?2 of them.
QString sliceSql(TableId table, std::initializer_list<int> fields) {
    const TableDef& t = tableDef(table);
    QStringList columns{QStringLiteral("rowid")};
    for (int field : fields) {
        columns << sql::quoted(sql::fieldColumn(t, field));
    }
    return QStringLiteral("SELECT %1 FROM %2 WHERE rowid > ?1 ORDER BY rowid LIMIT ?2")
        .arg(columns.join(u','), sql::quoted(t.label));
}

} // namespace

SqliteDuplicateReader::SqliteDuplicateReader(const Store& store) : m_connection(std::make_unique<Connection>()) {
    if (!store.isOpen()) {
        m_error = StoreError::of(code::kNotOpen);
        return;
    }
    if ((m_error = m_connection->open(store.filePath(), store.isReadOnly()))) {
        return;
    }
    m_error = m_connection->beginRead();
}

SqliteDuplicateReader::~SqliteDuplicateReader() {
    // (Closing rolls the snapshot back.)
    m_connection->close(false);
}

StoreError SqliteDuplicateReader::songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out) {
    out.clear();
    if (m_error) {
        return m_error;
    }
    StoreError error;
    Statement* read = m_connection->cached(
        sliceSql(TableId::Tunarium, {tun::kArtist, tun::kTitle, tun::kFileNumber, tun::kAlbumId, tun::kSide,
                                     tun::kTrackNumber}),
        error);
    if (!read) {
        return error;
    }
    StatementScope scope(*read);
    read->bindInt(1, afterRec);
    read->bindInt(2, limit);
    Statement::Step step;
    while ((step = read->step()) == Statement::Step::Row) {
        out.push_back({read->integer(0), read->text(1), read->text(2), read->text(3), read->integer(4),
                       read->integer(5), read->integer(6)});
    }
    return step == Statement::Step::Done ? StoreError{} : read->error();
}

StoreError SqliteDuplicateReader::albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out) {
    out.clear();
    if (m_error) {
        return m_error;
    }
    StoreError error;
    Statement* read = m_connection->cached(sliceSql(TableId::Album, {alb::kCdIdentifier, alb::kXccd, alb::kAssociatedWavFile}),
                                                 error);
    if (!read) {
        return error;
    }
    StatementScope scope(*read);
    read->bindInt(1, afterRec);
    read->bindInt(2, limit);
    Statement::Step step;
    while ((step = read->step()) == Statement::Step::Row) {
        out.push_back({read->integer(0), read->text(1), read->text(2), read->text(3)});
    }
    return step == Statement::Step::Done ? StoreError{} : read->error();
}

} // namespace tunarium
