// "Choose Fields for Export...": the fields an export writes, their order and pictures, and the
// header line. It opens window-modal over its caller; "&OK" asks for the file and starts the run.
#pragma once

#include "data/prompter.h"
#include "exchange/export_choice.h"

#include <QDialog>
#include <QListWidget>
#include <QPointer>

class QCheckBox;
class QLabel;
class QMdiArea;
class QPushButton;

namespace tunarium {

class Database;
class HelpWindow;
class PictureEditor;

// A list whose marks, current row and anchor are those of a MarkedList. Clicks and keys go to the
// list's marking rules, never to the view's own selection; marks are drawn as the selection.
class MarkedListView : public QListWidget {
    Q_OBJECT
public:
    MarkedListView(MarkedList& list, QWidget* parent);

    // Shows the list's rows, marks and current row.
    void refresh();

signals:
    // The marks or the current row were changed by the user.
    void marksChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void press(QMouseEvent* event);
    int rowsPerPage() const;

    MarkedList& m_list;
};

class ExportWindow : public QDialog {
    Q_OBJECT
public:
    // The run goes to `workspace` (may be null); messages and the file dialog go through `prompter`.
    ExportWindow(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent);
    ~ExportWindow() override;

    ExportChoice& choice() { return m_choice; }
    MarkedListView* allList() const { return m_allList; }
    MarkedListView* exportList() const { return m_exportList; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* shiftUpButton() const { return m_shiftUp; }
    QPushButton* shiftDownButton() const { return m_shiftDown; }
    QPushButton* pictureButton() const { return m_picture; }
    QLabel* pictureDisplay() const { return m_pictureKind; }
    QCheckBox* headerCheck() const { return m_header; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }
    // The picture editor while it is open.
    PictureEditor* pictureEditor() const;
    // The guide opened by "Help", while it is open.
    HelpWindow* helpWindow() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void addClicked();
    void removeClicked();
    void shiftUpClicked();
    void shiftDownClicked();
    void pictureClicked();
    void okClicked();
    void helpClicked();

    Database& m_db;
    Prompter& m_prompter;
    QPointer<QMdiArea> m_workspace;
    ExportChoice m_choice;
    bool m_restored = false;
    bool m_saved = false;

    MarkedListView* m_allList;
    MarkedListView* m_exportList;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_shiftUp;
    QPushButton* m_shiftDown;
    QPushButton* m_picture;
    QLabel* m_pictureKind;
    QCheckBox* m_header;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_help;
    QPointer<PictureEditor> m_editor;
    QPointer<HelpWindow> m_helpWindow;
};

// Opens "Choose Fields for Export..." window-modal over `parent`; it deletes itself when closed.
void startExport(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent);

} // namespace tunarium
