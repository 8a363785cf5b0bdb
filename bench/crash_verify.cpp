// The checker the crash harness runs after each kill. It reads the collection file with SQLite
// directly, as a second opinion beside the program's own check: integrity, every table's count
// against the count the program keeps, every index against its table, the search index against
// the songs' text.
#include "crash_harness.h"

#include "data/app_paths.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>

#include <sqlite3.h>

namespace tunarium::bench {

namespace {

class RawFile {
public:
    explicit RawFile(const QString& path) {
        m_code = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 5000);
        // The whole file mapped and cached: the integrity check of a million songs reads every
        // page of every key many times.
        sqlite3_exec(m_db, "PRAGMA mmap_size = 4294967296; PRAGMA cache_size = -1048576", nullptr, nullptr,
                     nullptr);
    }
    ~RawFile() { sqlite3_close_v2(m_db); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool ok() const { return m_code == SQLITE_OK; }
    QString message() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    // Every row of `sql` with `numbers` bound to its parameters, its columns as text; false (with
    // `problem`) when it fails.
    bool rows(const QString& sql, QList<QStringList>& out, QString& problem,
              const QList<qint64>& numbers = {}) const {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            problem = message() + QStringLiteral(" in ") + sql;
            sqlite3_finalize(stmt);
            return false;
        }
        for (int i = 0; i < numbers.size(); ++i) {
            sqlite3_bind_int64(stmt, i + 1, numbers[i]);
        }
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row << (text ? QString::fromUtf8(text) : QString());
            }
            out << row;
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            problem = message() + QStringLiteral(" in ") + sql;
            return false;
        }
        return true;
    }

    qint64 number(const QString& sql, QString& problem) const {
        QList<QStringList> out;
        if (!rows(sql, out, problem) || out.isEmpty()) {
            if (problem.isEmpty()) {
                problem = QStringLiteral("no row from ") + sql;
            }
            return -1;
        }
        return out.first().value(0).toLongLong();
    }

private:
    sqlite3* m_db = nullptr;
    int m_code = SQLITE_OK;
};

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// Every song is in the search index or waiting for it: the index, with the waiting songs put in,
// checked by FTS5 against the songs' text (a rank of 1), in a transaction that is rolled back. An
// index of an earlier definition has no waiting songs.
QString searchIndexProblem(const RawFile& file) {
    QString problem;
    const auto exists = [&](const char* name) {
        return file.number(QStringLiteral("SELECT COUNT(*) FROM sqlite_schema WHERE name = '%1'")
                               .arg(QLatin1String(name)),
                           problem) == 1;
    };
    if (!exists("TunariumSearch")) {
        return problem;
    }
    const bool waiting = exists("TunariumSearchPending");
    QList<QStringList> none;
    bool ok = file.rows(QStringLiteral("BEGIN"), none, problem);
    if (ok && waiting) {
        ok = file.rows(QStringLiteral("INSERT INTO \"TunariumSearch\" (rowid, \"words\") SELECT \"_rowid\", "
                                      "\"words\" FROM \"TunariumSearchText\" WHERE \"_rowid\" IN (SELECT \"rec\" "
                                      "FROM \"TunariumSearchPending\")"),
                       none, problem);
    }
    if (ok) {
        ok = file.rows(QStringLiteral("INSERT INTO \"TunariumSearch\" (\"TunariumSearch\", rank) VALUES "
                                      "('integrity-check', 1)"),
                       none, problem);
    }
    QString ignored;
    file.rows(QStringLiteral("ROLLBACK"), none, ignored);
    return ok ? QString() : QStringLiteral("search index: ") + problem;
}

} // namespace

QStringList checkCollectionFromOutside(const QString& dir, qint64& songs) {
    QStringList problems;
    songs = -1;
    const RawFile file(QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)));
    if (!file.ok()) {
        return {QStringLiteral("cannot open the collection: ") + file.message()};
    }
    QString problem;
    QList<QStringList> lines;
    if (!file.rows(QStringLiteral("PRAGMA integrity_check"), lines, problem)) {
        return {problem};
    }
    if (lines.size() != 1 || lines.first().value(0) != QLatin1String("ok")) {
        for (const QStringList& line : lines) {
            problems << QStringLiteral("integrity: ") + line.value(0);
        }
        return problems;
    }
    QList<QStringList> counts;
    if (!file.rows(QStringLiteral("SELECT label, n FROM \"_counts\""), counts, problem)) {
        return {problem};
    }
    for (const QStringList& count : counts) {
        const QString& table = count.value(0);
        const qint64 records =
            file.number(QStringLiteral("SELECT COUNT(*) FROM %1 NOT INDEXED").arg(quoted(table)), problem);
        if (!problem.isEmpty()) {
            return problems << problem;
        }
        if (records != count.value(1).toLongLong()) {
            problems << QStringLiteral("%1: %2 records, _counts says %3")
                            .arg(table)
                            .arg(records)
                            .arg(count.value(1));
        }
        if (table == QLatin1String("Tunarium")) {
            songs = records;
        }
        // Every key holds exactly the records its condition admits.
        QList<QStringList> indexes;
        if (!file.rows(
                QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND tbl_name = '%1' "
                               "AND sql IS NOT NULL")
                    .arg(QString(table).replace(u'\'', QStringLiteral("''"))),
                indexes, problem)) {
            return problems << problem;
        }
        // The table's records per condition, counted once: most keys hold every record.
        QHash<QString, qint64> inTableFor{{QString(), records}};
        for (const QStringList& index : indexes) {
            const qsizetype where =
                index.value(1).lastIndexOf(QStringLiteral(" WHERE "), -1, Qt::CaseInsensitive);
            const QString condition =
                where < 0 ? QString() : QStringLiteral(" WHERE ") + index.value(1).mid(where + 7);
            const qint64 inIndex = file.number(QStringLiteral("SELECT COUNT(*) FROM %1 INDEXED BY %2%3")
                                                   .arg(quoted(table), quoted(index.value(0)), condition),
                                               problem);
            if (!inTableFor.contains(condition)) {
                inTableFor.insert(
                    condition,
                    file.number(
                        QStringLiteral("SELECT COUNT(*) FROM %1 NOT INDEXED%2").arg(quoted(table), condition),
                        problem));
            }
            const qint64 inTable = inTableFor.value(condition);
            if (!problem.isEmpty()) {
                return problems << problem;
            }
            if (inIndex != inTable) {
                problems << QStringLiteral("%1: key %2 holds %3 records, the table %4")
                                .arg(table, index.value(0))
                                .arg(inIndex)
                                .arg(inTable);
            }
        }
    }
    if (const QString search = searchIndexProblem(file); !search.isEmpty()) {
        problems << search;
    }
    return problems;
}

bool playlistFromOutside(const QString& dir, qint64 playlistId, QList<qint64>& songIds, QString& problem) {
    const RawFile file(QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)));
    if (!file.ok()) {
        problem = QStringLiteral("cannot open the collection: ") + file.message();
        return false;
    }
    QList<QStringList> entries;
    if (!file.rows(QStringLiteral("SELECT \"PlaylistSeq\", \"ID\" FROM \"PlaylistDetails\" "
                                  "WHERE \"PlaylistID\" = ? ORDER BY \"PlaylistSeq\""),
                   entries, problem, {playlistId})) {
        return false;
    }
    songIds.clear();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].value(0).toLongLong() != i + 1) {
            problem = QStringLiteral("playlist %1: entry %2 is numbered %3")
                          .arg(playlistId)
                          .arg(i + 1)
                          .arg(entries[i].value(0));
            return false;
        }
        songIds << entries[i].value(1).toLongLong();
    }
    return true;
}

QStringList checkPlaylistFromOutside(const QString& dir, qint64 playlistId, QList<qint64> songIds) {
    QList<qint64> now;
    QString problem;
    if (!playlistFromOutside(dir, playlistId, now, problem)) {
        return {problem};
    }
    std::sort(songIds.begin(), songIds.end());
    std::sort(now.begin(), now.end());
    if (now != songIds) {
        return {QStringLiteral("playlist %1 holds %2 entries, not the %3 songs it held")
                    .arg(playlistId)
                    .arg(now.size())
                    .arg(songIds.size())};
    }
    return {};
}

QString damageSongsPage(const QString& file) {
    QString problem;
    qint64 page = 0;
    qint64 pageSize = 0;
    {
        const RawFile raw(file);
        if (!raw.ok()) {
            return QStringLiteral("cannot open the collection: ") + raw.message();
        }
        QList<QStringList> leaves;
        if (!raw.rows(QStringLiteral("SELECT pageno FROM dbstat WHERE name = 'Tunarium' AND pagetype = 'leaf' "
                                     "ORDER BY pageno"),
                      leaves, problem) ||
            leaves.size() < 3) {
            return problem.isEmpty() ? QStringLiteral("the songs table has too few pages to damage one") : problem;
        }
        page = leaves[leaves.size() / 2].value(0).toLongLong();
        pageSize = raw.number(QStringLiteral("PRAGMA page_size"), problem);
        if (pageSize <= 0) {
            return problem;
        }
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite) || !f.seek((page - 1) * pageSize) ||
        f.write(QByteArray(static_cast<int>(pageSize), '\x5a')) != pageSize) {
        return QStringLiteral("cannot overwrite page %1 of %2").arg(page).arg(file);
    }
    return {};
}

} // namespace tunarium::bench
