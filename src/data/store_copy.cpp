// A collection copied record for record between a collection file and a server: every table with
// its record numbers, versions and last number given, counted table by table. Into the server
// through COPY in one transaction; out of it from one snapshot into a fresh file that takes its
// name only when whole.
#include "data/store_copy.h"

#include "data/app_paths.h"
#include "data/fold_key.h"
#include "data/output_file.h"
#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_file_kind.h"
#include "data/store_pg.h"
#include "data/store_sqlite.h"
#include "data/store_statement.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tunarium {

namespace {

// Records read from one store and written to the other at a time.
constexpr int kCopyBatch = 2000;

StoreError refusal(const QString& message) {
    return StoreError::driver(0, message);
}

// Every table of the store opened (made or upgraded as a first open does).
StoreError openEveryTable(Store& store) {
    for (const TableDef& t : allTables()) {
        if (StoreError e = store.openTable(t.id)) {
            return e;
        }
    }
    return {};
}

// A record as a line of COPY's text format: the number, the version, the fields, the folded key
// columns, as the store's insert writes them.
void appendCopyLine(QByteArray& lines, const Row& row) {
    const TableDef& t = row.table();
    lines += QByteArray::number(row.meta.rec);
    lines += '\t';
    lines += QByteArray::number(row.meta.version);
    for (int i = 0; i < t.fieldCount(); ++i) {
        lines += '\t';
        if (t.field(i).isText()) {
            appendCopyText(lines, trimTrailingBlanks(row.text(i)));
        } else {
            lines += QByteArray::number(row.number(i));
        }
    }
    for (int i : sql::statements(t).foldedFields) {
        lines += '\t';
        appendCopyText(lines, foldKey(trimTrailingBlanks(row.text(i))));
    }
    lines += '\n';
}

StoreError countsDiffer(const TableDef& t, const QString& where, qint64 there, qint64 source) {
    return refusal(QStringLiteral("The copy of %1 holds %2 records in %3, the collection it was copied from %4; "
                                  "nothing was kept")
                       .arg(t.label)
                       .arg(there)
                       .arg(where)
                       .arg(source));
}

} // namespace

StoreError SqliteStore::insertAsIs(const Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    StoreError error;
    Statement* add = m_connection->cached(sql::statements(t).insert, error);
    if (!add) {
        return error;
    }
    StatementScope scope(*add);
    add->bindInt(1, row.meta.rec);
    add->bindInt(2, row.meta.rec);
    add->bindInt(3, row.meta.version);
    int param = 4;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            add->bindText(param++, trimTrailingBlanks(row.text(i)));
        } else {
            add->bindInt(param++, row.number(i));
        }
    }
    for (int i : sql::statements(t).foldedFields) {
        add->bindText(param++, foldKey(row.text(i)));
    }
    return add->run();
}

StoreError SqliteStore::lastNumberGiven(TableId table, qint64& out) {
    out = 0;
    StoreError error;
    Statement* read = m_connection->cached(QStringLiteral("SELECT lastRec FROM \"_counts\" WHERE label = ?"), error);
    if (!read) {
        return error;
    }
    StatementScope scope(*read);
    read->bindText(1, tableDef(table).label);
    const Statement::Step step = read->step();
    if (step == Statement::Step::Row) {
        out = read->integer(0);
    }
    return step == Statement::Step::Failed ? read->error() : StoreError{};
}

StoreError SqliteStore::keepLastNumber(TableId table, qint64 last) {
    StoreError error;
    Statement* keep =
        m_connection->cached(QStringLiteral("UPDATE \"_counts\" SET lastRec = MAX(lastRec, ?) WHERE label = ?"), error);
    if (!keep) {
        return error;
    }
    StatementScope scope(*keep);
    keep->bindInt(1, last);
    keep->bindText(2, tableDef(table).label);
    return keep->run();
}

StoreError PgStore::lastNumberGiven(TableId table, qint64& out) {
    out = 0;
    StoreError e;
    PgResult r =
        m_connection->run(QStringLiteral("SELECT \"lastRec\" FROM \"_counts\" WHERE label = $1"), {tableDef(table).label}, e);
    if (!e && r.rows() > 0) {
        out = r.integer(0, 0);
    }
    return e;
}

StoreError PgStore::copyFrom(SqliteStore& source, QVector<CopiedTable>& copied) {
    copied.clear();
    for (const TableDef& t : allTables()) {
        if (const qint64 held = count(t.id); held > 0) {
            return refusal(QStringLiteral("The collection on the server %1 holds records already (%2 in %3); a "
                                          "collection file is copied into an empty one (tunarium-cli server init)")
                               .arg(m_connection->label())
                               .arg(held)
                               .arg(t.label));
        }
    }
    StoreError e = m_connection->transact([&]() -> StoreError {
        // The keys are built again after each table's records: a million songs' keys sort in
        // memory with a gigabyte (the server's own setting when it gives more), where the usual
        // 64 MB spills every sort to disk and takes twice the time. For this transaction only.
        StoreError widened;
        m_connection->run(QStringLiteral("SELECT set_config('maintenance_work_mem', GREATEST(setting::bigint, "
                                         "1048576)::text || 'kB', true) FROM pg_settings WHERE name = "
                                         "'maintenance_work_mem'"),
                          {}, widened);
        if (widened) {
            return widened;
        }
        for (const TableDef& t : allTables()) {
            if (StoreError dropped = m_schema.dropKeys(t)) {
                return dropped;
            }
            QStringList columns;
            for (const QString& c : sql::storedColumns(t)) {
                columns << sql::quoted(c);
            }
            if (StoreError begun = m_connection->copyBegin(QStringLiteral("COPY %1 (%2) FROM STDIN")
                                                               .arg(sql::quoted(t.label), columns.join(u',')))) {
                return begun;
            }
            qint64 sent = 0;
            StoreError failed;
            QVector<Row> rows;
            for (qint64 after = 0;;) {
                if ((failed = source.readInRecordOrder(t.id, after, kCopyBatch, rows)) || rows.isEmpty()) {
                    break;
                }
                QByteArray lines;
                for (const Row& row : rows) {
                    appendCopyLine(lines, row);
                }
                if ((failed = m_connection->copyPut(lines))) {
                    break;
                }
                sent += rows.size();
                after = rows.last().meta.rec;
            }
            // The copy is ended even when the file failed: the transaction is then rolled back.
            if (StoreError ended = m_connection->copyEnd(); !failed) {
                failed = ended;
            }
            if (failed) {
                return failed;
            }
            qint64 last = 0;
            if (StoreError numbered = source.lastNumberGiven(t.id, last)) {
                return numbered;
            }
            if (StoreError keys = m_schema.makeKeys(t)) {
                return keys;
            }
            if (StoreError counted = m_schema.setStructure(t)) {
                return counted;
            }
            StoreError kept;
            PgResult check = m_connection->run(
                QStringLiteral("UPDATE \"_counts\" SET \"lastRec\" = GREATEST(\"lastRec\", $2) WHERE label = $1 "
                               "RETURNING n, (SELECT COUNT(*) FROM %1)")
                    .arg(sql::quoted(t.label)),
                {t.label, last}, kept);
            if (kept) {
                return kept;
            }
            const qint64 inFile = source.count(t.id);
            const qint64 onServer = check.rows() == 1 ? check.integer(0, 1) : -1;
            if (onServer != inFile || sent != inFile || check.integer(0, 0) != inFile) {
                return countsDiffer(t, m_connection->label(), onServer, inFile);
            }
            copied.push_back({t.label, onServer});
        }
        // The stations that have the collection open read it again.
        StoreError told;
        m_connection->run(QStringLiteral("SELECT pg_notify($1, 'copy')"), {QString::fromLatin1(kChangesChannel)}, told);
        return told;
    });
    if (StoreError loaded = m_schema.load(); !e) {
        e = loaded;
    }
    if (e) {
        copied.clear();
    }
    return e;
}

StoreError copyFileToServer(const QString& file, const QString& location, QVector<CopiedTable>& copied) {
    copied.clear();
    if (const CollectionFileState state = inspectCollectionFile(file, PageCheck::Quick); !state.sound()) {
        StoreError e = refusal(state.describe());
        if (state.kind == CollectionFileKind::Newer) {
            e = StoreError::of(code::kLayoutDiffers);
            e.driverMessage = state.describe();
        }
        return e;
    }
    // The file is read from a copy of its own: one of an earlier version is upgraded there, and
    // the file itself is never written (it may be on a disc, or another copy's live collection).
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tunarium-copy-XXXXXX"));
    if (!folder.isValid()) {
        return refusal(QStringLiteral("No temporary folder can be made for the copy: %1").arg(folder.errorString()));
    }
    if (const QString why = copyCollectionFile(file, collectionFilePath(folder.path())); !why.isEmpty()) {
        return refusal(why);
    }
    SqliteStore source;
    if (StoreError e = source.open(folder.path())) {
        return e;
    }
    if (StoreError e = openEveryTable(source)) {
        return e;
    }
    PgStore server;
    if (StoreError e = server.open(location)) {
        return e;
    }
    if (StoreError e = openEveryTable(server)) {
        return e;
    }
    if (StoreError e = server.copyFrom(source, copied)) {
        return e;
    }
    // The planner learns what the tables hold now (else it waits for the server's own round).
    return server.exec(QStringLiteral("ANALYZE"));
}

StoreError copyServerToFile(const QString& location, const QString& file, QVector<CopiedTable>& copied) {
    copied.clear();
    if (const QString why = outputFileRefusal(file); !why.isEmpty()) {
        return refusal(why);
    }
    const QFileInfo target(file);
    if (target.exists() || target.isSymLink()) {
        return refusal(QStringLiteral("%1 exists already; the copy is written to a new file").arg(file));
    }
    if (!target.absoluteDir().exists()) {
        return refusal(QStringLiteral("The folder %1 does not exist").arg(target.absolutePath()));
    }
    PgStore server;
    if (StoreError e = server.open(location)) {
        return e;
    }
    if (StoreError e = openEveryTable(server)) {
        return e;
    }
    // The collection is made beside the target, then written to it through an output file.
    QTemporaryDir folder(target.absolutePath() + QStringLiteral("/.tunarium-copy-XXXXXX"));
    if (!folder.isValid()) {
        return refusal(QStringLiteral("No temporary folder can be made beside %1: %2").arg(file, folder.errorString()));
    }
    SqliteStore copy;
    if (StoreError e = copy.open(folder.path())) {
        return e;
    }
    if (StoreError e = openEveryTable(copy)) {
        return e;
    }
    // One snapshot: the tables as they were together at one moment, whatever stations write.
    ReadTransaction snapshot(server);
    if (!snapshot.ok()) {
        return snapshot.beginError();
    }
    for (const TableDef& t : allTables()) {
        qint64 last = 0;
        if (StoreError e = server.lastNumberGiven(t.id, last)) {
            return e;
        }
        if (StoreError e = copy.beginBulkLoad(t.id)) {
            return e;
        }
        {
            Transaction written(copy);
            if (!written.ok()) {
                return written.beginError();
            }
            QVector<Row> rows;
            for (qint64 after = 0;;) {
                if (StoreError e = server.readInRecordOrder(t.id, after, kCopyBatch, rows)) {
                    return e;
                }
                if (rows.isEmpty()) {
                    break;
                }
                for (const Row& row : rows) {
                    if (StoreError e = copy.insertAsIs(row)) {
                        return e;
                    }
                }
                after = rows.last().meta.rec;
            }
            if (StoreError e = written.commit()) {
                return e;
            }
        }
        if (StoreError e = copy.endBulkLoad(t.id)) {
            return e;
        }
        if (StoreError e = copy.keepLastNumber(t.id, last)) {
            return e;
        }
        const qint64 onServer = server.count(t.id);
        const qint64 inCopy = copy.count(t.id);
        if (inCopy != onServer) {
            return countsDiffer(t, file, inCopy, onServer);
        }
        copied.push_back({t.label, inCopy});
    }
    if (StoreError e = copy.backupTo(file)) {
        copied.clear();
        return e;
    }
    return {};
}

StoreError PgSchema::backupTo(const QString& path) {
    QVector<CopiedTable> copied;
    return copyServerToFile(m_connection.location(), path, copied);
}

} // namespace tunarium
