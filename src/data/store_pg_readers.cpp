// The server store's readers on snapshots of their own (the survey's grouped counts, the duplicate
// search's slices), its bulk rewrites and its maintenance.
#include "data/store_pg.h"

#include "data/date_time.h"
#include "data/fold_key.h"
#include "data/records.h"
#include "data/schema_sql.h"

#include <algorithm>

namespace tunarium {

namespace {

// A connection of a reader's own on the store's server, its snapshot begun.
StoreError openSnapshot(const Store& store, std::unique_ptr<PgConnection>& connection) {
    connection = std::make_unique<PgConnection>();
    if (!store.isOpen()) {
        return StoreError::of(code::kNotOpen);
    }
    if (StoreError e = connection->open(store.directory())) {
        return e;
    }
    return connection->beginRead();
}

qint64 uncounted(qint64 total, qint64 counted) {
    return total > counted ? total - counted : 0;
}

} // namespace

PgSurvey::PgSurvey(const Store& store) {
    m_error = openSnapshot(store, m_connection);
}

PgSurvey::~PgSurvey() {
    m_connection->rollback();
}

StoreError PgSurvey::count(TableId table, qint64& out) {
    out = 0;
    if (m_error) {
        return m_error;
    }
    StoreError e;
    PgResult r = m_connection->run(QStringLiteral("SELECT n FROM \"_counts\" WHERE label = $1"), {tableDef(table).label}, e);
    if (e) {
        return e;
    }
    if (r.rows() == 0) {
        return StoreError::of(code::kRecordNotFound);
    }
    out = r.integer(0, 0);
    return {};
}

StoreError PgSurvey::countsByNumber(TableId table, int key, QVector<ValueCount>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || t.field(t.key(key).components.first()).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    qint64 total = 0;
    if (StoreError e = count(table, total)) {
        return e;
    }
    const QString column = sql::quoted(sql::keyColumns(t, key).first());
    const QString blank = sql::blankCondition(t, key);
    StoreError e;
    PgResult r = m_connection->run(QStringLiteral("SELECT %1, COUNT(*) FROM %2%3 GROUP BY %1 ORDER BY %1")
                                       .arg(column, sql::quoted(t.label),
                                            blank.isEmpty() ? QString() : QStringLiteral(" WHERE ") + blank),
                                   {}, e);
    if (e) {
        return e;
    }
    QVector<ValueCount> counted;
    for (int i = 0; i < r.rows(); ++i) {
        counted.push_back({r.integer(i, 0), r.integer(i, 1)});
    }
    if (t.field(t.key(key).components.first()).mayHoldBareYear) {
        for (ValueCount& v : counted) {
            v.value = releaseFromOrderValue(v.value);
        }
        std::stable_sort(counted.begin(), counted.end(), [](const ValueCount& a, const ValueCount& b) { return a.value < b.value; });
    }
    qint64 sum = 0;
    for (const ValueCount& v : counted) {
        sum += v.count;
    }
    qint64 blanks = blank.isEmpty() ? 0 : uncounted(total, sum);
    for (const ValueCount& v : counted) {
        if (blanks > 0 && v.value >= 0) {
            if (v.value == 0) {
                out.push_back({0, v.count + blanks});
                blanks = 0;
                continue;
            }
            out.push_back({0, blanks});
            blanks = 0;
        }
        out.push_back(v);
    }
    if (blanks > 0) {
        out.push_back({0, blanks});
    }
    return {};
}

StoreError PgSurvey::countsByText(TableId table, int key, int limit, QVector<TextCount>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || !t.field(t.key(key).components.first()).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    qint64 total = 0;
    if (StoreError e = count(table, total)) {
        return e;
    }
    const QString keyColumn = sql::quoted(sql::keyColumns(t, key).first());
    const QString textColumn = sql::quoted(sql::fieldColumn(t, t.key(key).components.first()));
    const QString blank = sql::blankCondition(t, key);
    // One spelling of each folded text beside its count: the first record's, in record order.
    StoreError e;
    PgResult r = m_connection->run(
        QStringLiteral("SELECT %1, COUNT(*) AS n, (array_agg(%2 ORDER BY \"_rec\"))[1] FROM %3%4 GROUP BY %1 "
                       "ORDER BY n DESC, %1 LIMIT $1")
            .arg(keyColumn, textColumn, sql::quoted(t.label), blank.isEmpty() ? QString() : QStringLiteral(" WHERE ") + blank),
        {limit > 0 ? QVariant(limit) : QVariant()}, e);
    if (e) {
        return e;
    }
    qint64 sum = 0;
    for (int i = 0; i < r.rows(); ++i) {
        out.push_back({r.text(i, 2), r.integer(i, 1)});
        sum += r.integer(i, 1);
    }
    if (!blank.isEmpty() && (limit <= 0 || out.size() < limit)) {
        if (const qint64 blanks = uncounted(total, sum); blanks > 0) {
            out.push_back({QString(), blanks});
        }
    }
    return {};
}

StoreError PgSurvey::namesByNumber(TableId table, int numberField, int textField, QHash<qint64, QString>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (numberField < 0 || numberField >= t.fieldCount() || textField < 0 || textField >= t.fieldCount()) {
        return StoreError::of(code::kInvalidKey);
    }
    StoreError e;
    PgResult r = m_connection->run(QStringLiteral("SELECT %1, %2 FROM %3")
                                       .arg(sql::quoted(sql::fieldColumn(t, numberField)),
                                            sql::quoted(sql::fieldColumn(t, textField)), sql::quoted(t.label)),
                                   {}, e);
    if (e) {
        return e;
    }
    for (int i = 0; i < r.rows(); ++i) {
        out.insert(r.integer(i, 0), r.text(i, 1));
    }
    return {};
}

namespace {

QString sliceSql(TableId table, std::initializer_list<int> fields) {
    const TableDef& t = tableDef(table);
    QStringList cols{sql::quoted(sql::kRecColumn)};
    for (int f : fields) {
        cols << sql::quoted(sql::fieldColumn(t, f));
    }
    return QStringLiteral("SELECT %1 FROM %2 WHERE \"_rec\" > $1 ORDER BY \"_rec\" LIMIT $2")
        .arg(cols.join(QStringLiteral(", ")), sql::quoted(t.label));
}

} // namespace

PgDuplicateReader::PgDuplicateReader(const Store& store) {
    m_error = openSnapshot(store, m_connection);
}

PgDuplicateReader::~PgDuplicateReader() {
    m_connection->rollback();
}

StoreError PgDuplicateReader::songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out) {
    out.clear();
    if (m_error) {
        return m_error;
    }
    StoreError e;
    PgResult r = m_connection->run(sliceSql(TableId::Tunarium, {tun::kArtist, tun::kTitle, tun::kFileNumber, tun::kAlbumId,
                                                                tun::kSide, tun::kTrackNumber}),
                                   {afterRec, limit}, e);
    for (int i = 0; i < r.rows(); ++i) {
        out.push_back({r.integer(i, 0), r.text(i, 1), r.text(i, 2), r.text(i, 3), r.integer(i, 4), r.integer(i, 5),
                       r.integer(i, 6)});
    }
    return e;
}

StoreError PgDuplicateReader::albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out) {
    out.clear();
    if (m_error) {
        return m_error;
    }
    StoreError e;
    PgResult r = m_connection->run(sliceSql(TableId::Album, {alb::kCdIdentifier, alb::kXccd, alb::kAssociatedWavFile}),
                                   {afterRec, limit}, e);
    for (int i = 0; i < r.rows(); ++i) {
        out.push_back({r.integer(i, 0), r.text(i, 1), r.text(i, 2), r.text(i, 3)});
    }
    return e;
}

PgBulk::PgBulk(PgConnection& connection) : m_connection(connection) {}

StoreError PgBulk::daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec, qint64& changed) {
    changed = 0;
    const TableDef& t = tableDef(table);
    if (field < 0 || field >= t.fieldCount() || t.field(field).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    const QString column = sql::quoted(sql::fieldColumn(t, field));
    // Day numbers count the days since 1800-12-28.
    const QString year = QStringLiteral("EXTRACT(YEAR FROM DATE '1800-12-28' + %1::integer)::bigint").arg(column);
    StoreError e;
    PgResult r = m_connection.run(
        QStringLiteral("UPDATE %1 SET %2 = %3, \"_version\" = \"_version\" + 1 WHERE \"_rec\" > $3 AND \"_rec\" <= $4 "
                       "AND %2 > $1 AND %2 <= $2 AND %3 < $1")
            .arg(sql::quoted(t.label), column, year),
        {qint64(kBareYearLimit), qint64(kLastDayNumber), afterRec, throughRec}, e);
    if (e) {
        return e;
    }
    changed = r.changed();
    m_connection.addOwnChanges(changed);
    return {};
}

StoreError PgBulk::fileSongsUnderAlbums(qint64 afterRec, qint64 throughRec, const QString& compilationArtist,
                                        AlbumFiling& filed) {
    filed = {};
    const QString various = foldKey(compilationArtist);
    return m_connection.transact([&]() -> StoreError {
        filed.failedTable = TableId::Album;
        StoreError e;
        // The album count's row is held to the end: stations making albums take turns, and the
        // numbers read next stay theirs.
        PgResult numbers = m_connection.run(
            QStringLiteral("UPDATE \"_counts\" SET \"lastRec\" = GREATEST(\"lastRec\", (SELECT COALESCE(MAX(\"_rec\"), "
                           "0) FROM \"Album\")) WHERE label = 'Album' RETURNING \"lastRec\", (SELECT "
                           "GREATEST(COALESCE(MAX(\"AlbumID\"), 0), 0) FROM \"Album\" WHERE \"AlbumID\" <> 0)"),
            {}, e);
        if (e) {
            return e;
        }
        if (numbers.rows() != 1) {
            return StoreError::of(code::kFileNotFound);
        }
        const qint64 lastRec = numbers.integer(0, 0);
        const qint64 highestId = numbers.integer(0, 1);
        // As on the file: each album title and artist of the range once, with its first song's
        // facts, made unless an album is there or the compilation's album of its title comes first.
        const QString waiting = QStringLiteral(
            "s.\"_rec\" > $1 AND s.\"_rec\" <= $2 AND s.\"AlbumID\" = 0 AND s.\"AlbumKey\" <> ''");
        const QString kept = QStringLiteral("(a.\"AlbumKey\" <> '' OR a.\"ArtistKey\" <> '')");
        PgResult made = m_connection.run(
            QStringLiteral(
                "INSERT INTO \"Album\" (\"_rec\", \"_version\", \"AlbumID\", \"Artist\", \"Album\", \"Media\", "
                "\"FileNumber\", \"ReleaseDate\", \"CategoryID\", \"Notes\", \"ArtistKey\", \"AlbumKey\", "
                "\"MediaKey\", \"FileNumberKey\") "
                "SELECT $4::bigint + n, 0, $5::bigint + n, \"Artist\", \"Album\", \"Media\", \"FileNumber\", "
                "\"ReleaseDate\", \"CategoryID\", \"Notes\", \"ArtistKey\", \"AlbumKey\", \"MediaKey\", "
                "\"FileNumberKey\" FROM (SELECT row_number() OVER (ORDER BY g.first) AS n, g.* FROM ("
                "SELECT f.*, MIN(CASE WHEN f.\"ArtistKey\" = $3 THEN f.first END) OVER (PARTITION BY "
                "f.\"AlbumKey\") AS compilation_first FROM (SELECT DISTINCT ON (s.\"AlbumKey\", s.\"ArtistKey\") "
                "s.\"_rec\" AS first, s.\"Artist\", s.\"Album\", s.\"Media\", s.\"FileNumber\", s.\"ReleaseDate\", "
                "s.\"CategoryID\", s.\"Notes\", s.\"ArtistKey\", s.\"AlbumKey\", s.\"MediaKey\", s.\"FileNumberKey\" "
                "FROM \"Tunarium\" s WHERE %1 ORDER BY s.\"AlbumKey\", s.\"ArtistKey\", s.\"_rec\") f) g "
                "WHERE (g.compilation_first IS NULL OR g.first <= g.compilation_first) AND NOT EXISTS (SELECT 1 "
                "FROM \"Album\" a WHERE a.\"AlbumKey\" = g.\"AlbumKey\" AND a.\"ArtistKey\" IN (g.\"ArtistKey\", "
                "$3) AND %2)) h ORDER BY n")
                .arg(waiting, kept),
            {afterRec, throughRec, various, lastRec, highestId}, e);
        if (e) {
            return e;
        }
        filed.albumsMade = made.changed();
        const FieldDef& id = tableDef(TableId::Album).field(alb::kAlbumId);
        if (highestId + filed.albumsMade > id.maxValue()) {
            return StoreError::driver(0, QStringLiteral("No numbers are left for ALB:AlbumID"));
        }
        if (filed.albumsMade > 0) {
            m_connection.run(QStringLiteral("UPDATE \"_counts\" SET \"lastRec\" = $1 WHERE label = 'Album'"),
                             {lastRec + filed.albumsMade}, e);
            if (e) {
                return e;
            }
        }
        filed.failedTable = TableId::Tunarium;
        PgResult linked = m_connection.run(
            QStringLiteral(
                "UPDATE \"Tunarium\" t SET \"AlbumID\" = f.id, \"_version\" = t.\"_version\" + 1 FROM (SELECT "
                "s.\"_rec\" AS rec, COALESCE((SELECT a.\"AlbumID\" FROM \"Album\" a WHERE a.\"AlbumKey\" = "
                "s.\"AlbumKey\" AND a.\"ArtistKey\" = s.\"ArtistKey\" AND %2), (SELECT a.\"AlbumID\" FROM \"Album\" a "
                "WHERE a.\"AlbumKey\" = s.\"AlbumKey\" AND a.\"ArtistKey\" = $3 AND %2), 0) AS id FROM \"Tunarium\" s "
                "WHERE %1) f WHERE t.\"_rec\" = f.rec AND f.id <> 0")
                .arg(waiting, kept),
            {afterRec, throughRec, various}, e);
        if (e) {
            return e;
        }
        filed.songsLinked = linked.changed();
        m_connection.addOwnChanges(filed.albumsMade + filed.songsLinked);
        return {};
    });
}

PgMaintenance::PgMaintenance(PgStore& store, PgConnection& connection) : m_store(store), m_connection(connection) {}

bool PgMaintenance::checkTable(TableId table, FileCheck depth, QStringList& findings) {
    const TableDef& t = tableDef(table);
    StoreError e;
    PgResult r = m_connection.run(QStringLiteral("SELECT (SELECT COUNT(*) FROM %1), (SELECT n FROM \"_counts\" WHERE label = $1)")
                                      .arg(sql::quoted(t.label)),
                                  {t.label}, e);
    if (e) {
        findings << e.describe();
        return false;
    }
    if (r.integer(0, 0) != r.integer(0, 1)) {
        findings << QStringLiteral("%1 holds %2 records; its count says %3").arg(t.label).arg(r.integer(0, 0)).arg(r.integer(0, 1));
    }
    if (depth == FileCheck::Full) {
        if (const StoreError keys = m_store.schema().checkKeys(table)) {
            findings << QStringLiteral("The keys of %1: %2").arg(t.label, keys.describe());
        }
    }
    if (m_tick) {
        m_tick();
    }
    return findings.isEmpty();
}

bool PgMaintenance::checkFileByTable(FileCheck depth, QList<CheckFinding>& findings) {
    bool sound = true;
    for (const TableDef& t : allTables()) {
        if (m_store.schema().tableState(t.id) == TableState::Missing) {
            continue;
        }
        QStringList found;
        if (!checkTable(t.id, depth, found)) {
            sound = false;
            for (const QString& text : found) {
                findings.push_back({t.label, text});
            }
        }
    }
    return sound;
}

bool PgMaintenance::checkFile(FileCheck depth, QStringList* problems) {
    QList<CheckFinding> findings;
    const bool sound = checkFileByTable(depth, findings);
    if (problems) {
        for (const CheckFinding& f : findings) {
            *problems << f.text;
        }
    }
    return sound;
}

StoreError PgMaintenance::checkSearchIndex(TableId table, bool& inStep) {
    (void)table;
    inStep = true;
    return {};
}

StoreError PgMaintenance::restoreFrom(const QString& path, const std::function<StoreError()>& beforeWriting) {
    (void)path;
    (void)beforeWriting;
    return StoreError::driver(0, QStringLiteral("A server collection is not yet restored from a file"));
}

StoreError PgMaintenance::compact() {
    if (m_connection.depth() > 0) {
        return StoreError::driver(0, QStringLiteral("The collection cannot be compacted inside a transaction"));
    }
    return m_connection.exec(QStringLiteral("VACUUM (ANALYZE)"));
}

} // namespace tunarium
