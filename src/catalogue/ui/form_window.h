// The window side of the form pattern: a form opens as a child window in front of its caller,
// which stays disabled until the form answers through its callback, while every other window
// stays usable; then the caller is the active window again, with the focus where it was. Enter
// presses the default button (or the button that has the focus), Esc acts as Cancel; the window's
// own mnemonics (Alt+B on "&Back", Alt+A on a label "&Artist:") win over the frame's menus of the
// same letter; the window position is restored and saved under the form's procedure name, in
// dialog units.
#pragma once

#include "catalogue/form_session.h"
#include "data/table_lease.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace tunarium {

class FormWindow : public QWidget {
public:
    using Done = std::function<void(Response response)>;

    // `procedure` names the window's section in the position file ("UpdateSong").
    FormWindow(const QString& procedure, const QString& positionFile, QWidget* caller, Done done);
    ~FormWindow() override;

    // Shows the form: in the MDI area as a child window when one is given, else as a window of
    // its own, at the size the window was given (its size hint when none), inside the workspace.
    // The caller is disabled until the form closes. A maximized window in the workspace stays
    // maximized: the form opens in front of it at its own size.
    void present(QMdiArea* area);
    // The second button of a form whose lists write at once (the album's songs, a playlist's
    // entries): "Cancel" while its record is new (Cancel takes the record away), "Close" on a record
    // that exists (what was done in its lists stays; Close asks whether to save changed fields).
    static QString dismissText(Request request);
    static QString dismissTip(Request request);
    // "Save the changes to the <what>?" with Yes, No and Cancel (Yes the default).
    static PromptMessage saveBeforeCloseQuestion(const QString& caption, const QString& what);
    // Ends the form with its response; the window closes and the callback runs once.
    void finish(Response response);
    Response response() const { return m_response; }
    // Replaces the callback (for a caller that needs the window itself in its callback).
    void setDone(Done done) { m_done = std::move(done); }
    QString procedure() const { return m_procedure; }

protected:
    // Asked when the window is closed from outside (the frame's close box, Exit): the form does
    // what Cancel does.
    // The defaults serve a form started with startSession(): closing from outside and Cancel
    // cancel its session, and closing ends it (a cancelled Insert deletes its record).
    virtual void closing();
    // Runs once when the window closes, before the caller is answered.
    virtual void closed();
    // Opens `tables` (counted) and runs the start of the form pattern on `record` under the busy
    // cursor. False when the window does not open; the caller then finishes with the session's
    // response. The tables are closed again when the window closes.
    bool startSession(Database& db, const QList<TableId>& tables, FormSession& session, Row& record);
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    virtual void cancelRequested();
    // The window became the active window (also when it first opens).
    virtual void activated() {}
    void changeEvent(QEvent* event) override;

private:
    void answer();
    class MnemonicCatcher;
    // The button or labelled field of this window whose mnemonic is the key; null when none is.
    QWidget* mnemonicTarget(const QKeyEvent* key) const;
    // The key press after a mnemonic's override: clicks its button (or focuses its label's field);
    // true when it was taken.
    bool catchMnemonicKey(QEvent* event);
    bool pressDefaultButton();
    void releaseTables();

    QString m_procedure;
    QString m_positionFile;
    QPointer<QWidget> m_caller;
    QPointer<QMdiSubWindow> m_subWindow;
    Done m_done;
    FormSession* m_session = nullptr; // set by startSession()
    TableLease m_tables;              // taken by startSession()
    Response m_response = Response::Cancelled;
    QPointer<QWidget> m_mnemonic; // taken from the frame's menus; acted on at its key press
    MnemonicCatcher* m_mnemonicCatcher = nullptr;
    bool m_answered = false;
    bool m_closing = false;
};

} // namespace tunarium
