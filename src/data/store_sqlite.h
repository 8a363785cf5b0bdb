// The store over SQLite, the first implementation of the store's interface (store.h and the
// interfaces of its parts): SqliteStore on one connection to the collection file (tunarium.db in
// the collection's folder), and the parts it hands out on that connection. Only the data room
// names these classes (tests/layers fails on a room above it that does); makeStore makes them.
#pragma once

#include "data/schema_sql.h"
#include "data/store.h"
#include "data/store_bulk.h"
#include "data/store_duplicates.h"
#include "data/store_log.h"
#include "data/store_maintenance.h"
#include "data/store_schema.h"
#include "data/store_survey.h"

#include <QHash>

#include <array>
#include <memory>

struct sqlite3;

namespace tunarium {

class Connection;

class SqliteSchema final : public StoreSchema {
public:
    // `directory` is where the collection file and its backups live.
    SqliteSchema(Connection& connection, const QString& directory);

    TableState tableState(TableId table) override;
    int storedVersion(TableId table) override;
    StoreError createTable(TableId table) override;
    StoreError upgradeTable(TableId table) override;
    StoreError rebuildKeys(TableId table) override;
    StoreError beginBulkLoad(TableId table) override;
    StoreError endBulkLoad(TableId table) override;
    // Index definitions, folded columns and SQLite's own check.
    StoreError checkKeys(TableId table) override;
    // Through SQLite's backup API.
    StoreError backupTo(const QString& path) override;
    StoreError makeBackup(const QString& reason, int keep = 5,
                          const std::function<void(double)>& progress = {}) override;

private:
    friend class SqliteStore;

    // Reads the names and definitions of everything in the file.
    StoreError load();
    // Makes an empty file a collection: its mark, the log mode and the tables of structure
    // versions and counts.
    StoreError initializeFile();
    bool isEmpty() const { return m_schema.isEmpty(); }
    bool hasCollectionTables() const;
    void clear();

    int structureNumber(const QString& label);
    StoreError makeIndexes(const TableDef& t);
    StoreError makeSearchIndex(const TableDef& t);
    StoreError refreshFolded(const TableDef& t);
    StoreError dropKeys(const TableDef& t);
    StoreError dropSearchIndex(const TableDef& t);
    StoreError remakeKeys(TableId table, bool refold);
    // The table is as earlier versions made it, without the order columns of this one.
    bool lacksOrderColumns(const TableDef& t) const;
    // Adds the missing order columns (virtual: no record is rewritten); the keys on them are made
    // after.
    StoreError addOrderColumns(const TableDef& t);
    // Runs `steps` and then makes the table's indexes (or only its search index) and structure
    // entry, in one transaction.
    enum class Remake { AllKeys, SearchIndex };
    StoreError restructure(const TableDef& t, const std::function<StoreError()>& steps,
                           Remake remake = Remake::AllKeys);
    StoreError setStructure(const TableDef& t);
    // The rows of the table as they stand (a full count; -1 when it cannot be read).
    qint64 rowCount(const TableDef& t);
    QStringList storedColumnNames(const TableDef& t, StoreError& error);

    Connection& m_connection;
    const QString& m_directory;
    bool m_backedUpForUpgrade = false;
    // While an upgrade runs and somebody listens: where its steps are reported.
    UpgradeReporter* m_reporter = nullptr;
    // sqlite_master as read at open and after every structure change: name -> sql.
    QHash<QString, QString> m_schema;
};

class SqliteMaintenance final : public StoreMaintenance {
public:
    explicit SqliteMaintenance(Connection& connection);

    // SQLite's integrity check (Full) or quick check (Quick).
    bool checkFile(FileCheck depth, QStringList* problems = nullptr) override;
    bool checkFileByTable(FileCheck depth, QList<CheckFinding>& findings) override;
    bool checkTable(TableId table, FileCheck depth, QStringList& findings) override;
    StoreError checkSearchIndex(TableId table, bool& inStep) override;
    // Through SQLite's backup API, into this connection.
    StoreError restoreFrom(const QString& path,
                           const std::function<StoreError()>& beforeWriting = {}) override;
    StoreError compact() override;
    StoreError releaseLog() override;
    void setProgress(std::function<void()> tick) override;

private:
    Connection& m_connection;
};

class SqliteBulk final : public StoreBulk {
public:
    explicit SqliteBulk(Connection& connection);

    StoreError daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec,
                           qint64& changed) override;
    StoreError fileSongsUnderAlbums(qint64 afterRec, qint64 throughRec, const QString& compilationArtist,
                                    AlbumFiling& filed) override;

private:
    Connection& m_connection;
};

class SqliteLog final : public StoreLog {
public:
    explicit SqliteLog(Connection& connection);

    // Watches the commits of the connection just opened (replacing SQLite's own automatic copy).
    void attach();

    int uncopiedPages() const override { return m_uncopied; }
    StoreError checkpoint(int& copied) override;
    double lastCommitCheckpointMs() const override { return m_commitCheckpointMs; }

private:
    static int afterCommit(void* self, sqlite3* db, const char* name, int pages);

    Connection& m_connection;
    int m_pages = 0;
    int m_uncopied = 0;
    double m_commitCheckpointMs = 0;
};

// Opens its own connection on the store's file and takes one snapshot; error() tells why not.
class SqliteSurvey final : public StoreSurvey {
public:
    explicit SqliteSurvey(const Store& store);
    ~SqliteSurvey() override;

    const StoreError& error() const override { return m_error; }
    StoreError count(TableId table, qint64& out) override;
    StoreError countsByNumber(TableId table, int key, QVector<ValueCount>& out) override;
    StoreError countsByText(TableId table, int key, int limit, QVector<TextCount>& out) override;
    StoreError namesByNumber(TableId table, int numberField, int textField,
                             QHash<qint64, QString>& out) override;

private:
    std::unique_ptr<Connection> m_connection;
    StoreError m_error;
};

// Opens its own connection on the store's file (read only when the store is) and begins the
// snapshot; error() tells why not.
class SqliteDuplicateReader final : public DuplicateReader {
public:
    explicit SqliteDuplicateReader(const Store& store);
    ~SqliteDuplicateReader() override;

    const StoreError& error() const override { return m_error; }
    StoreError songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out) override;
    StoreError albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out) override;

private:
    std::unique_ptr<Connection> m_connection;
    StoreError m_error;
};

class SqliteStore final : public Store {
public:
    SqliteStore();
    ~SqliteStore() override;

    // A collection file whose path SQLite or the system cannot take, a folder that cannot be
    // written: SQLite's "unable to open" with what the user can change.
    StoreError open(const QString& directory) override;
    void close() override;
    bool isOpen() const override;
    bool isReadOnly() const override;
    StoreError writeRefusal() const override;
    QString directory() const override { return m_directory; }
    QString filePath() const override;

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
    StoreError fetch(TableId table, qint64 rec, Row& out) override;
    StoreError fetchAtOrAfter(TableId table, qint64 rec, Row& out) override;
    StoreError recordRange(TableId table, qint64& first, qint64& last) override;
    StoreError get(TableId table, int key, const QVector<QVariant>& values, Row& out) override;
    StoreError read(TableId table, int key, const KeyPosition& from, Direction direction, bool inclusive,
                    int limit, QVector<Row>& out, const WalkLimits& limits = {}) override;
    StoreError readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out) override;
    StoreError rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value) override;
    KeyPosition positionOf(const Row& row, int key) const override;
    StoreError replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                            qint64& changed) override;
    qint64 count(TableId table) override;
    StoreError countUpTo(TableId table, const SqlCondition& condition, qint64 limit, qint64& out) override;
    StoreError countInRecordSpan(TableId table, const SqlCondition& condition, qint64 afterRec,
                                 qint64 throughRec, qint64& out) override;
    StoreError sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit,
                                      SearchSample& out) override;
    StoreError searchPiecesStartingWith(TableId table, const QString& start, int pieceLimit, qint64 songLimit,
                                        QStringList& pieces, bool& common) override;
    void watchReads(std::shared_ptr<WalkWatch> watch) override;
    StoreError nextNumber(TableId table, qint64& out) override;

    StoreError begin() override;
    StoreError beginRead() override;
    StoreError commit() override;
    void rollback() override;
    bool inTransaction() const override;

    qint64 dataVersion() override;
    qint64 ownChanges() const override;

    QString walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                     bool inclusive, const WalkLimits& limits = {}) const override;
    QStringList explainQueryPlan(const QString& sql) override;
    StoreError exec(const QString& sql) override;

    // For a collection copied record for record (store_copy.cpp): a record written with its own
    // number and version (its table's keys dropped for a bulk load), and the last record number
    // a table has given, which a copy keeps.
    StoreError insertAsIs(const Row& row);
    StoreError lastNumberGiven(TableId table, qint64& out);
    StoreError keepLastNumber(TableId table, qint64 last);

private:
    StoreError newerStructure();
    StoreError validate(const Row& row) const;
    StoreError duplicateKeyError(const Row& row, const StoreError& failure);

    std::unique_ptr<Connection> m_connection;
    QString m_directory;
    SqliteSchema m_schema;
    SqliteMaintenance m_maintenance;
    SqliteBulk m_bulk;
    SqliteLog m_log;
    std::array<int, kTableCount> m_openCounts{};
    std::shared_ptr<WalkWatch> m_watch;
};

} // namespace tunarium
