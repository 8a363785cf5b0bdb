// The query wizard dialog: builds a query from AND and OR elements or takes one typed by hand,
// keeps saved queries, and answers its caller with the filter text and whether a query was run.
// It opens window-modal over its caller and answers through queryFinished; it never runs an event
// loop of its own.
#pragma once

#include "catalogue/query_wizard.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace tunarium {

class QueryElementRow;

class QueryWizardDialog : public QDialog {
    Q_OBJECT
public:
    // Edits `currentFilter` (see QueryWizard) on `fields`; saved queries live in `collectionDir`.
    QueryWizardDialog(QueryFieldList fields, const QString& collectionDir, Prompter& prompter,
                      const QString& currentFilter, QWidget* parent);

    // Opens the dialog window-modal and reads the saved queries. Returns at once.
    void start();
    // Creates a dialog that deletes itself when closed, starts it, and calls `done` with its answer.
    static QueryWizardDialog* run(QueryFieldList fields, const QString& collectionDir, Prompter& prompter,
                                  const QString& currentFilter, QWidget* parent,
                                  std::function<void(const QueryWizardResult&)> done);

    const QueryWizardResult& outcome() const { return m_wizard.result(); }
    QueryWizard& wizard() { return m_wizard; }

    QList<QueryElementRow*> rows() const { return m_rows; }
    QPushButton* addAndButton() const { return m_addAnd; }
    QPushButton* addOrButton() const { return m_addOr; }
    QPushButton* finishButton() const { return m_finish; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* newQueryButton() const { return m_newQuery; }
    QCheckBox* manualCheck() const { return m_manual; }
    QPlainTextEdit* currentQueryEdit() const { return m_current; }
    QListWidget* savedList() const { return m_saved; }
    QLineEdit* descriptionEdit() const { return m_description; }
    QPushButton* addQueryButton() const { return m_addQuery; }
    QPushButton* runQueryButton() const { return m_runQuery; }
    QPushButton* editQueryButton() const { return m_editQuery; }
    QPushButton* deleteQueryButton() const { return m_deleteQuery; }

signals:
    // Once, when the dialog closes: Finish or Run Query (ran) or Cancel (not ran).
    void queryFinished(const tunarium::QueryWizardResult& result);

private:
    QWidget* buildSavedPanel();
    QWidget* buildElementsPanel();
    QWidget* buildCurrentPanel();
    QWidget* buildButtons();
    void rebuildRows();
    void rowChanged();
    void removeRow(QueryElementRow* row);
    void addElement(QueryJoin join);
    void manualToggled(bool manual);
    void manualEdited();
    void showCurrent();
    void refreshSaved();
    QString selectedSaved() const;
    void updateButtons();
    void finishClicked();
    void runSavedClicked();
    void editSavedClicked();
    void deleteSavedClicked();
    void addSavedClicked();
    void newQueryClicked();

    QueryWizard m_wizard;
    bool m_showing = false;

    QList<QueryElementRow*> m_rows;
    QWidget* m_rowArea = nullptr;
    QVBoxLayout* m_rowLayout = nullptr;
    QPushButton* m_addAnd = nullptr;
    QPushButton* m_addOr = nullptr;
    QPlainTextEdit* m_current = nullptr;
    QLabel* m_problem = nullptr;
    QCheckBox* m_manual = nullptr;
    QListWidget* m_saved = nullptr;
    QLineEdit* m_description = nullptr;
    QPushButton* m_addQuery = nullptr;
    QPushButton* m_runQuery = nullptr;
    QPushButton* m_editQuery = nullptr;
    QPushButton* m_deleteQuery = nullptr;
    QPushButton* m_newQuery = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace tunarium
