// The one-name lookup forms.
#include "catalogue/ui/lookup_form_window.h"

#include "catalogue/ui/picture_edit.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace tunarium {

bool isVirtualKey(const QKeyEvent* event, int virtualKey) {
    if (event->nativeVirtualKey() == static_cast<quint32>(virtualKey)) {
        return true; // Windows reports the code itself
    }
    switch (virtualKey) {
    case 192:
        return event->key() == Qt::Key_QuoteLeft || event->key() == Qt::Key_AsciiTilde;
    case 222:
        return event->key() == Qt::Key_Apostrophe || event->key() == Qt::Key_QuoteDbl;
    default:
        return false;
    }
}

LookupFormWindow::LookupFormWindow(Database& db, std::unique_ptr<FormRules> rules, LookupFormDecl design,
                                   NameHistory& history, const QString& positionFile, Request request,
                                   const Row& current, QWidget* caller, Answer done)
    : LookupFormWindow(db, std::move(rules), std::move(design), history, positionFile, request, current,
                       caller, std::move(done), std::make_shared<Row>()) {}

LookupFormWindow::LookupFormWindow(Database& db, std::unique_ptr<FormRules> rules, LookupFormDecl design,
                                   NameHistory& history, const QString& positionFile, Request request,
                                   const Row& current, QWidget* caller, Answer done,
                                   std::shared_ptr<Row> answered)
    : FormWindow(design.procedure, positionFile, caller,
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_db(db), m_rules(std::move(rules)), m_session(db, *m_rules, request), m_decl(std::move(design)),
      m_history(history), m_record(current), m_answered(std::move(answered)) {
    setWindowTitle(m_decl.designCaption);
}

int LookupFormWindow::field() const {
    return m_record.table().fieldIndex(m_decl.fieldName);
}

bool LookupFormWindow::start(QMdiArea* area) {
    m_history.formStarted();
    const bool opens = startSession(m_db, {m_record.tableId()}, m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    build();
    m_name->setValue(m_record.value(field()));
    setWindowTitle(m_session.request() == Request::Insert ? m_decl.insertCaption : m_decl.changeCaption);
    // The name field is as wide as the name; the form opens at its size and keeps it as its minimum.
    resize(sizeHint());
    setMinimumSize(size());
    present(area);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setMinimumSize(sub->minimumSizeHint());
    }
    m_name->setFocus();
    return true;
}

void LookupFormWindow::build() {
    m_name = new PictureEdit(m_decl.picture);
    m_name->installEventFilter(this);
    auto* fields = new QFormLayout;
    fields->addRow(m_decl.prompt, m_name);
    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { cancelRequested(); });
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

void LookupFormWindow::accept() {
    m_record.setText(field(), m_name->text());
    m_history.record(m_record.text(field()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        m_name->setValue(m_record.value(field()));
        m_name->setFocus();
        break;
    case FormSession::SaveResult::StayOpen:
        m_name->setFocus();
        m_name->selectAll();
        break;
    }
}

void LookupFormWindow::recallHistory() {
    if (m_name && m_history.has()) {
        m_name->setText(m_history.name());
        m_name->setFocus();
    }
}

bool LookupFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_name && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers().testFlag(Qt::ControlModifier) && isVirtualKey(key, m_decl.historyVirtualKey)) {
            recallHistory();
            return true;
        }
    }
    return FormWindow::eventFilter(watched, event);
}

bool LookupFormWindow::toolbarEnabled(ToolbarButtonId button) const {
    return button == ToolbarButtonId::History && m_name != nullptr && isEnabled();
}

void LookupFormWindow::toolbarPressed(ToolbarButtonId button) {
    if (toolbarEnabled(button)) {
        recallHistory();
    }
}

} // namespace tunarium
