// The checks of the file and of each table, with every finding named by its table.
#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_maintenance.h"
#include "data/store_search.h"
#include "data/store_sqlite.h"

#include <QHash>
#include <QRegularExpression>

namespace tunarium {

namespace {

// Lines of findings kept for the user, per check.
constexpr int kFindingLines = 10;

// The tables of the file by the root pages of their trees and by the names of their indexes, so
// that a finding that names a tree or an index can name its table.
struct Owners {
    QHash<qint64, QString> byRoot;
    QHash<QString, QString> byIndex;

    explicit Owners(Connection& connection) : m_connection(connection) {
        StoreError error;
        Statement read = connection.prepare(
            QStringLiteral("SELECT type, name, tbl_name, rootpage FROM sqlite_schema"), error);
        if (!read.isValid()) {
            return; // a damaged schema: the findings stay with the file
        }
        while (read.step() == Statement::Step::Row) {
            byRoot.insert(read.integer(3), read.text(2));
            if (read.text(0) == QLatin1String("index")) {
                byIndex.insert(read.text(1), read.text(2));
            }
        }
    }

    // The table a line of SQLite's check speaks of; empty when it speaks of the file.
    QString ownerOf(const QString& line) const {
        static const QRegularExpression tree(QStringLiteral("^Tree (\\d+) "));
        static const QRegularExpression page(QStringLiteral("^Page (\\d+)\\b"));
        static const QRegularExpression index(QStringLiteral("\\bindex (\\S+)$"));
        static const QRegularExpression column(QStringLiteral("\\bvalue in (\\S+)\\.\\S+$"));
        if (const QRegularExpressionMatch m = tree.match(line); m.hasMatch()) {
            return byRoot.value(m.captured(1).toLongLong());
        }
        if (const QRegularExpressionMatch m = index.match(line); m.hasMatch()) {
            return byIndex.value(m.captured(1));
        }
        if (const QRegularExpressionMatch m = column.match(line); m.hasMatch()) {
            return m.captured(1);
        }
        if (const QRegularExpressionMatch m = page.match(line); m.hasMatch()) {
            return ownerOfPage(m.captured(1).toLongLong());
        }
        return {};
    }

private:
    // The tree a page belongs to, where SQLite's page statistics can still say (a free or
    // unreadable page belongs to none).
    QString ownerOfPage(qint64 pageNumber) const {
        StoreError error;
        Statement owner =
            m_connection.prepare(QStringLiteral("SELECT name FROM dbstat WHERE pageno = ?"), error);
        if (!owner.isValid()) {
            return {};
        }
        owner.bindInt(1, pageNumber);
        if (owner.step() != Statement::Step::Row) {
            return {};
        }
        const QString name = owner.text(0);
        return byIndex.value(name, name == QLatin1String("sqlite_schema") ? QString() : name);
    }

    Connection& m_connection;
};

// The lines of a check pragma that are not "ok"; false when there were any or it failed.
bool runCheck(Connection& connection, const QString& pragma, QStringList& lines) {
    StoreError error;
    Statement check = connection.prepare(pragma, error);
    if (!check.isValid()) {
        lines << error.driverMessage;
        return false;
    }
    Statement::Step step;
    bool sound = true;
    while ((step = check.step()) == Statement::Step::Row) {
        // The first finding of a file starts with the name of the database it is in.
        QString line = check.text(0);
        line.remove(QStringLiteral("*** in database main ***\n"));
        if (line != QLatin1String("ok")) {
            sound = false;
            lines << line;
        }
    }
    if (step != Statement::Step::Done) {
        lines << check.error().describe();
        return false;
    }
    return sound;
}

QString checkPragma(FileCheck depth) {
    return depth == FileCheck::Full ? QStringLiteral("integrity_check") : QStringLiteral("quick_check");
}

} // namespace

bool SqliteMaintenance::checkFileByTable(FileCheck depth, QList<CheckFinding>& findings) {
    if (!m_connection.isOpen()) {
        findings << CheckFinding{{}, QStringLiteral("The collection is not open.")};
        return false;
    }
    QStringList lines;
    const bool sound = runCheck(
        m_connection, QStringLiteral("PRAGMA %1(%2)").arg(checkPragma(depth)).arg(kFindingLines), lines);
    if (sound) {
        return true;
    }
    const Owners owners(m_connection);
    for (const QString& line : lines) {
        findings << CheckFinding{owners.ownerOf(line), line};
    }
    return false;
}

StoreError SqliteMaintenance::checkSearchIndex(TableId table, bool& inStep) {
    inStep = true;
    const TableDef& t = tableDef(table);
    if (!sql::hasSearchIndex(t)) {
        return {};
    }
    if (StoreError e = m_connection.begin()) {
        return e;
    }
    // The songs waiting for the index go in first, in this transaction alone: one that is in the
    // index already as well is then there twice, which the check finds.
    StoreError e = m_connection.exec(sql::fillSearchIndexSql(t, sql::waitingSongs(t)));
    if (!e) {
        e = m_connection.exec(sql::searchIndexCheckSql(t));
    }
    m_connection.rollback();
    if (e && (e.driverCode & 0xff) == SQLITE_CORRUPT) {
        inStep = false;
        return {};
    }
    return e;
}

bool SqliteMaintenance::checkTable(TableId table, FileCheck depth, QStringList& findings) {
    const TableDef& t = tableDef(table);
    const QString name = sql::quoted(t.label);
    bool sound = true;
    if (depth == FileCheck::Full &&
        !runCheck(m_connection, QStringLiteral("PRAGMA integrity_check(%1)").arg(name), findings)) {
        sound = false;
    }
    StoreError error;
    Statement count = m_connection.prepare(
        QStringLiteral("SELECT (SELECT COUNT(*) FROM %1), (SELECT n FROM \"_counts\" WHERE label = ?)")
            .arg(name),
        error);
    if (!count.isValid()) {
        findings << error.describe();
        return false;
    }
    count.bindText(1, t.label);
    if (count.step() != Statement::Step::Row) {
        findings << count.error().describe();
        return false;
    }
    if (count.isNull(1)) {
        findings << QStringLiteral("no record count is kept for the table");
        sound = false;
    } else if (count.integer(0) != count.integer(1)) {
        findings << QStringLiteral("%1 records, but the count kept for them says %2")
                        .arg(count.integer(0))
                        .arg(count.integer(1));
        sound = false;
    }
    if (depth != FileCheck::Full) {
        return sound;
    }
    // The search index against the songs; a check that cannot run (another copy is writing) finds
    // nothing.
    bool inStep = true;
    const StoreError unchecked = checkSearchIndex(table, inStep);
    if (!unchecked && !inStep) {
        findings << QStringLiteral("the search index does not match the records (rebuilding the keys makes "
                                   "it again)");
        sound = false;
    }
    QStringList mismatches;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasFoldedColumn(t, i)) {
            mismatches << sql::quoted(sql::foldedColumn(t, i)) + QStringLiteral(" <> tunarium_fold(") +
                              sql::quoted(sql::fieldColumn(t, i)) + u')';
        }
    }
    if (mismatches.isEmpty()) {
        return sound;
    }
    Statement folded = m_connection.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ").arg(name) +
                                                mismatches.join(QStringLiteral(" OR ")),
                                            error);
    if (!folded.isValid() || folded.step() != Statement::Step::Row) {
        findings << (folded.isValid() ? folded.error() : error).describe();
        return false;
    }
    if (const qint64 n = folded.integer(0); n > 0) {
        findings << QStringLiteral("%1 records whose sort keys differ from their fields").arg(n);
        sound = false;
    }
    return sound;
}

} // namespace tunarium
