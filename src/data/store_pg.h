// The store over a PostgreSQL server, the second implementation of the store's interface: stations
// on several machines sharing one collection. PgStore works on one connection to the server's
// database (store_pg_connection.h); the tables, keys and counts are those of the dictionary, as
// the SQLite store keeps them: every text column in the "C" collation (the order of the file's
// keys), the folded key columns written by the store, keys as indexes over them (partial where a
// key leaves blank records out), the record number as every index's tie-breaker, and the count of
// every table kept beside it by statement triggers.
//
// Stations: each statement runs READ COMMITTED; a rewrite checks the record's version in its own
// WHERE clause, so that of two stations that read the same version the second finds it changed
// (89) once the first commits, on any machine. Where the relation rules read and then write (a
// parent's delete restricted or cascaded by its children), the parent is locked first (holdRecord)
// and every write of a child takes a share lock on the parents it names: a child cannot be added
// under a parent while its delete is being decided, and the decision reads every child committed
// before it. Row locks rather than SERIALIZABLE, because every insert and delete also moves its
// table's count and last record number, which would make any two writers of a table a serialization
// failure. Locks wait at most 2 seconds (lock_timeout; then 32, as a file locked).
//
// Only the data room names these classes; makeStore makes them for a server's address.
#pragma once

#include "data/store.h"
#include "data/store_copy.h"
#include "data/store_duplicates.h"
#include "data/store_pg_connection.h"
#include "data/store_survey.h"

#include <QSet>

#include <array>
#include <memory>

namespace tunarium {

class PgStore;
class SqliteStore;

class PgSchema final : public StoreSchema {
public:
    explicit PgSchema(PgConnection& connection);

    TableState tableState(TableId table) override;
    int storedVersion(TableId table) override;
    StoreError createTable(TableId table) override;
    // Brings outdated or damaged keys back (refolded and made again); a table laid out by an
    // earlier version is refused: no earlier version kept a collection on a server.
    StoreError upgradeTable(TableId table) override;
    StoreError rebuildKeys(TableId table) override;
    StoreError beginBulkLoad(TableId table) override;
    StoreError endBulkLoad(TableId table) override;
    StoreError checkKeys(TableId table) override;
    StoreError backupTo(const QString& path) override;
    StoreError makeBackup(const QString& reason, int keep = 5,
                          const std::function<void(double)>& progress = {}) override;

private:
    friend class PgStore;

    // Reads which tables, indexes and triggers the database holds.
    StoreError load();
    bool hasCollectionTables() const;
    // Makes an empty database a collection: the structure and count tables, the trigger functions.
    StoreError initialize();
    StoreError makeKeys(const TableDef& t);
    // The extension pg_trgm and the search's function, made when the server lacks them; refused
    // with what to install when the server has no pg_trgm.
    StoreError makeSearchSupport();
    StoreError dropKeys(const TableDef& t);
    StoreError refold(const TableDef& t);
    StoreError setStructure(const TableDef& t);
    int structureNumber(const QString& label);

    PgConnection& m_connection;
    QSet<QString> m_tables;
    QSet<QString> m_indexes;
    QSet<QString> m_triggers;
    // A table's columns as the server lays them out: "name type, ..." (see columnsSignature).
    QHash<QString, QString> m_columns;
};

class PgMaintenance final : public StoreMaintenance {
public:
    explicit PgMaintenance(PgStore& store, PgConnection& connection);

    // Every table's count against its records (the server keeps its own files sound).
    bool checkFile(FileCheck depth, QStringList* problems = nullptr) override;
    bool checkFileByTable(FileCheck depth, QList<CheckFinding>& findings) override;
    bool checkTable(TableId table, FileCheck depth, QStringList& findings) override;
    StoreError checkSearchIndex(TableId table, bool& inStep) override;
    StoreError restoreFrom(const QString& path, const std::function<StoreError()>& beforeWriting = {}) override;
    // VACUUM of every table.
    StoreError compact() override;
    StoreError releaseLog() override { return {}; }
    void setProgress(std::function<void()> tick) override { m_tick = std::move(tick); }

private:
    PgStore& m_store;
    PgConnection& m_connection;
    std::function<void()> m_tick;
};

class PgBulk final : public StoreBulk {
public:
    explicit PgBulk(PgConnection& connection);
    StoreError daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec, qint64& changed) override;
    StoreError fileSongsUnderAlbums(qint64 afterRec, qint64 throughRec, const QString& compilationArtist,
                                    AlbumFiling& filed) override;

private:
    PgConnection& m_connection;
};

// The server writes its own log; nothing is left for the program to copy.
class PgLog final : public StoreLog {
public:
    int uncopiedPages() const override { return 0; }
    StoreError checkpoint(int& copied) override {
        copied = 0;
        return {};
    }
    double lastCommitCheckpointMs() const override { return 0; }
};

class PgSurvey final : public StoreSurvey {
public:
    explicit PgSurvey(const Store& store);
    ~PgSurvey() override;

    const StoreError& error() const override { return m_error; }
    StoreError count(TableId table, qint64& out) override;
    StoreError countsByNumber(TableId table, int key, QVector<ValueCount>& out) override;
    StoreError countsByText(TableId table, int key, int limit, QVector<TextCount>& out) override;
    StoreError namesByNumber(TableId table, int numberField, int textField, QHash<qint64, QString>& out) override;

private:
    std::unique_ptr<PgConnection> m_connection;
    StoreError m_error;
};

class PgDuplicateReader final : public DuplicateReader {
public:
    explicit PgDuplicateReader(const Store& store);
    ~PgDuplicateReader() override;

    const StoreError& error() const override { return m_error; }
    StoreError songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out) override;
    StoreError albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out) override;

private:
    std::unique_ptr<PgConnection> m_connection;
    StoreError m_error;
};

class PgStore final : public Store {
public:
    PgStore();
    ~PgStore() override;

    // Opens the collection in the database `location` names (a connection string or URL). A
    // database that holds no collection is refused (36: tunarium-cli server init makes one), as is
    // one with other tables in it; one laid out by a newer version gives 47.
    StoreError open(const QString& location) override;
    // Makes the collection in an empty database: the structure and count tables and every table
    // of the dictionary with its keys; a database with a collection or other tables is refused.
    StoreError initialize(const QString& location);
    void close() override;
    bool isOpen() const override { return m_connection->isOpen(); }
    bool isReadOnly() const override { return false; }
    StoreError writeRefusal() const override { return {}; }
    // The address the store was opened with (a location for makeStore), and the server as messages
    // name it.
    QString directory() const override { return m_connection->location(); }
    QString filePath() const override { return m_connection->label(); }

    StoreSchema& schema() override { return m_schema; }
    StoreMaintenance& maintenance() override { return m_maintenance; }
    StoreBulk& bulk() override { return m_bulk; }
    StoreLog& log() override { return m_log; }
    std::unique_ptr<StoreSurvey> openSurvey() const override;
    std::unique_ptr<DuplicateReader> openDuplicateReader() const override;

    StoreError openTable(TableId table) override;
    void closeTable(TableId table) override;
    int openCount(TableId table) const override { return m_openCounts[static_cast<int>(table)]; }

    using Store::get;
    using Store::insert;
    using Store::remove;
    using Store::update;
    StoreError insert(Row& row) override;
    StoreError update(Row& row) override;
    StoreError remove(const Row& row) override;
    StoreError holdRecord(TableId table, qint64 rec) override;
    StoreError fetch(TableId table, qint64 rec, Row& out) override;
    StoreError fetchAtOrAfter(TableId table, qint64 rec, Row& out) override;
    StoreError recordRange(TableId table, qint64& first, qint64& last) override;
    StoreError get(TableId table, int key, const QVector<QVariant>& values, Row& out) override;
    StoreError read(TableId table, int key, const KeyPosition& from, Direction direction, bool inclusive,
                    int limit, QVector<Row>& out, const WalkLimits& limits = {}) override;
    StoreError readEnds(TableId table, int key, const KeyPosition& from, const WalkLimits& limits,
                        QVector<Row>& first, QVector<Row>& last) override;
    StoreError readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out) override;
    StoreError rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value) override;
    KeyPosition positionOf(const Row& row, int key) const override;
    StoreError replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                            qint64& changed) override;
    qint64 count(TableId table) override;
    StoreError countUpTo(TableId table, const SqlCondition& condition, qint64 limit, qint64& out) override;
    StoreError countInRecordSpan(TableId table, const SqlCondition& condition, qint64 afterRec,
                                 qint64 throughRec, qint64& out) override;
    // The whole word: the server's trigram index takes a pattern's pieces itself, and its guess of
    // how many songs hold one pattern is near; of a word's pieces one by one, the product of its
    // guesses is far too few, and the planner then sorts every candidate instead of walking the key.
    QString searchWordMatch(const QString& foldedWord) const override;
    StoreError sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit,
                                      SearchSample& out) override;
    // The search's narrowing in the server's dialect (see searchCandidatesIn in store_search.h).
    SqlCondition searchCandidates(TableId table, const QString& matchText, bool alongWalk) const;
    SqlCondition keyRangeCandidates(TableId table, int key, qint64 low, qint64 high) const;
    // A read on the server is one statement: a cancelled watch stops the reads before they are
    // sent, and the records a filtered read brought back are counted as walked.
    void watchReads(std::shared_ptr<WalkWatch> watch) override { m_watch = std::move(watch); }
    StoreError nextNumber(TableId table, qint64& out) override;

    StoreError begin() override { return m_connection->begin(); }
    StoreError beginRead() override { return m_connection->beginRead(); }
    StoreError commit() override { return m_connection->commit(); }
    void rollback() override { m_connection->rollback(); }
    bool inTransaction() const override { return m_connection->depth() > 0; }

    qint64 dataVersion() override { return m_connection->dataVersion(); }
    qint64 ownChanges() const override { return m_connection->ownChanges(); }

    QString walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                     bool inclusive, const WalkLimits& limits = {}) const override;
    // The plan of a statement with `?` placeholders, each given a sample value of its type (the
    // last, a page's LIMIT, 50): one line a step.
    QStringList explainQueryPlan(const QString& sql) override;
    StoreError exec(const QString& sql) override { return m_connection->exec(sql); }

    PgConnection& connection() { return *m_connection; }

    // Loads every record of `source` (a collection file's store, every table open) into this
    // collection, which must hold none: each table through COPY with its keys dropped meanwhile,
    // record numbers and versions as they are, the count checked against the file's; all in one
    // transaction, so that a failure leaves the collection empty.
    StoreError copyFrom(SqliteStore& source, QVector<CopiedTable>& copied);
    StoreError lastNumberGiven(TableId table, qint64& out);

private:
    StoreError connectAndLoad(const QString& location);
    StoreError newerStructure();
    StoreError validate(const Row& row) const;
    StoreError duplicateKeyError(const Row& row, const StoreError& failure);
    // Share locks on the parents a child record names (see the header's account).
    StoreError holdParents(const Row& row);

    std::unique_ptr<PgConnection> m_connection;
    PgSchema m_schema;
    PgMaintenance m_maintenance;
    PgBulk m_bulk;
    PgLog m_log;
    std::array<int, kTableCount> m_openCounts{};
    std::shared_ptr<WalkWatch> m_watch;
    // The walks' statements that have run on this connection (at most kProvenReadsKept).
    static constexpr qsizetype kProvenReadsKept = 512;
    QSet<QString> m_provenReads;
};

namespace pgsql {

// The column definitions, index and statements of the server's tables.
QString createTableSql(const TableDef& t);
QString createIndexSql(const TableDef& t, int key);
// The columns as the server reports them back for a table made by createTableSql.
QString columnsSignature(const TableDef& t);
QString selectRecordSql(const TableDef& t);
QString walkSql(const TableDef& t, int key, int prefixLength, bool withTieBreaker, Direction direction,
                bool inclusive, const QString& extraCondition = {}, int firstPlaceholder = 1);
// The songs' search index: a trigram index (pg_trgm's GIN operator class) over the case-folded
// artist, title, album and mix, read from their folded key columns one line a field as the file's
// index holds them; its name and the expression, which a condition repeats to be answered by it.
QString searchIndexName(const TableDef& t);
QString searchWordsSql(const TableDef& t);

} // namespace pgsql

} // namespace tunarium
