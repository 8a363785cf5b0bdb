// "Assign fields for Import...": shows the fields of the import file beside the song fields they
// can feed and lets the user pair them; and startImport, the whole import from a command, from the
// file dialog to the progress windows. The window opens window-modal over its caller and hands the
// import run to a callback; it never runs an event loop of its own.
#pragma once

#include "data/database.h"
#include "exchange/import_process.h"
#include "exchange/import_setup.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QMdiArea;
class QPushButton;
class QTreeWidget;

namespace tunarium {

class ImportWindow : public QDialog {
    Q_OBJECT
public:
    // The run made by &OK, or none when the window was cancelled.
    using Done = std::function<void(std::unique_ptr<ImportProcess>)>;

    // `setup` has opened its file. The window keeps its place in `positionFile` (blank: nowhere).
    ImportWindow(Database& db, Prompter& prompter, std::unique_ptr<ImportSetup> setup,
                 const QString& positionFile, QWidget* parent);
    ~ImportWindow() override;

    // Opens the window window-modal and presses A&uto once. Returns at once.
    void start();
    // Creates a window that deletes itself when closed, starts it, and calls `done` once it closes.
    static ImportWindow* run(Database& db, Prompter& prompter, std::unique_ptr<ImportSetup> setup,
                             const QString& positionFile, QWidget* parent, Done done);
    void setDone(Done done) { m_done = std::move(done); }

    const ImportSetup& setup() const { return *m_setup; }

    QTreeWidget* fieldList() const { return m_fields; }
    QTreeWidget* targetList() const { return m_targets; }
    QLabel* recordNumberLabel() const { return m_record; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* pictureButton() const { return m_picture; }
    QPushButton* assignButton() const { return m_assign; }
    QPushButton* autoButton() const { return m_auto; }
    QPushButton* unassignButton() const { return m_unassign; }
    QCheckBox* stripHeaderCheck() const { return m_stripHeader; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }

    void done(int result) override;

private:
    void buildLists();
    void redraw();
    void selectRow(QTreeWidget* list, int row);
    void fieldChosen();
    void targetChosen();
    void nextClicked();
    void pictureClicked();
    void assignClicked();
    void autoClicked();
    void unassignClicked();
    void okClicked();
    void helpClicked();

    Database& m_db;
    Prompter& m_prompter;
    std::unique_ptr<ImportSetup> m_setup;
    QString m_positionFile;
    Done m_done;
    std::unique_ptr<ImportProcess> m_process;
    bool m_following = false;
    bool m_finished = false;

    QTreeWidget* m_fields = nullptr;
    QTreeWidget* m_targets = nullptr;
    QLabel* m_record = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_picture = nullptr;
    QPushButton* m_assign = nullptr;
    QPushButton* m_auto = nullptr;
    QPushButton* m_unassign = nullptr;
    QCheckBox* m_stripHeader = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_help = nullptr;
};

// The section of the window-position file where the assignment window keeps its place.
inline constexpr char kImportWindowSection[] = "ImportAssign";

// Runs an import from a command: the file dialog (again after an empty file), the assignment
// window over `parent`, then the run and, when the user asks for them, album entries, each in a
// progress window in `workspace` (on its own when there is none). Returns once the assignment
// window is open, or at once when the import ends before it.
void startImport(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent);

} // namespace tunarium
