// The form of a lookup table whose record is one name (UpdateCategories, UpdateMedia): the form
// pattern around one field, with the history key (Ctrl and the form's own key) and the toolbar's
// history button bringing back the name the form saved last.
#pragma once

#include "catalogue/categories_media.h"
#include "catalogue/ui/browse_toolbar.h"
#include "catalogue/ui/form_window.h"

#include <memory>

class QKeyEvent;
class QPushButton;

namespace tunarium {

class PictureEdit;

struct LookupFormDecl {
    QString procedure;     // "UpdateCategories"
    QString designCaption; // "Update Categories"
    QString insertCaption; // "Add Category"
    QString changeCaption; // "Change Category"
    QString prompt;        // "&Category:"
    QString picture;       // "@s30"
    QString fieldName;     // "Category"
    // The history key: Ctrl and the key of this Windows virtual-key code (192: the key left of 1,
    // "`" and "~"; 222: the quote key, "'" and "\"").
    int historyVirtualKey = 0;
};

// Whether a key event is the key of a Windows virtual-key code, on any platform.
bool isVirtualKey(const QKeyEvent* event, int virtualKey);

class LookupFormWindow : public FormWindow, public ToolbarTarget {
public:
    // The record the form answers with is passed to `done` with the response.
    using Answer = std::function<void(Response response, const Row& record)>;

    LookupFormWindow(Database& db, std::unique_ptr<FormRules> rules, LookupFormDecl design,
                     NameHistory& history, const QString& positionFile, Request request, const Row& current,
                     QWidget* caller, Answer done);

    // Runs the start of the pattern; false when the form already answered without a window
    // (Delete, or an add that failed).
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }
    PictureEdit* nameField() const { return m_name; }

    // OK: records the history copy, then saves.
    void accept();
    // The name last saved with this form, into the name field.
    void recallHistory();

    bool toolbarEnabled(ToolbarButtonId button) const override;
    void toolbarPressed(ToolbarButtonId button) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LookupFormWindow(Database& db, std::unique_ptr<FormRules> rules, LookupFormDecl design,
                     NameHistory& history, const QString& positionFile, Request request, const Row& current,
                     QWidget* caller, Answer done, std::shared_ptr<Row> answered);
    void build();
    int field() const;

    Database& m_db;
    std::unique_ptr<FormRules> m_rules;
    FormSession m_session;
    LookupFormDecl m_decl;
    NameHistory& m_history;
    Row m_record;
    std::shared_ptr<Row> m_answered; // read by the answer after the window is gone

    PictureEdit* m_name = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace tunarium
