// Checks, compacting, releasing the log and salvaging the collection file.
#include "data/store_maintenance.h"

#include "data/schema_sql.h"
#include "data/store_connection.h"

#include <QSet>

namespace tunarium {

namespace {

// Lines of a check's findings kept for the user.
constexpr int kProblemLines = 10;
// Records read at a time from a damaged table.
constexpr int kSalvageBatch = 256;
constexpr qint64 kHighestRecord = qint64(1) << 62;

// Reads one table of a damaged file record by record in record order. A damaged page fails the
// read; the reader then looks for the first record number past it from which reading works again.
class TableReader {
public:
    TableReader(Connection& connection, const TableDef& t) : m_connection(connection), m_table(t) {}

    // The walk over the fields the table has in the file; false when the table cannot be read.
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
        StoreError error;
        m_walk = m_connection.prepare(QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) +
                                          QStringLiteral(" FROM ") + sql::quoted(m_table.label) +
                                          QStringLiteral(" WHERE rowid > ? ORDER BY rowid LIMIT ?"),
                                      error);
        return m_walk.isValid();
    }

    qint64 expectedCount() {
        StoreError error;
        Statement count =
            m_connection.prepare(QStringLiteral("SELECT n FROM \"_counts\" WHERE label = ?"), error);
        if (!count.isValid()) {
            return -1;
        }
        count.bindText(1, m_table.label);
        return count.step() == Statement::Step::Row ? count.integer(0) : -1;
    }

    void readAll(const std::function<void(Row)>& take) {
        qint64 after = 0;
        qint64 stuckAt = -1;
        qint64 skip = 1;
        for (;;) {
            int rows = 0;
            if (readBatch(after, rows, take)) {
                if (rows < kSalvageBatch) {
                    return;
                }
                continue;
            }
            // The record after `after` cannot be read: go on from the next one that can. Failing
            // again at the same place makes the jump longer each time.
            skip = after == stuckAt ? skip * 2 : 1;
            const qint64 resume = skip < kHighestRecord ? readableFrom(after + skip) : -1;
            if (resume < 0) {
                return;
            }
            after = stuckAt = resume - 1;
        }
    }

private:
    QSet<QString> existingColumns() {
        QSet<QString> columns;
        StoreError error;
        Statement info = m_connection.prepare(
            QStringLiteral("PRAGMA table_info(") + sql::quoted(m_table.label) + u')', error);
        if (info.isValid()) {
            while (info.step() == Statement::Step::Row) {
                columns.insert(info.text(1).toCaseFolded());
            }
        }
        return columns;
    }

    // True when the batch was read to its end.
    bool readBatch(qint64& after, int& rows, const std::function<void(Row)>& take) {
        StatementScope scope(m_walk);
        m_walk.bindInt(1, after);
        m_walk.bindInt(2, kSalvageBatch);
        Statement::Step step;
        while ((step = m_walk.step()) == Statement::Step::Row) {
            after = m_walk.integer(0);
            ++rows;
            take(rowOf());
        }
        return step == Statement::Step::Done;
    }

    Row rowOf() const {
        Row row(m_table.id);
        for (int i = 0; i < m_table.fieldCount(); ++i) {
            const int column = i + 1;
            if (m_walk.isNull(column)) {
                continue;
            }
            if (m_table.field(i).isText()) {
                row.setText(i, m_walk.text(column));
            } else {
                row.setNumber(i, m_walk.integer(column));
            }
        }
        return row;
    }

    // Whether the first record at or past `rec` can be read (or none follows).
    bool readsFrom(qint64 rec) {
        StatementScope scope(m_walk);
        m_walk.bindInt(1, rec - 1);
        m_walk.bindInt(2, 1);
        return m_walk.step() != Statement::Step::Failed;
    }

    // The smallest record number from `from` on at which reading works, found by doubling the
    // distance and then halving it; -1 when none does.
    qint64 readableFrom(qint64 from) {
        if (readsFrom(from)) {
            return from;
        }
        qint64 failed = from;
        for (qint64 step = 1; step < kHighestRecord && from < kHighestRecord; step *= 2) {
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

    Connection& m_connection;
    const TableDef& m_table;
    Statement m_walk;
};

} // namespace

StoreMaintenance::StoreMaintenance(Connection& connection) : m_connection(connection) {}

bool StoreMaintenance::checkFile(FileCheck depth, QStringList* problems) {
    if (!m_connection.isOpen()) {
        if (problems) {
            *problems << QStringLiteral("The collection is not open.");
        }
        return false;
    }
    StoreError error;
    Statement check = m_connection.prepare(
        QStringLiteral("PRAGMA %1(%2)")
            .arg(depth == FileCheck::Full ? QStringLiteral("integrity_check") : QStringLiteral("quick_check"))
            .arg(kProblemLines),
        error);
    if (!check.isValid()) {
        if (problems) {
            *problems << error.driverMessage;
        }
        return false;
    }
    bool sound = true;
    Statement::Step step;
    while ((step = check.step()) == Statement::Step::Row) {
        const QString line = check.text(0);
        if (line != QLatin1String("ok")) {
            sound = false;
            if (problems) {
                *problems << line;
            }
        }
    }
    if (step != Statement::Step::Done) {
        sound = false;
        if (problems) {
            *problems << check.error().driverMessage;
        }
    }
    return sound;
}

StoreError StoreMaintenance::compact() {
    if (m_connection.depth() > 0) {
        return StoreError::driver(SQLITE_BUSY, QStringLiteral("A transaction is open"));
    }
    if (StoreError e = m_connection.exec(QStringLiteral("VACUUM"))) {
        return e;
    }
    return releaseLog();
}

StoreError StoreMaintenance::releaseLog() {
    return m_connection.checkpoint();
}

void StoreMaintenance::setProgress(std::function<void()> tick) {
    m_connection.setProgress(std::move(tick));
}

SalvageCount StoreMaintenance::salvage(TableId table, const std::function<void(Row)>& take) {
    SalvageCount count;
    if (!m_connection.isOpen()) {
        count.unreadable = true;
        return count;
    }
    TableReader reader(m_connection, tableDef(table));
    count.expected = reader.expectedCount();
    if (!reader.prepare()) {
        count.unreadable = true;
        return count;
    }
    reader.readAll(take);
    return count;
}

} // namespace tunarium
