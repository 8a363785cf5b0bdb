// The server store's record reads: by record number, by key, page walks from a key position,
// counts and the next-number rule, and the plan of a statement.
#include "data/store_pg.h"

#include "data/fold_key.h"
#include "data/schema_sql.h"
#include "data/store_search.h"

#include <QRegularExpression>

namespace tunarium {

namespace {

// A key component's value as the key compares it (see the file store's bindKeyValue).
QVariant keyParam(const TableDef& t, int key, int field, const QVariant& value, bool partial = false,
                  bool backward = false) {
    if (t.field(field).type == FieldType::String) {
        const QString text = trimTrailingBlanks(value.toString());
        if (!t.key(key).caseInsensitive) {
            return text;
        }
        if (partial && backward) {
            return foldKeyPrefix(text) + QString::fromUcs4(U"\U0010FFFF", 1);
        }
        return partial ? foldKeyPrefix(text) : foldKey(text);
    }
    return sql::keyNumber(t, field, value.toLongLong());
}

void readRow(const PgResult& result, int r, TableId table, Row& out) {
    const TableDef& t = tableDef(table);
    if (out.tableId() != table || out.size() != t.fieldCount()) {
        out = Row(table);
    }
    out.meta.rec = result.integer(r, 0);
    out.meta.version = result.integer(r, 1);
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            out.setRaw(i, result.text(r, i + 2));
        } else {
            out.setNumber(i, result.integer(r, i + 2));
        }
    }
}

StoreError readOne(const PgResult& result, const StoreError& error, TableId table, Row& out) {
    if (error) {
        return error;
    }
    if (result.rows() == 0) {
        return StoreError::of(code::kRecordNotFound);
    }
    readRow(result, 0, table, out);
    return {};
}

// The limits' condition (see the file store's limitCondition), with `?` placeholders.
SqlCondition limitCondition(const TableDef& t, int key, const WalkLimits& limits, Direction direction) {
    SqlCondition c;
    const int length = static_cast<int>(std::min<qsizetype>(
        {qsizetype(std::max(limits.rangeLength, 0)), limits.rangeValues.size(), t.key(key).components.size()}));
    if (length > 0) {
        const QStringList cols = sql::keyColumns(t, key).mid(0, length);
        QStringList lhs;
        QStringList marks;
        for (int i = 0; i < length; ++i) {
            lhs << sql::quoted(cols[i]);
            marks << QStringLiteral("?");
            c.binds << keyParam(t, key, t.key(key).components[i], limits.rangeValues[i]);
        }
        c.sql = u'(' + lhs.join(QStringLiteral(", ")) +
                (direction == Direction::Forward ? QStringLiteral(") <= (") : QStringLiteral(") >= (")) +
                marks.join(QStringLiteral(", ")) + u')';
    }
    if (!limits.filter.isEmpty()) {
        c.sql = c.sql.isEmpty() ? limits.filter.sql : u'(' + c.sql + QStringLiteral(") AND (") + limits.filter.sql + u')';
        c.binds += limits.filter.binds;
    }
    return c;
}

// A condition the filter compiler wrote, in the server's dialect: SQLite's instr as strpos, char
// as chr, a REAL as a double; the search in a folded key (tunarium_keyinstr) is the server's own
// function, made with the songs' keys. What only the file's connection can run (the folding of a
// text that no key column holds, the file's search index) is refused.
StoreError serverCondition(const SqlCondition& condition, SqlCondition& out) {
    out = condition;
    if (condition.isEmpty()) {
        return {};
    }
    static const QRegularExpression fileOnly(QStringLiteral("\\btunarium_(?!keyinstr\\()\\w+\\s*\\(|\\bMATCH\\b"));
    static const QRegularExpression instr(QStringLiteral("\\binstr\\("));
    static const QRegularExpression chr(QStringLiteral("\\bchar\\("));
    static const QRegularExpression real(QStringLiteral("\\bAS REAL\\)"));
    QString text;
    text.reserve(condition.sql.size() + 16);
    // Only what stands outside quotes (names and literals stay as they are).
    qsizetype at = 0;
    while (at < condition.sql.size()) {
        qsizetype next = at;
        while (next < condition.sql.size() && condition.sql[next] != u'\'' && condition.sql[next] != u'"') {
            ++next;
        }
        QString plain = condition.sql.mid(at, next - at);
        if (fileOnly.match(plain).hasMatch()) {
            return StoreError::driver(0, QStringLiteral("This filter is not available on a collection on a server: it "
                                                        "compares the case-folded text of a field that no key holds"));
        }
        plain.replace(instr, QStringLiteral("strpos("));
        plain.replace(chr, QStringLiteral("chr("));
        plain.replace(real, QStringLiteral("AS DOUBLE PRECISION)"));
        text += plain;
        if (next >= condition.sql.size()) {
            break;
        }
        const QChar quote = condition.sql[next];
        qsizetype close = condition.sql.indexOf(quote, next + 1);
        close = close < 0 ? condition.sql.size() - 1 : close;
        text += condition.sql.mid(next, close - next + 1);
        at = close + 1;
    }
    out.sql = text;
    return {};
}

// The pieces of a match text (searchMatchText: every piece quoted, a quote doubled).
QStringList matchPieces(const QString& matchText) {
    QStringList pieces;
    for (qsizetype at = matchText.indexOf(u'"'); at >= 0 && at < matchText.size();) {
        QString piece;
        qsizetype i = at + 1;
        for (; i < matchText.size(); ++i) {
            if (matchText[i] == u'"') {
                if (i + 1 < matchText.size() && matchText[i + 1] == u'"') {
                    piece += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            piece += matchText[i];
        }
        pieces << piece;
        at = matchText.indexOf(u'"', i + 1);
    }
    return pieces;
}

// A piece as a LIKE pattern that finds it anywhere.
QString containsPattern(const QString& piece) {
    QString escaped = piece;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'%', QStringLiteral("\\%"));
    escaped.replace(u'_', QStringLiteral("\\_"));
    return u'%' + escaped + u'%';
}

// A walk's statement from `from` with its values, its placeholders numbered from `firstMark`.
struct WalkStatement {
    QString sql;
    QVector<QVariant> params;
};

WalkStatement walkStatement(const TableDef& t, int key, const KeyPosition& from, Direction direction, bool inclusive,
                            int limit, const SqlCondition& extra, int firstMark = 1) {
    const KeyDef& k = t.key(key);
    const int prefix = static_cast<int>(std::min<qsizetype>(from.values.size(), k.components.size()));
    const bool tie = from.hasRec && prefix == k.components.size() && sql::keyHasTieBreaker(t, key);
    WalkStatement w;
    for (int i = 0; i < prefix; ++i) {
        w.params << keyParam(t, key, k.components[i], from.values[i], from.partialText && i == prefix - 1,
                             direction == Direction::Backward);
    }
    if (tie) {
        w.params << from.rec;
    }
    w.params += extra.binds;
    w.params << limit;
    w.sql = pgsql::walkSql(t, key, prefix, tie, direction, inclusive, extra.sql, firstMark);
    return w;
}

} // namespace

StoreError PgStore::fetch(TableId table, qint64 rec, Row& out) {
    StoreError e;
    PgResult r =
        m_connection->runOften(pgsql::selectRecordSql(tableDef(table)) + QStringLiteral(" WHERE \"_rec\" = $1"), {rec}, e);
    return readOne(r, e, table, out);
}

StoreError PgStore::fetchAtOrAfter(TableId table, qint64 rec, Row& out) {
    StoreError e;
    PgResult r = m_connection->run(
        pgsql::selectRecordSql(tableDef(table)) + QStringLiteral(" WHERE \"_rec\" >= $1 ORDER BY \"_rec\" LIMIT 1"), {rec}, e);
    return readOne(r, e, table, out);
}

StoreError PgStore::recordRange(TableId table, qint64& first, qint64& last) {
    first = last = 0;
    const QString name = sql::quoted(tableDef(table).label);
    StoreError e;
    PgResult r = m_connection->run(QStringLiteral("SELECT COALESCE(MIN(\"_rec\"), 0), COALESCE(MAX(\"_rec\"), 0) FROM %1").arg(name),
                                   {}, e);
    if (e) {
        return e;
    }
    first = r.integer(0, 0);
    last = r.integer(0, 1);
    return {};
}

StoreError PgStore::get(TableId table, int key, const QVector<QVariant>& values, Row& out) {
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || values.isEmpty() || values.size() > t.key(key).components.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    const QStringList cols = sql::keyColumns(t, key);
    QStringList conditions;
    if (const QString blank = sql::blankCondition(t, key); !blank.isEmpty()) {
        conditions << blank;
    }
    QVector<QVariant> params;
    for (int i = 0; i < values.size(); ++i) {
        conditions << sql::quoted(cols[i]) + QStringLiteral(" = $%1").arg(i + 1);
        params << keyParam(t, key, t.key(key).components[i], values[i]);
    }
    QStringList order;
    for (const QString& c : cols) {
        order << sql::quoted(c);
    }
    StoreError e;
    PgResult r = m_connection->run(pgsql::selectRecordSql(t) + QStringLiteral(" WHERE ") +
                                       conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY ") +
                                       order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1"),
                                   params, e);
    return readOne(r, e, table, out);
}

StoreError PgStore::read(TableId table, int key, const KeyPosition& from, Direction direction, bool inclusive,
                         int limit, QVector<Row>& out, const WalkLimits& limits) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    WalkLimits onServer = limits;
    if (StoreError e = serverCondition(limits.filter, onServer.filter)) {
        return e;
    }
    const SqlCondition extra = limits.isEmpty() ? SqlCondition{} : limitCondition(t, key, onServer, direction);
    const std::shared_ptr<WalkWatch> watch = extra.isEmpty() ? nullptr : m_watch;
    if (watch && watch->cancelled()) {
        return StoreError::driver(0, QStringLiteral("The read was cancelled"));
    }
    const auto [text, params] = walkStatement(t, key, from, direction, inclusive, limit, extra);
    // A read of no records only tries the statement (a list's view opening); one that ran on this
    // connection before needs no round trip to tell it runs.
    if (limit == 0 && m_provenReads.contains(text)) {
        return {};
    }
    StoreError e;
    // A page of a key has one best plan whatever its position; a filter's may hang on its values.
    PgResult r = extra.isEmpty() ? m_connection->runOften(text, params, e) : m_connection->run(text, params, e);
    if (e) {
        return e;
    }
    if (m_provenReads.size() >= kProvenReadsKept) {
        m_provenReads.clear();
    }
    m_provenReads.insert(text);
    out.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i) {
        Row row;
        readRow(r, i, table, row);
        out.push_back(std::move(row));
    }
    if (watch) {
        watch->setWalked(watch->walked() + r.rows());
    }
    return {};
}

StoreError PgStore::readEnds(TableId table, int key, const KeyPosition& from, const WalkLimits& limits,
                             QVector<Row>& first, QVector<Row>& last) {
    first.clear();
    last.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    if (!limits.filter.isEmpty()) {
        // A filter's first and last match: two walks, each with a plan of its own.
        return Store::readEnds(table, key, from, limits, first, last);
    }
    QVector<QVariant> params;
    QStringList ends;
    for (const Direction direction : {Direction::Forward, Direction::Backward}) {
        const SqlCondition extra = limits.isEmpty() ? SqlCondition{} : limitCondition(t, key, limits, direction);
        const WalkStatement walk =
            walkStatement(t, key, from, direction, true, 1, extra, static_cast<int>(params.size()) + 1);
        params += walk.params;
        ends << QStringLiteral("SELECT *, %1 AS \"_end\" FROM (%2) end%1")
                    .arg(direction == Direction::Forward ? 0 : 1)
                    .arg(walk.sql);
    }
    StoreError e;
    PgResult r = m_connection->runOften(ends.join(QStringLiteral(" UNION ALL ")), params, e);
    if (e) {
        return e;
    }
    const int endColumn = t.fieldCount() + 2;
    for (int i = 0; i < r.rows(); ++i) {
        Row row;
        readRow(r, i, table, row);
        (r.integer(i, endColumn) == 0 ? first : last).push_back(std::move(row));
    }
    return {};
}

StoreError PgStore::readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out) {
    out.clear();
    StoreError e;
    PgResult r = m_connection->run(
        pgsql::selectRecordSql(tableDef(table)) + QStringLiteral(" WHERE \"_rec\" > $1 ORDER BY \"_rec\" LIMIT $2"),
        {afterRec, limit}, e);
    if (e) {
        return e;
    }
    for (int i = 0; i < r.rows(); ++i) {
        Row row;
        readRow(r, i, table, row);
        out.push_back(std::move(row));
    }
    return {};
}

QString PgStore::walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                          bool inclusive, const WalkLimits& limits) const {
    const TableDef& t = tableDef(table);
    WalkLimits onServer = limits;
    (void)serverCondition(limits.filter, onServer.filter);
    return pgsql::walkSql(t, key, prefixLength, withRecord, direction, inclusive,
                          limitCondition(t, key, onServer, direction).sql);
}

KeyPosition PgStore::positionOf(const Row& row, int key) const {
    KeyPosition p;
    for (int field : row.table().key(key).components) {
        p.values << row.value(field);
    }
    p.rec = row.meta.rec;
    p.hasRec = true;
    return p;
}

qint64 PgStore::count(TableId table) {
    StoreError e;
    PgResult r =
        m_connection->runOften(QStringLiteral("SELECT n FROM \"_counts\" WHERE label = $1"), {tableDef(table).label}, e);
    return !e && r.rows() > 0 ? r.integer(0, 0) : 0;
}

StoreError PgStore::countUpTo(TableId table, const SqlCondition& asWritten, qint64 limit, qint64& out) {
    out = 0;
    SqlCondition condition;
    if (StoreError e = serverCondition(asWritten, condition)) {
        return e;
    }
    QString text = QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM ") + sql::quoted(tableDef(table).label);
    if (!condition.isEmpty()) {
        text += QStringLiteral(" WHERE ") + condition.sql;
    }
    text += QStringLiteral(" LIMIT ?) counted");
    QVector<QVariant> params = condition.binds;
    params << limit;
    StoreError e;
    PgResult r = m_connection->run(numberedPlaceholders(text), params, e);
    if (e) {
        return e;
    }
    out = r.integer(0, 0);
    return {};
}

StoreError PgStore::countInRecordSpan(TableId table, const SqlCondition& asWritten, qint64 afterRec, qint64 throughRec,
                                      qint64& out) {
    out = 0;
    SqlCondition condition;
    if (StoreError e = serverCondition(asWritten, condition)) {
        return e;
    }
    QString text = QStringLiteral("SELECT COUNT(*) FROM ") + sql::quoted(tableDef(table).label) +
                   QStringLiteral(" WHERE \"_rec\" > ? AND \"_rec\" <= ?");
    if (!condition.isEmpty()) {
        text += QStringLiteral(" AND (") + condition.sql + u')';
    }
    QVector<QVariant> params{afterRec, throughRec};
    params += condition.binds;
    StoreError e;
    PgResult r = m_connection->run(numberedPlaceholders(text), params, e);
    if (e) {
        return e;
    }
    out = r.integer(0, 0);
    return {};
}

SqlCondition PgStore::searchCandidates(TableId table, const QString& matchText, bool alongWalk) const {
    // The server's planner weighs the index against a walk of the key by itself.
    (void)alongWalk;
    const TableDef& t = tableDef(table);
    SqlCondition c;
    QStringList each;
    for (const QString& piece : matchPieces(matchText)) {
        each << pgsql::searchWordsSql(t) + QStringLiteral(" LIKE ?");
        c.binds << containsPattern(piece);
    }
    c.sql = each.isEmpty() ? QString() : u'(' + each.join(QStringLiteral(" AND ")) + u')';
    return c;
}

QString PgStore::searchWordMatch(const QString& foldedWord) const {
    return searchMatchText({foldedWord});
}

SqlCondition PgStore::keyRangeCandidates(TableId table, int key, qint64 low, qint64 high) const {
    return keyRangeCondition(tableDef(table), key, low, high);
}

StoreError PgStore::sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit, SearchSample& out) {
    out = {};
    const TableDef& t = tableDef(table);
    if (!sql::hasSearchIndex(t)) {
        return StoreError::of(code::kInvalidKey);
    }
    const SqlCondition candidates = searchCandidates(table, matchText, false);
    const QString name = sql::quoted(t.label);
    QVector<QVariant> params = candidates.binds;
    params << limit;
    StoreError e;
    PgResult r = m_connection->run(
        numberedPlaceholders(QStringLiteral("SELECT COUNT(*), COALESCE(MAX(r), 0), (SELECT COALESCE(MAX(\"_rec\"), 0) "
                                            "FROM %1) FROM (SELECT \"_rec\" AS r FROM %1 WHERE %2 LIMIT ?) sampled")
                                 .arg(name, candidates.isEmpty() ? QStringLiteral("TRUE") : candidates.sql)),
        params, e);
    if (e) {
        return e;
    }
    // The server's index holds every song at once: none waits.
    out.candidates = r.integer(0, 0);
    out.lastRec = r.integer(0, 1);
    out.highestRec = r.integer(0, 2);
    return {};
}

StoreError PgStore::nextNumber(TableId table, qint64& out) {
    const TableDef& t = tableDef(table);
    if (t.primaryKey < 0 || t.key(t.primaryKey).components.size() != 1) {
        return StoreError::of(code::kInvalidKey);
    }
    QVector<Row> last;
    if (StoreError e = read(table, t.primaryKey, {}, Direction::Backward, true, 1, last)) {
        return e;
    }
    const int field = t.key(t.primaryKey).components.first();
    const qint64 highest = last.isEmpty() ? 0 : last.first().number(field);
    out = std::max<qint64>(highest, 0) + 1;
    if (out > t.field(field).maxValue()) {
        return StoreError::driver(0, QStringLiteral("No numbers are left for %1").arg(t.qualifiedField(field)));
    }
    return {};
}

QStringList PgStore::explainQueryPlan(const QString& sqlText) {
    QStringList lines;
    StoreError e;
    const QString name = QStringLiteral("tunarium_explained");
    m_connection->discardPrepared();
    if ((e = m_connection->exec(QStringLiteral("PREPARE %1 AS %2").arg(name, numberedPlaceholders(sqlText))))) {
        return {e.describe()};
    }
    PgResult types = m_connection->run(
        QStringLiteral("SELECT unnest(parameter_types)::text FROM pg_prepared_statements WHERE name = $1"), {name}, e);
    QStringList values;
    for (int r = 0; r < types.rows(); ++r) {
        const QString type = types.text(r, 0);
        values << (type == QLatin1String("text") || type.startsWith(QLatin1String("character"))
                       ? QStringLiteral("'m'")
                       : QStringLiteral("50"));
    }
    PgResult plan = m_connection->run(
        QStringLiteral("EXPLAIN EXECUTE %1").arg(name) + (values.isEmpty() ? QString() : u'(' + values.join(u',') + u')'), {}, e);
    for (int r = 0; r < plan.rows(); ++r) {
        lines << plan.text(r, 0);
    }
    m_connection->exec(QStringLiteral("DEALLOCATE ") + name);
    if (e) {
        lines << e.describe();
    }
    return lines;
}

} // namespace tunarium
