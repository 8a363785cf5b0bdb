// Salvaging the readable records of a damaged collection into a fresh file.
#include "shell/collection_repair.h"

#include "data/schema_sql.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>

#include <sqlite3.h>

namespace tunarium {

namespace {

constexpr int kBatch = 256;
constexpr qint64 kCommitEvery = 20000;
constexpr qint64 kHighestRowid = qint64(1) << 62;

// Reads one table of the damaged file row by row in rowid order and hands every readable row to
// the fresh store. A damaged page fails the read; the reader then looks for the first rowid past
// it from which reading works again, so that only the rows of damaged pages are lost.
class TableReader {
public:
    TableReader(sqlite3* db, const TableDef& t) : m_db(db), m_table(t) {}
    ~TableReader() { sqlite3_finalize(m_walk); }
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    bool prepare() {
        const QSet<QString> columns = existingColumns();
        if (columns.isEmpty()) {
            return false;
        }
        QStringList select{QStringLiteral("rowid")};
        for (int i = 0; i < m_table.fieldCount(); ++i) {
            const QString c = sql::fieldColumn(m_table, i);
            select << (columns.contains(c.toCaseFolded()) ? sql::quoted(c) : QStringLiteral("NULL"));
        }
        const QByteArray text =
            (QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
             sql::quoted(m_table.label) + QStringLiteral(" WHERE rowid > ? ORDER BY rowid LIMIT ?"))
                .toUtf8();
        return sqlite3_prepare_v2(m_db, text.constData(), -1, &m_walk, nullptr) == SQLITE_OK;
    }

    qint64 expectedCount() {
        sqlite3_stmt* stmt = nullptr;
        qint64 n = -1;
        if (sqlite3_prepare_v2(m_db, "SELECT n FROM \"_counts\" WHERE label = ?", -1, &stmt, nullptr) ==
            SQLITE_OK) {
            const QByteArray label = m_table.label.toUtf8();
            sqlite3_bind_text(stmt, 1, label.constData(), static_cast<int>(label.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) == SQLITE_ROW) {
                n = sqlite3_column_int64(stmt, 0);
            }
        }
        sqlite3_finalize(stmt);
        return n;
    }

    // Reads every readable row; `take` receives each one.
    template <class Take> void readAll(Take take) {
        qint64 after = 0;
        qint64 stuckAt = -1;
        qint64 skip = 1;
        for (;;) {
            int rows = 0;
            const int rc = readBatch(after, rows, take);
            if (rc == SQLITE_DONE) {
                if (rows < kBatch) {
                    return;
                }
                continue;
            }
            // The row after `after` cannot be read: go on from the next rowid that can. Failing
            // again at the same place makes the jump longer each time.
            skip = after == stuckAt ? skip * 2 : 1;
            const qint64 resume = skip < kHighestRowid ? readableFrom(after + skip) : -1;
            if (resume < 0) {
                return;
            }
            after = stuckAt = resume - 1;
        }
    }

private:
    QSet<QString> existingColumns() {
        QSet<QString> columns;
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text =
            (QStringLiteral("PRAGMA table_info(") + sql::quoted(m_table.label) + u')').toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
                columns.insert(QString::fromUtf8(name ? name : "").toCaseFolded());
            }
        }
        sqlite3_finalize(stmt);
        return columns;
    }

    template <class Take> int readBatch(qint64& after, int& rows, Take take) {
        sqlite3_reset(m_walk);
        sqlite3_bind_int64(m_walk, 1, after);
        sqlite3_bind_int(m_walk, 2, kBatch);
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(m_walk)) == SQLITE_ROW) {
            after = sqlite3_column_int64(m_walk, 0);
            ++rows;
            take(rowOf());
        }
        sqlite3_reset(m_walk);
        return rc;
    }

    Row rowOf() const {
        Row row(m_table.id);
        for (int i = 0; i < m_table.fieldCount(); ++i) {
            const int column = i + 1;
            if (sqlite3_column_type(m_walk, column) == SQLITE_NULL) {
                continue;
            }
            if (m_table.field(i).isText()) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_walk, column));
                row.setText(i, QString::fromUtf8(text, sqlite3_column_bytes(m_walk, column)));
            } else {
                row.setNumber(i, sqlite3_column_int64(m_walk, column));
            }
        }
        return row;
    }

    // Whether the first row at or past `rowid` can be read (or no row follows).
    bool readsFrom(qint64 rowid) {
        sqlite3_reset(m_walk);
        sqlite3_bind_int64(m_walk, 1, rowid - 1);
        sqlite3_bind_int(m_walk, 2, 1);
        const int rc = sqlite3_step(m_walk);
        sqlite3_reset(m_walk);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    // The smallest rowid from `from` on at which reading works, found by doubling the distance
    // and then halving it; -1 when none does.
    qint64 readableFrom(qint64 from) {
        if (readsFrom(from)) {
            return from;
        }
        qint64 failed = from;
        for (qint64 step = 1; step < kHighestRowid && from < kHighestRowid; step *= 2) {
            qint64 good = from + step;
            if (!readsFrom(good)) {
                failed = good;
                continue;
            }
            while (good - failed > 1) {
                const qint64 mid = failed + (good - failed) / 2;
                (readsFrom(mid) ? good : failed) = mid;
            }
            return good;
        }
        return -1;
    }

    sqlite3* m_db;
    const TableDef& m_table;
    sqlite3_stmt* m_walk = nullptr;
};

TableSalvage salvageTable(sqlite3* damaged, const TableDef& t, Store& fresh) {
    TableSalvage s;
    s.table = t.id;
    if (!damaged) {
        s.unreadable = true;
        return s;
    }
    TableReader reader(damaged, t);
    s.expected = reader.expectedCount();
    if (!reader.prepare()) {
        s.unreadable = true;
        return s;
    }
    std::optional<Transaction> tx;
    reader.readAll([&](Row row) {
        if (!tx) {
            tx.emplace(fresh);
        }
        if (fresh.insert(row).ok()) {
            ++s.saved;
        } else {
            ++s.refused;
        }
        if ((s.saved + s.refused) % kCommitEvery == 0) {
            tx->commit();
            tx.reset();
        }
    });
    if (tx) {
        tx->commit();
    }
    return s;
}

QString freshDirectory(const QString& dir) {
    return QDir(dir).filePath(QStringLiteral(".tunarium-repair-") +
                              QString::number(QCoreApplication::applicationPid()));
}

// Moves the damaged file, and its log when one is left, to a dated name beside it.
bool keepDamaged(const QString& dir, QString& keptAs) {
    QDir d(dir);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    keptAs = QStringLiteral("tunarium-damaged-") + stamp + QStringLiteral(".db");
    const QString current = collectionFilePath(dir);
    if (QFile::exists(current) && !QFile::rename(current, d.filePath(keptAs))) {
        return false;
    }
    if (QFile::exists(current + QStringLiteral("-wal"))) {
        QFile::rename(current + QStringLiteral("-wal"), d.filePath(keptAs + QStringLiteral("-wal")));
    }
    QFile::remove(current + QStringLiteral("-shm"));
    return true;
}

} // namespace

qint64 TableSalvage::lost() const {
    return expected >= 0 ? std::max(expected - saved, refused) : refused;
}

qint64 RepairReport::totalSaved() const {
    qint64 n = 0;
    for (const TableSalvage& t : tables) {
        n += t.saved;
    }
    return n;
}

qint64 RepairReport::totalLost() const {
    qint64 n = 0;
    for (const TableSalvage& t : tables) {
        n += t.lost();
    }
    return n;
}

QString RepairReport::summary() const {
    if (!repaired) {
        return QStringLiteral("The collection could not be repaired: ") + failure;
    }
    QStringList lines{
        QStringLiteral("The collection was damaged. A new collection was built from every record "
                       "that could be read; the damaged file was kept as ") +
        keptAs + u'.'};
    lines << QString();
    for (const TableSalvage& t : tables) {
        const QString label = tableDef(t.table).label;
        if (t.unreadable && t.expected != 0) {
            lines << label + QStringLiteral(": could not be read; its records are lost.");
        } else if (t.lost() > 0) {
            lines << label + QStringLiteral(": %1 records saved, %2 lost.").arg(t.saved).arg(t.lost());
        } else if (t.saved > 0) {
            lines << label + QStringLiteral(": %1 records saved.").arg(t.saved);
        }
    }
    lines << QString();
    lines << QStringLiteral("In all %1 records were saved and %2 lost.").arg(totalSaved()).arg(totalLost());
    return lines.join(u'\n');
}

RepairReport rebuildCollection(Store& store, const QString& dir) {
    RepairReport report;
    if (!store.isOpen()) {
        // A file the store cannot open at all gives nothing to read: the fresh file starts empty.
        store.open(dir);
    }
    const QString freshDir = freshDirectory(dir);
    QDir(freshDir).removeRecursively();
    {
        Store fresh;
        if (StoreError e = fresh.open(freshDir)) {
            report.failure = e.describe();
            return report;
        }
        for (const TableDef& t : allTables()) {
            if (StoreError e = fresh.createTable(t.id)) {
                report.failure = e.describe();
                fresh.close();
                QDir(freshDir).removeRecursively();
                return report;
            }
        }
        for (const TableDef& t : allTables()) {
            report.tables << salvageTable(store.isOpen() ? store.handle() : nullptr, t, fresh);
        }
        fresh.close();
    }
    store.close();
    if (!keepDamaged(dir, report.keptAs)) {
        report.failure = QStringLiteral("the damaged file could not be moved aside");
        QDir(freshDir).removeRecursively();
        store.open(dir);
        return report;
    }
    if (!QFile::rename(collectionFilePath(freshDir), collectionFilePath(dir))) {
        report.failure = QStringLiteral("the new file could not be put in place");
        QFile::rename(QDir(dir).filePath(report.keptAs), collectionFilePath(dir));
        QDir(freshDir).removeRecursively();
        store.open(dir);
        return report;
    }
    QDir(freshDir).removeRecursively();
    if (StoreError e = store.open(dir)) {
        report.failure = e.describe();
        return report;
    }
    report.repaired = true;
    return report;
}

} // namespace tunarium
