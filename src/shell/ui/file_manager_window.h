// The File Manager window: the list of tables with their tags, record counts and files, and the
// buttons that tag them and run the maintenance actions with a progress window.
#pragma once

#include "process/ui/process_window.h"
#include "shell/file_manager.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace tunarium {

class FileManagerWindow : public QWidget {
    Q_OBJECT
public:
    FileManagerWindow(Database& db, const QString& profilePath, QWidget* parent = nullptr);

    // The question asked before the window opens when the last run stopped while opening a
    // table. True when the file was fixed and the program must end.
    bool askAboutBadFile() { return m_manager.askAboutBadFile(); }

    FileManager& manager() { return m_manager; }
    QTreeWidget* list() const { return m_list; }
    QPushButton* button(const QString& caption) const;
    // Runs an action on the tagged rows (or the highlighted one) with the progress window.
    void runAction(MaintenanceAction action);
    bool busy() const { return !m_progress.isNull(); }
    ProcessWindow* progressWindow() const { return m_progress; }
    // The list's format with the column widths as they are now (kept under "SRCF?ListQueue").
    QString currentLayout() const;

signals:
    void closed();
    void actionFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* addButton(const QString& caption, const QString& tip);
    void fillList();
    void takeTags();
    void applyLayout(const QString& format);

    FileManager m_manager;
    QString m_positionFile;
    QWidget* m_body;
    QTreeWidget* m_list;
    QList<QPushButton*> m_buttons;
    QPointer<ProcessWindow> m_progress;
    QString m_format;
    int m_lastColumnUnits = 0; // the last column's width before it took the spare room
    bool m_restored = false;
};

} // namespace tunarium
