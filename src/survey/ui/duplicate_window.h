// FindDuplicates ("Find Duplicates"): the duplicate search run behind its progress window, and
// what it found as a tree: each kind of group, its groups, and in each group the songs (artist,
// title, mix, album, file number, side, track, time) or albums (artist, album, file number). On a
// song: "Keep" sets its group aside, "Delete" deletes the song after asking, "Merge into" keeps
// the song and merges the rest of its group into it after asking; on an album or a group "Keep"
// alone. "Find" searches again. The songs, albums and playlists stay open while the window is.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "process/ui/process_window.h"
#include "survey/duplicate_search.h"
#include "ui/procedure_registry.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMdiArea;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tunarium {

class DuplicateWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the window (in the workspace when there is one) and starts the search; nullptr when
    // the tables cannot be opened.
    static DuplicateWindow* open(const ProcedureContext& context);
    ~DuplicateWindow() override;

    QTreeWidget* list() const { return m_list; }
    QLabel* summary() const { return m_summary; }
    QPushButton* button(const QString& caption) const;
    // The search is running (its progress window may stay a moment longer).
    bool busy() const { return m_progress && !m_progress->process().finished(); }
    ProcessWindow* progressWindow() const { return m_progress; }

    // Runs the search behind the progress window; the list shows what it found when it completes.
    void find();
    // Shows the report in the list.
    void showReport(const DuplicateReport& report);
    void keep();
    void deleteSong();
    void mergeInto();
    // Wide enough for every column at a 1024 x 768 screen's workspace.
    QSize sizeHint() const override { return {940, 500}; }

signals:
    // The search ended and the list shows its result (or, cancelled, what it showed before).
    void searched();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Row { Section, Group, Song, Album };
    DuplicateWindow(Database& db, Prompter& prompter, QString positionFile, QMdiArea* workspace);
    void build();
    QTreeWidgetItem* section(const QString& caption, qsizetype groups);
    void addSongGroup(QTreeWidgetItem* parent, const QString& caption, const SongGroup& group, bool mergeable);
    void addAlbumGroup(QTreeWidgetItem* parent, const AlbumGroup& group);
    static Row rowOf(const QTreeWidgetItem* item);
    // The group the current row belongs to (the row itself when it is a group).
    QTreeWidgetItem* currentGroup() const;
    void takeSong(QTreeWidgetItem* item);
    void takeGroup(QTreeWidgetItem* group);
    void updateButtons();
    bool ask(const QString& text);
    void tell(const QString& text);

    Database& m_db;
    Prompter& m_prompter;
    QString m_positionFile;
    QPointer<QMdiArea> m_workspace;
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QList<QPushButton*> m_buttons;
    QHash<const QTreeWidgetItem*, SongRecord> m_songs;
    QPointer<ProcessWindow> m_progress;
    TableLease m_tables;
    bool m_restored = false;
};

} // namespace tunarium
