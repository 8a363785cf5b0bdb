// The songs' search index: its definitions, its pieces and match text, and counting up to a limit
// or a slice of record numbers at a time.
#include "data/store_search.h"

#include "data/dictionary_tables.h"
#include "data/schema_sql.h"
#include "data/store.h"
#include "data/store_connection.h"
#include "data/store_pg.h"
#include "data/store_sqlite.h"

namespace tunarium {

namespace sql {

namespace {

const int kSearchFields[] = {tun::kArtist, tun::kTitle, tun::kAlbum, tun::kMix};

QString searchIndexName(const TableDef& t) {
    return t.label + QStringLiteral("Search");
}

QString viewName(const TableDef& t) {
    return t.label + QStringLiteral("SearchText");
}

QString pendingName(const TableDef& t) {
    return t.label + QStringLiteral("SearchPending");
}

QString triggerName(const TableDef& t, const char* event) {
    return t.label + QStringLiteral("_search_") + QLatin1String(event);
}

// The indexed text of a record (`row` "new.", "old." or "" for the table itself): the case-folded
// part of each field's folded key, read as the filters read it, one line a field, and two line
// ends after the last. So every character stands at the beginning of a piece, and a text of one
// or two characters is found through the pieces that begin with it.
QString indexedText(const TableDef& t, const QString& row) {
    QStringList parts;
    for (const int field : kSearchFields) {
        const QString key = row + quoted(foldedColumn(t, field));
        parts << QStringLiteral("substr(%1, instr(%1, char(1)) + 1)").arg(key);
    }
    return parts.join(QStringLiteral(" || char(10) || ")) + QStringLiteral(" || char(10, 10)");
}

QString termsName(const TableDef& t) {
    return t.label + QStringLiteral("SearchTerms");
}

QString changedText(const TableDef& t) {
    QStringList changes{QStringLiteral("old.rowid IS NOT new.rowid")};
    for (const int field : kSearchFields) {
        const QString key = quoted(foldedColumn(t, field));
        changes << QStringLiteral("old.%1 IS NOT new.%1").arg(key);
    }
    return changes.join(QStringLiteral(" OR "));
}

} // namespace

bool hasSearchIndex(const TableDef& t) {
    return t.id == TableId::Tunarium;
}

QString searchIndexRow(const TableDef& t) {
    return t.label + QStringLiteral("/search");
}

QStringList createSearchIndexSql(const TableDef& t) {
    if (!hasSearchIndex(t)) {
        return {};
    }
    const QString index = quoted(searchIndexName(t));
    const QString table = quoted(t.label);
    const QString pending = quoted(pendingName(t));
    const QString waiting = QStringLiteral("SELECT 1 FROM %1 WHERE \"rec\" = old.rowid").arg(pending);
    // A song taken out: out of the index when it is there (with the text it was indexed by, which
    // its record still holds), else out of the songs waiting for it.
    const QString remove =
        QStringLiteral(
            "INSERT INTO %1 (%1, rowid, \"words\") SELECT 'delete', old.rowid, %2 WHERE NOT EXISTS (%3); "
            "DELETE FROM %4 WHERE \"rec\" = old.rowid;")
            .arg(index, indexedText(t, QStringLiteral("old.")), waiting, pending);
    // A song put in waits with the others; when enough are waiting, all of them go into the index
    // together, one piece of index for the lot instead of one for each.
    const QString full =
        QStringLiteral("(SELECT COUNT(*) FROM %1) >= %2").arg(pending).arg(kSearchPendingLimit);
    const QString add =
        QStringLiteral("INSERT OR IGNORE INTO %1 (\"rec\") VALUES (new.rowid); %2; DELETE FROM %1 WHERE %3;")
            .arg(pending, fillSearchIndexSql(t, full + QStringLiteral(" AND ") + waitingSongs(t)), full);
    return {
        QStringLiteral("CREATE VIEW %1 AS SELECT rowid AS \"_rowid\", %2 AS \"words\" FROM %3")
            .arg(quoted(viewName(t)), indexedText(t, QString()), table),
        // Only rowids are kept (detail=none, no copy of the text): the index narrows, and the
        // exact match on the table decides.
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(\"words\", content='%2', content_rowid='_rowid', "
                       "tokenize='trigram case_sensitive 1', detail=none, columnsize=0)")
            .arg(index, viewName(t)),
        // Every song is either in the index or waiting here, never both.
        QStringLiteral("CREATE TABLE %1 (\"rec\" INTEGER PRIMARY KEY)").arg(pending),
        QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END")
            .arg(quoted(triggerName(t, "insert")), table, add),
        QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN %3 END")
            .arg(quoted(triggerName(t, "delete")), table, remove),
        QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE ON %2 WHEN %3 BEGIN %4 %5 END")
            .arg(quoted(triggerName(t, "update")), table, changedText(t), remove, add),
    };
}

QStringList dropSearchIndexSql(const TableDef& t) {
    if (!hasSearchIndex(t)) {
        return {};
    }
    QStringList drops;
    for (const char* event : {"insert", "delete", "update"}) {
        drops << QStringLiteral("DROP TRIGGER IF EXISTS ") + quoted(triggerName(t, event));
    }
    drops << QStringLiteral("DROP TABLE IF EXISTS ") + quoted(searchIndexName(t));
    drops << QStringLiteral("DROP VIEW IF EXISTS ") + quoted(viewName(t));
    drops << QStringLiteral("DROP TABLE IF EXISTS ") + quoted(pendingName(t));
    return drops;
}

QString rebuildSearchIndexSql(const TableDef& t) {
    const QString index = quoted(searchIndexName(t));
    return QStringLiteral("INSERT INTO %1 (%1) VALUES ('rebuild')").arg(index);
}

QString waitingSongs(const TableDef& t) {
    return QStringLiteral("\"_rowid\" IN (SELECT \"rec\" FROM %1)").arg(quoted(pendingName(t)));
}

QString fillSearchIndexSql(const TableDef& t, const QString& condition) {
    return QStringLiteral("INSERT INTO %1 (rowid, \"words\") SELECT \"_rowid\", \"words\" FROM %2 WHERE %3")
        .arg(quoted(searchIndexName(t)), quoted(viewName(t)), condition);
}

QString searchIndexCheckSql(const TableDef& t) {
    // A rank of 1 compares the index with its content, the songs' text; without it the index is
    // only compared with itself.
    const QString index = quoted(searchIndexName(t));
    return QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('integrity-check', 1)").arg(index);
}

QStringList searchIndexSettingsSql(const TableDef& t) {
    if (!hasSearchIndex(t)) {
        return {};
    }
    // A song added writes a small piece of index in its own transaction. Left to merge on its own,
    // the index merges pieces a little at every such write, in bursts that rewrite hundreds of
    // pages of the large pieces its build leaves; only the small pieces are merged here, sixteen
    // at a time, when that many of a size have gathered.
    const QString index = quoted(searchIndexName(t));
    return {QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('automerge', 0)").arg(index)};
}

} // namespace sql

QStringList searchPieces(const QString& foldedWord) {
    const std::u32string chars = foldedWord.toStdU32String();
    const auto count = static_cast<qsizetype>(chars.size()) - 2;
    if (count <= 0) {
        return {};
    }
    const auto piece = [&](qsizetype at) { return QString::fromUcs4(chars.data() + at, 3); };
    QStringList pieces;
    if (count <= kSearchPiecesPerWord) {
        for (qsizetype i = 0; i < count; ++i) {
            pieces << piece(i);
        }
    } else {
        for (int i = 0; i < kSearchPiecesPerWord; ++i) {
            pieces << piece(i * (count - 1) / (kSearchPiecesPerWord - 1));
        }
    }
    pieces.removeDuplicates();
    return pieces;
}

namespace {

QStringList quotedPieces(const QStringList& pieces) {
    QStringList quoted;
    for (QString p : pieces) {
        p.replace(u'"', QStringLiteral("\"\""));
        quoted << u'"' + p + u'"';
    }
    return quoted;
}

} // namespace

QString searchMatchText(const QStringList& pieces) {
    return quotedPieces(pieces).join(u' ');
}

QString Store::searchWordMatch(const QString& foldedWord) const {
    return searchMatchText(searchPieces(foldedWord));
}

QString searchMatchAnyText(const QStringList& pieces) {
    if (pieces.isEmpty()) {
        return {};
    }
    return u'(' + quotedPieces(pieces).join(QStringLiteral(" OR ")) + u')';
}

QString searchMatchAll(const QStringList& matchTexts) {
    QStringList parts;
    for (const QString& text : matchTexts) {
        if (!text.isEmpty()) {
            parts << text;
        }
    }
    return parts.join(QStringLiteral(" AND "));
}

namespace {

// How every condition on the record numbers of a few candidates begins.
QString candidatesLead(const TableDef& t) {
    return sql::quoted(t.label) + QStringLiteral(".rowid IN (SELECT rowid FROM ");
}

// What the index offers and the songs still waiting for it, which the exact match decides on.
QString candidatesSql(const TableDef& t) {
    const QString index = sql::quoted(sql::searchIndexName(t));
    return candidatesLead(t) + QStringLiteral("%1 WHERE %1 MATCH ? UNION ALL SELECT \"rec\" FROM %2)")
                                   .arg(index, sql::quoted(sql::pendingName(t)));
}

} // namespace

SqlCondition searchCandidates(const TableDef& t, const QString& matchText) {
    return {candidatesSql(t), {matchText}};
}

SqlCondition waitingCandidates(const TableDef& t) {
    return {candidatesLead(t) + sql::quoted(sql::pendingName(t)) + u')', {}};
}

SqlCondition searchCandidatesAlongWalk(const TableDef& t, const QString& matchText) {
    // The unary plus keeps SQLite from reading the candidates first: the set of them is made once
    // and each key entry is tested against it before its song is read.
    return {u'+' + candidatesSql(t), {matchText}};
}

namespace {

// The range on the key's first column, with the condition of a key that leaves blank records out
// (so that its index can be read): the caller's range holds no blank first component.
QString keyRangeSql(const TableDef& t, int key) {
    const QString column = sql::quoted(sql::keyColumns(t, key).first());
    QString range = QStringLiteral("%1 >= ? AND %1 <= ?").arg(column);
    const QString blank = sql::blankCondition(t, key);
    if (!blank.isEmpty()) {
        range += QStringLiteral(" AND ") + blank;
    }
    return range;
}

} // namespace

SqlCondition keyRangeCandidates(const TableDef& t, int key, qint64 low, qint64 high) {
    return {candidatesLead(t) + QStringLiteral("%1 INDEXED BY %2 WHERE %3)")
                                    .arg(sql::quoted(t.label), sql::quoted(sql::indexName(t, key)), keyRangeSql(t, key)),
            {low, high}};
}

SqlCondition keyRangeCondition(const TableDef& t, int key, qint64 low, qint64 high) {
    return {keyRangeSql(t, key), {low, high}};
}

bool narrowsThroughSearchIndex(const TableDef& t, const QString& condition) {
    // The candidates of the search index and those of a key's range begin alike.
    const QString candidates = candidatesLead(t);
    for (qsizetype at = condition.indexOf(candidates); at >= 0; at = condition.indexOf(candidates, at + 1)) {
        if (at == 0 || condition[at - 1] != u'+') {
            return true;
        }
    }
    return false;
}

SqlCondition allOf(const SqlCondition& a, const SqlCondition& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return a.isEmpty() ? b : a;
    }
    return {u'(' + a.sql + QStringLiteral(") AND (") + b.sql + u')', a.binds + b.binds};
}

StoreError SqliteStore::countUpTo(TableId table, const SqlCondition& condition, qint64 limit, qint64& out) {
    out = 0;
    const TableDef& t = tableDef(table);
    QString text = QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM ") + sql::quoted(t.label);
    if (!condition.isEmpty()) {
        text += QStringLiteral(" WHERE ") + condition.sql;
    }
    text += QStringLiteral(" LIMIT ?)");
    StoreError error;
    Statement* count = m_connection->cached(text, error);
    if (!count) {
        return error;
    }
    StatementScope scope(*count);
    int param = 1;
    for (const QVariant& value : condition.binds) {
        count->bindValue(param++, value);
    }
    count->bindInt(param, limit);
    if (count->step() != Statement::Step::Row) {
        return count->error();
    }
    out = count->integer(0);
    return {};
}

StoreError SqliteStore::countInRecordSpan(TableId table, const SqlCondition& condition, qint64 afterRec,
                                          qint64 throughRec, qint64& out) {
    out = 0;
    const TableDef& t = tableDef(table);
    QString text = QStringLiteral("SELECT COUNT(*) FROM ") + sql::quoted(t.label) +
                   QStringLiteral(" WHERE rowid > ? AND rowid <= ?");
    if (!condition.isEmpty()) {
        text += QStringLiteral(" AND (") + condition.sql + u')';
    }
    StoreError error;
    Statement* count = m_connection->cached(text, error);
    if (!count) {
        return error;
    }
    StatementScope scope(*count);
    count->bindInt(1, afterRec);
    count->bindInt(2, throughRec);
    int param = 3;
    for (const QVariant& value : condition.binds) {
        count->bindValue(param++, value);
    }
    if (count->step() != Statement::Step::Row) {
        return count->error();
    }
    out = count->integer(0);
    return {};
}

SqlCondition searchCandidatesIn(const Store& store, const QString& matchText, bool alongWalk) {
    if (const auto* server = dynamic_cast<const PgStore*>(&store)) {
        return server->searchCandidates(TableId::Tunarium, matchText, alongWalk);
    }
    const TableDef& t = tableDef(TableId::Tunarium);
    return alongWalk ? searchCandidatesAlongWalk(t, matchText) : searchCandidates(t, matchText);
}

SqlCondition keyRangeCandidatesIn(const Store& store, int key, qint64 low, qint64 high) {
    if (const auto* server = dynamic_cast<const PgStore*>(&store)) {
        return server->keyRangeCandidates(TableId::Tunarium, key, low, high);
    }
    return keyRangeCandidates(tableDef(TableId::Tunarium), key, low, high);
}

qint64 SearchSample::estimated(qint64 limit) const {
    if (candidates < limit || lastRec <= 0) {
        return candidates + waiting;
    }
    return static_cast<qint64>(static_cast<double>(candidates) * static_cast<double>(highestRec) /
                               static_cast<double>(lastRec)) +
           waiting;
}

StoreError SqliteStore::sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit,
                                               SearchSample& out) {
    out = {};
    const TableDef& t = tableDef(table);
    if (!sql::hasSearchIndex(t)) {
        return StoreError::of(code::kInvalidKey);
    }
    const QString index = sql::quoted(sql::searchIndexName(t));
    StoreError error;
    Statement* sample = m_connection->cached(
        QStringLiteral("SELECT COUNT(*), IFNULL(MAX(rowid), 0), (SELECT IFNULL(MAX(rowid), 0) FROM %1), "
                       "(SELECT COUNT(*) FROM %3) FROM (SELECT rowid FROM %2 WHERE %2 MATCH ? LIMIT ?)")
            .arg(sql::quoted(t.label), index, sql::quoted(sql::pendingName(t))),
        error);
    if (!sample) {
        return error;
    }
    StatementScope scope(*sample);
    sample->bindText(1, matchText);
    sample->bindInt(2, limit);
    if (sample->step() != Statement::Step::Row) {
        return sample->error();
    }
    out.candidates = sample->integer(0);
    out.lastRec = sample->integer(1);
    out.highestRec = sample->integer(2);
    out.waiting = sample->integer(3);
    return {};
}

StoreError SqliteStore::searchPiecesStartingWith(TableId table, const QString& start, int pieceLimit,
                                                  qint64 songLimit, QStringList& pieces, bool& common) {
    pieces.clear();
    common = false;
    const TableDef& t = tableDef(table);
    if (!sql::hasSearchIndex(t)) {
        return StoreError::of(code::kInvalidKey);
    }
    // The index's own list of its pieces, in order, each with the number of songs that hold it:
    // made once for this connection, kept out of the collection.
    const QString terms = QStringLiteral("temp.") + sql::quoted(sql::termsName(t));
    if (StoreError e = m_connection->exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING "
                                                         "fts5vocab(main, %2, 'row')")
                                              .arg(terms, sql::quoted(sql::searchIndexName(t))))) {
        return e;
    }
    StoreError error;
    Statement* list =
        m_connection->cached(QStringLiteral("SELECT term, doc FROM %1 WHERE term >= ?").arg(terms), error);
    if (!list) {
        return error;
    }
    StatementScope scope(*list);
    list->bindText(1, start);
    qint64 songs = 0;
    for (;;) {
        const Statement::Step step = list->step();
        if (step == Statement::Step::Failed) {
            pieces.clear();
            return list->error();
        }
        if (step == Statement::Step::Done) {
            return {};
        }
        const QString term = list->text(0);
        if (!term.startsWith(start)) {
            return {};
        }
        songs += list->integer(1);
        pieces << term;
        if (pieces.size() > pieceLimit || songs > songLimit) {
            pieces.clear();
            common = true;
            return {};
        }
    }
}

} // namespace tunarium
