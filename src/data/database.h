// Record access and integrity: the counted open and close of every table (and of the A_Songs
// declaration and the event log) over one store, the open routine that creates, upgrades or
// repairs a table or ends the program, and the update and delete routines of every table with
// their transactions, cascades and refusals. Every record change of the program goes through
// update() and remove(), through the named hooks beside them for the rules that are no relation
// (overwriteAdded, detachSongs, withdrawAlbum), or, for a write that by design moves no linking
// field (entries renumbered, a note rewritten), through unlinked_write.h; a new record goes to the
// store's insert. Outside the data room no code writes a record through the store itself
// (tests/layers fails on it). Messages go through the warnings.
#pragma once

#include "data/prompter.h"
#include "data/records.h"
#include "data/session_marker.h"
#include "data/store.h"
#include "data/warnings.h"

#include <initializer_list>
#include <memory>

namespace tunarium {

// Results of the update and delete routines.
inline constexpr int kRoutineDone = 0;
inline constexpr int kRoutineFailed = 1;  // rolled back; a warning was shown
inline constexpr int kRoutineChanged = 2; // changed by another station; the new version was read

// The record as it was before the user edited it, for a table whose changes other records follow
// (a media's name, a category's number, an album's number and carrier): the update routine
// compares the linking fields against it.
struct BeforeImage {
    bool saved = false;
    Row record;
};

class Database {
public:
    // The collection in `collectionDir`; the maintenance flag lives in `profilePath`.
    Database(Prompter& prompter, const QString& collectionDir, const QString& profilePath);
    // Closes every table still open, in order.
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Counted open: the first open of a table runs the open routine. False when the program is
    // ending (a warning that ends it was shown); the caller then returns at once.
    bool openTable(TableId table);
    void closeTable(TableId table);
    // Several tables in order; when one cannot be opened, those opened before it are closed again.
    bool openTables(std::initializer_list<TableId> tables);
    // Closes them in the reverse order.
    void closeTables(std::initializer_list<TableId> tables);
    int openCount(TableId table) const { return m_counts[static_cast<int>(table)]; }
    // The second declaration over the songs file, and the event log: counted like the tables.
    bool openSongsAlias();
    void closeSongsAlias();
    int songsAliasCount() const { return m_aliasCount; }
    void openEventLog() { ++m_eventLogCount; }
    void closeEventLog();
    int eventLogCount() const { return m_eventLogCount; }
    // Closes every open table in registration order (the end of the program).
    void closeAll();

    bool halted() const { return m_halted || m_warnings.halted(); }
    Store& store() { return m_store; }
    Warnings& warnings() { return m_warnings; }
    Prompter& prompter() { return m_prompter; }
    QString collectionDir() const { return m_dir; }

    // Whether the last run on this collection ended without closing it; its tables' keys are
    // then checked in full at their first open.
    bool checksKeysAtOpen() const { return m_checkKeys; }
    // A full check of one table's keys on request (maintenance): offers the rebuild as the open
    // routine does. False when the program is ending.
    bool checkTable(TableId table);

    // The before-image of a record about to be edited (not saved for a table that no relation
    // follows on change).
    BeforeImage saveBeforeImage(const Row& row) const;
    // Rewrites the record in `row` (read earlier from its table). `canRecall`: the caller can
    // bring back the user's typed changes after a change by another station.
    int update(Row& row, bool canRecall, const BeforeImage& before = {});
    // Deletes the record in `row`.
    int remove(const Row& row);

    // What the last delete of this session removed: the record and every record its relations
    // deleted with it, in the order they went (an album's songs, then the album).
    struct Removal {
        TableId table = TableId::Tunarium;
        QVector<Row> records;
    };
    const Removal& lastRemoval() const { return m_lastRemoval; }
    // Puts back what the last delete removed, in one transaction, each record under its own
    // values (a new record number; the identifiers that link records are the record's own).
    // When a record added since holds one of their keys nothing is put back, a warning is shown
    // and the delete stays undoable. The caller has the deleted record's table open.
    int undoLastRemoval();

    template <class T> int update(T& record, bool canRecall, const BeforeImage& before = {}) {
        Row row = toRow(record);
        const int result = update(row, canRecall, before);
        record = fromRow<T>(row);
        return result;
    }
    template <class T> int remove(const T& record) { return remove(toRow(record)); }

    // Hooks beside the relations' walk: rules that are no relation.
    // Writes over a record added moments ago (an Insert's record at OK) what the user entered. No
    // relation is walked: what refers to the new record came meanwhile with the form's values, and
    // a value it shares with older records (a copy's file number, its source's) is not its own to
    // carry elsewhere. Failures come back unshown, for the form to name the key.
    StoreError overwriteAdded(Row& row);

    // Detaches every song of album `albumId`: each stays as it is, without an album.
    StoreError detachSongs(qint64 albumId);
    enum class AlbumSongs { Detach, Delete };
    // Takes away an album made moments ago and not kept (a cancelled Insert, a cancelled album
    // wizard) in one transaction: its own songs detached or deleted (each by the delete rules of
    // the songs), the album deleted without the cascade over its carrier, whose other songs were
    // never its own. `deleted` receives the count of songs deleted. A failure has been shown.
    int withdrawAlbum(const Row& album, AlbumSongs songs, int* deleted = nullptr);

private:
    // The further tables a routine's transaction covers beside the table itself, and whether the
    // songs are walked as A_Songs.
    struct Coverage {
        QList<TableId> tables;
        bool alias = false;
    };
    static Coverage updateCoverage(TableId table);
    static Coverage deleteCoverage(TableId table);

    bool openRoutine(TableId table);
    bool openFile(const TableDef& t);
    bool createRoutine(const TableDef& t);
    bool upgradeRoutine(const TableDef& t, int warningOnFailure);
    bool repairRoutine(const TableDef& t);
    void endProgram(const QString& haltText);
    int fail(int warningNumber, const StoreError& error, const QString& name, const QString& second = {});
    // The relations of a changed record: its children follow the new values, or the change is
    // refused (`restricted`, the old value put back). A failure has been shown.
    StoreError changeRules(Row& row, const BeforeImage& before, bool& restricted);
    // The relations of a record about to be deleted: refusals, and the children deleted. False
    // when the delete may not go on (a warning was shown).
    bool deleteRules(const Row& row);
    bool deleteChildren(const RelationDef& relation, const QVariant& value);

    Prompter& m_prompter;
    Warnings m_warnings;
    // The store of the implementation makeStore picked for the collection's location.
    std::unique_ptr<Store> m_storeOwner;
    Store& m_store;
    QString m_dir;
    QString m_profile;
    SessionMarker m_marker;
    std::array<int, kTableCount> m_counts{};
    int m_aliasCount = 0;
    int m_eventLogCount = 0;
    bool m_halted = false;
    bool m_checkKeys = false;
    // The records the running delete has removed so far; the last delete's once it commits.
    QVector<Row>* m_removing = nullptr;
    Removal m_lastRemoval;
};

} // namespace tunarium
