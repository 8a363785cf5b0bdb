// "Add Music Files": the folders (each read with every folder in it) and files to scan, chosen
// one by one into a list; OK scans them behind a progress window that shows the files done, the
// songs added and updated and the folder being read, and can be cancelled (what it finished is
// kept). The album entries of the new songs follow, then their covers, then the summary.
#pragma once

#include "data/database.h"
#include "ui/procedure_registry.h"

#include <QWidget>

class QListWidget;
class QMdiArea;
class QPushButton;

namespace tunarium {

class AddMusicWindow : public QWidget {
    Q_OBJECT
public:
    AddMusicWindow(Database& db, Prompter& prompter, QMdiArea* workspace);

    static AddMusicWindow* open(const ProcedureContext& context);

    QStringList paths() const;
    // Adds to the list what the user would choose ("Add Folder...", "Add Files...").
    void addPaths(const QStringList& paths);
    // OK: closes the window and scans the list.
    void accept();

private:
    void chooseFolder();
    void chooseFiles();
    void removeChosen();
    void closeWindow();
    void updateButtons();

    Database& m_db;
    Prompter& m_prompter;
    QMdiArea* m_workspace;
    QListWidget* m_list;
    QPushButton* m_remove;
    QPushButton* m_ok;
};

// Scans `paths` behind a progress window in `workspace`, then makes the album entries of the new
// songs behind another, gives their albums the covers, and tells the summary ("Add Music Files").
void scanMusic(Database& db, Prompter& prompter, QMdiArea* workspace, const QStringList& paths);

// AddMusicFiles: the frame's File › "Add Music Files…" starts it.
void registerFilesProcedures(ProcedureRegistry& registry);

} // namespace tunarium
