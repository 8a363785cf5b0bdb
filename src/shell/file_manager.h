// The File Manager: one row per table of the collection (and the event log), tags, and the five
// maintenance actions mapped onto the store. "Build" rebuilds a table's keys and folded key
// columns; "Pack" compacts the collection file; "Release" empties the write-ahead log into the
// file; "Fix" checks the file and, when it is damaged, rebuilds it from everything readable;
// "Info" shows a table's record count and file.
#pragma once

#include "data/database.h"
#include "process/process_runner.h"
#include "shell/collection_maintenance.h"

#include <QVector>

#include <optional>

namespace tunarium {

enum class MaintenanceAction { Build, Pack, Release, Fix, Info };

// The button caption of an action ("&Build").
QString actionCaption(MaintenanceAction action);

struct FileManagerRow {
    bool tagged = false;
    QString table; // the table label, or "EventLog"
    QString records = QStringLiteral("?");
    QString file;              // the data file's full name once an action ran
    std::optional<TableId> id; // none for the event log, on which every action does nothing
};

class FileManager {
public:
    FileManager(Database& db, QString profilePath);

    // The rows, sorted by table.
    const QVector<FileManagerRow>& rows() const { return m_rows; }
    int rowOf(const QString& table) const;
    void setTagged(int row, bool tagged);
    void tagAll();
    void untagAll();
    // The rows an action runs on: the tagged rows in list order, or the highlighted row alone when
    // none is tagged (none when nothing is highlighted either).
    QVector<int> targets(int highlighted) const;

    // The question asked at opening when the last run stopped while opening a table. True when
    // the user chose to have the file fixed: it was fixed, the flag cleared, and the program must
    // now end. False when the window is to open.
    bool askAboutBadFile();

    // Runs one action on one row. Actions that run over several rows share one compaction, one
    // release of the log and one check of the file, and end with one message that tells what the
    // run did: call beginRun() with the rows before the first row, endRun() after the last. A row
    // run on its own is a run of its own, with its message.
    void beginRun(const QVector<int>& rows = {});
    void run(MaintenanceAction action, int row);
    void endRun(MaintenanceAction action);

    // The message of an "Info" that cannot read its table: "Error opening file : Album Error : "
    // and the error's text.
    static QString infoErrorText(const QString& table, const StoreError& error);

    // What the last repair did, when "Fix" found the file damaged.
    const std::optional<RepairReport>& lastRepair() const { return m_lastRepair; }

private:
    bool exclusive();
    // The labels of the run's tables, "Album, Media and Tunarium".
    static QString tableList(const QStringList& labels);
    QList<TableId> runTables(int row) const;
    void fixRun(int row, TableId table);
    QString runSummary(MaintenanceAction action) const;
    // Builds, packs or releases under a lease of the row's table, then shows its count.
    void maintain(MaintenanceAction action, int row, TableId table);
    void finishRow(int row, TableId table);
    void fix(int row, TableId table);
    void info(int row, TableId table);
    void report(const QString& caption, const QString& text, PromptIcon icon);
    void reportError(const QString& doing, TableId table, const StoreError& error);

    Database& m_db;
    QString m_profile;
    QVector<FileManagerRow> m_rows;
    bool m_packed = false;
    bool m_released = false;
    std::optional<RepairReport> m_lastRepair;
    // The run under way: its rows, the tables it did its action on, and what it met.
    bool m_inRun = false;
    QVector<int> m_runRows;
    QStringList m_runDone;
    bool m_refused = false; // the exclusive-access message was shown
    bool m_runFailed = false;
    qint64 m_sizeBefore = -1;
    std::optional<FixResult> m_fixed;
};

// One action over a list of rows as a process, one table a step; its window shows the current
// table and how many are left.
class MaintenanceProcess final : public Process {
public:
    MaintenanceProcess(FileManager& manager, MaintenanceAction action, QVector<int> rows);

    // "Current File :" and the table being worked on.
    QString currentFileText() const;
    // "Files Left     :" and the number of rows not yet done.
    QString filesLeftText() const;
    QString statusText() const override { return filesLeftText(); }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    void showCurrent();

    FileManager& m_manager;
    MaintenanceAction m_action;
    QVector<int> m_rows;
    int m_next = 0;
};

} // namespace tunarium
