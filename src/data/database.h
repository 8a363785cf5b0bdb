// Record access and integrity: the counted open and close of every table (and of the A_Songs
// declaration and the event log) over one store, the open routine that creates, upgrades or
// repairs a table or ends the program, and the update and delete routines of every table with
// their transactions, cascades and refusals. Every record change of the program goes through
// update() and remove(); messages go through the warnings.
#pragma once

#include "data/prompter.h"
#include "data/records.h"
#include "data/session_marker.h"
#include "data/store.h"
#include "data/warnings.h"

#include <initializer_list>

namespace tunarium {

// Results of the update and delete routines.
inline constexpr int kRoutineDone = 0;
inline constexpr int kRoutineFailed = 1;  // rolled back; a warning was shown
inline constexpr int kRoutineChanged = 2; // changed by another station; the new version was read

// The old values the update routines compare against, saved before the user edits.
struct BeforeImage {
    bool saved = false;
    QString media;        // Media
    qint64 categoryId = 0; // Categories
    qint64 albumId = 0;    // Album
    QString fileNumber;    // Album
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

    BeforeImage saveBeforeImage(const Row& row) const;
    // Rewrites the record in `row` (read earlier from its table). `canRecall`: the caller can
    // bring back the user's typed changes after a change by another station.
    int update(Row& row, bool canRecall, const BeforeImage& before = {});
    // Deletes the record in `row`.
    int remove(const Row& row);

    template <class T>
    int update(T& record, bool canRecall, const BeforeImage& before = {}) {
        Row row = toRow(record);
        const int result = update(row, canRecall, before);
        record = fromRow<T>(row);
        return result;
    }
    template <class T>
    int remove(const T& record) {
        return remove(toRow(record));
    }

private:
    bool openRoutine(TableId table);
    bool openFile(const TableDef& t);
    bool createRoutine(const TableDef& t);
    bool upgradeRoutine(const TableDef& t, int warningOnFailure);
    bool repairRoutine(const TableDef& t);
    void endProgram(const QString& haltText);
    bool openFurther(const QList<TableId>& tables, bool alias);
    void closeFurther(const QList<TableId>& tables, bool alias);
    int fail(int warningNumber, const StoreError& error, const QString& name, const QString& second = {});
    StoreError cascadeUpdate(const Row& row, const BeforeImage& before, bool& restricted);
    bool deleteRule(const Row& row, StoreError& error);
    bool songInPlaylist(qint64 songId, StoreError& error);
    bool deleteSongsIn(int key, const QVariant& value, bool checkPlaylists, StoreError& error, QString& walked);

    Prompter& m_prompter;
    Warnings m_warnings;
    Store m_store;
    QString m_dir;
    QString m_profile;
    SessionMarker m_marker;
    std::array<int, kTableCount> m_counts{};
    int m_aliasCount = 0;
    int m_eventLogCount = 0;
    bool m_halted = false;
    bool m_checkKeys = false;
};

} // namespace tunarium
