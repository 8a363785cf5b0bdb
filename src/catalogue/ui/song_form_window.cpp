// The song form window.
#include "catalogue/ui/song_form_window.h"

#include "catalogue/procedure_names.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/select_add_mode_dialog.h"
#include "catalogue/ui/song_file_panel.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {} // namespace

SongFormWindow::SongFormWindow(Database& db, const Settings& settings, const QString& positionFile,
                               Request request, const SongRecord& current, AlbumContext context,
                               QWidget* caller, Done done)
    : FormWindow(QStringLiteral("UpdateSong"), positionFile, caller, std::move(done)), m_db(db),
      m_settings(settings), m_rules(db, std::move(context)), m_session(db, m_rules, request),
      m_record(toRow(current)), m_caller(caller) {
    setWindowTitle(QStringLiteral("Update the Tunarium Database"));
}

bool SongFormWindow::dispatchToWizard(AddDispatch dispatch) {
    if (!m_procedures) {
        return false;
    }
    if (dispatch == AddDispatch::AskUser) {
        dispatch = SelectAddModeDialog::ask(m_caller ? m_caller->window() : nullptr);
    }
    const char* name = dispatch == AddDispatch::CompilationWizard    ? procedure::kAddCompilation
                       : dispatch == AddDispatch::SingleArtistWizard ? procedure::kAddSingleArtist
                                                                     : nullptr;
    if (name == nullptr || !m_procedures->procedures.contains(QString::fromLatin1(name))) {
        return false;
    }
    // The wizard opens over the form's caller once the form has answered it (the caller is then
    // usable again, and the wizard disables it in its turn).
    QTimer::singleShot(0, m_caller ? static_cast<QObject*>(m_caller.data()) : qApp,
                       [context = m_procedures->calledFrom(m_caller), name = QString::fromLatin1(name)] {
                           context.procedures.start(name, context);
                       });
    return true;
}

void SongFormWindow::setProcedures(const ProcedureContext& context) {
    m_procedures.emplace(context);
}

bool SongFormWindow::start(QMdiArea* area) {
    if (m_session.request() == Request::Insert) {
        const AddDispatch dispatch = songAddDispatch(m_settings.addMode(), m_session.isCopy(),
                                                     m_rules.context(), fromRow<SongRecord>(m_record));
        if (dispatch != AddDispatch::OpenForm && dispatchToWizard(dispatch)) {
            finish(Response::Cancelled);
            return false;
        }
    }
    if (m_record.text(tun::kMedia).isEmpty()) {
        m_record.setText(tun::kMedia, QStringLiteral("CD"));
    }
    if (!startSession(m_db, {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media},
                      m_session, m_record)) {
        finish(m_session.response());
        return false;
    }
    build();
    QString failedTable;
    if (StoreError e = m_rules.loadChoices(m_record, failedTable)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, failedTable);
        m_session.cancel();
        finish(Response::Cancelled);
        return false;
    }
    m_tabs->mediaBox()->addItems(m_rules.mediaChoices());
    showCategoryChoices();
    display(m_record);
    setWindowTitle(m_session.caption());
    present(area);
    m_tabs->artistEdit()->setFocus();
    return true;
}

void SongFormWindow::build() {
    m_tabs = new SongFormTabs(m_settings);
    for (SongCheck check : kSongChecks) {
        m_tabs->checkedControl(check)->installEventFilter(this);
    }
    m_tabs->categoryBox()->lineEdit()->installEventFilter(this);

    m_albumDefaults = new QPushButton(QStringLiteral("Default with Album Information"));
    // The album selection list is the albums room's window, started by name.
    m_albumDefaults->setEnabled(
        m_procedures && m_procedures->procedures.contains(QString::fromLatin1(procedure::kSelectAlbum)));
    connect(m_albumDefaults, &QPushButton::clicked, this, &SongFormWindow::defaultWithAlbum);
    const OkCancelRow buttons = makeOkCancelRow(
        this, [this] { accept(); }, [this] { cancelRequested(); }, QStringLiteral("Cancel"), {m_albumDefaults});
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    m_file = new SongFilePanel(m_db.prompter());
    layout->addWidget(m_file);
    layout->addLayout(buttons.layout);

    const AlbumContext& context = m_rules.context();
    if (context.active()) {
        m_albumDefaults->hide();
        m_tabs->albumEdit()->setEnabled(false);
        m_tabs->mediaBox()->setEnabled(false);
        m_tabs->artistEdit()->setEnabled(!context.fixesArtist());
    }
}

void SongFormWindow::defaultWithAlbum() {
    if (!m_procedures) {
        return;
    }
    ProcedureContext context = m_procedures->calledFrom(this).with(m_record.number(tun::kAlbumId));
    QPointer<SongFormWindow> self(this);
    context.answer = [self](int response, const Row& chosen) {
        if (self && response == static_cast<int>(Response::Completed) && chosen.tableId() == TableId::Album &&
            chosen.size() > 0) {
            self->takeAlbum(fromRow<AlbumRecord>(chosen));
        }
    };
    m_procedures->procedures.start(QString::fromLatin1(procedure::kSelectAlbum), context);
}

void SongFormWindow::takeAlbum(const AlbumRecord& album) {
    m_tabs->readInto(m_record);
    // Outside an album window the song keeps its side.
    const qint64 side = m_rules.context().active() ? m_rules.context().side : m_record.number(tun::kSide);
    m_rules.applyAlbum(m_record, album, side, m_session.request() == Request::Insert);
    display(m_record);
}

QWidget* SongFormWindow::checkedControl(SongCheck check) const {
    return m_tabs->checkedControl(check);
}

void SongFormWindow::display(const Row& record) {
    m_tabs->display(record, m_rules.categoryName(record.number(tun::kCategoryId)));
    m_file->showFile(record.text(tun::kFilePath), record.number(tun::kFileMissing) != 0);
    for (SongCheck check : kSongChecks) {
        m_accepted.insert(static_cast<int>(check), m_tabs->controlText(check));
    }
}

void SongFormWindow::showCategoryChoices() {
    QComboBox* category = m_tabs->categoryBox();
    const QString typed = category->currentText();
    const QSignalBlocker block(category);
    category->clear();
    for (const CategoryChoice& c : m_rules.categoryChoices()) {
        category->addItem(c.name, c.id);
    }
    category->setEditText(typed);
}

void SongFormWindow::showAccepted() {
    m_tabs->timeEdit()->setValue(m_record.value(tun::kTime));
    if (m_tabs->categoryBox()->count() != m_rules.categoryChoices().size()) {
        showCategoryChoices(); // a category was added
    }
    const qint64 category = m_record.number(tun::kCategoryId);
    if (category != 0) {
        m_tabs->categoryBox()->setEditText(m_rules.categoryName(category));
    }
}

bool SongFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_checking) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        // Leaving a field means going to another field of the form. A popup, another window and
        // the buttons (OK checks every field itself, Cancel and the album button need none) do
        // not count.
        const bool left = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && next &&
                          isAncestorOf(next) && !qobject_cast<QPushButton*>(next);
        if (left) {
            for (SongCheck check : kSongChecks) {
                QWidget* control = m_tabs->checkedControl(check);
                if (watched == control ||
                    (check == SongCheck::Category && watched == m_tabs->categoryBox()->lineEdit())) {
                    if (!control->isAncestorOf(next) && next != control) {
                        fieldLeft(check);
                    }
                    break;
                }
            }
        }
    }
    return FormWindow::eventFilter(watched, event);
}

void SongFormWindow::fieldLeft(SongCheck check) {
    if (m_tabs->controlText(check) == m_accepted.value(static_cast<int>(check))) {
        return;
    }
    if (auto* edit = dynamic_cast<PictureEdit*>(m_tabs->checkedControl(check)); edit && !edit->readsValue()) {
        // Refused once the focus has finished moving away: the field shows its value again.
        QPointer<PictureEdit> field(edit);
        QTimer::singleShot(0, this, [this, field] {
            if (field) {
                refuseUnreadable({field.data()}, m_db.prompter(), windowTitle());
            }
        });
        return;
    }
    m_checking = true;
    m_tabs->readInto(m_record);
    const bool accepted = m_rules.acceptField(check, m_record, m_tabs->categoryBox()->currentText());
    if (accepted) {
        showAccepted();
        m_accepted.insert(static_cast<int>(check), m_tabs->controlText(check));
    }
    m_checking = false;
    if (!accepted) {
        // The field keeps the focus, once the focus has finished moving away from it.
        QPointer<QWidget> control = m_tabs->checkedControl(check);
        QTimer::singleShot(0, this, [control] {
            if (control) {
                control->setFocus();
                if (auto* edit = qobject_cast<QLineEdit*>(control.data())) {
                    edit->selectAll();
                }
            }
        });
    }
}

bool SongFormWindow::acceptFields() {
    m_checking = true;
    const bool unreadable = refuseUnreadableIn(m_tabs, m_db.prompter(), windowTitle()) != nullptr;
    m_checking = false;
    if (unreadable) {
        return false;
    }
    m_tabs->readInto(m_record);
    if (isBlankSong(m_record)) {
        // Enter on a form nobody has filled in saves no empty song.
        PromptMessage m;
        m.caption = windowTitle();
        m.text = QStringLiteral("The song has no artist and no title. Type at least one of them, or Cancel.");
        m.icon = PromptIcon::Exclamation;
        m_checking = true;
        m_db.prompter().message(m);
        m_checking = false;
        m_tabs->setCurrentIndex(0);
        m_tabs->artistEdit()->setFocus();
        return false;
    }
    m_checking = true;
    const std::optional<SongCheck> failing =
        m_rules.acceptAll(m_record, m_tabs->categoryBox()->currentText());
    m_checking = false;
    m_tabs->timeEdit()->setValue(m_record.value(tun::kTime));
    if (failing) {
        m_tabs->setCurrentIndex(0);
        QWidget* control = m_tabs->checkedControl(*failing);
        control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->selectAll();
        }
        return false;
    }
    showAccepted();
    for (SongCheck check : kSongChecks) {
        m_accepted.insert(static_cast<int>(check), m_tabs->controlText(check));
    }
    return true;
}

void SongFormWindow::refreshCategory() {
    if (m_checking || m_tabs == nullptr) {
        return;
    }
    // A category the user is typing stays as typed; otherwise the form shows the category as it
    // is now (renamed or deleted by another window).
    const bool untouched =
        m_tabs->categoryBox()->currentText() == m_accepted.value(static_cast<int>(SongCheck::Category));
    const QString name = m_rules.refreshCategory(m_record);
    showCategoryChoices();
    if (untouched) {
        m_tabs->categoryBox()->setEditText(name);
        m_accepted.insert(static_cast<int>(SongCheck::Category), name);
    }
}

void SongFormWindow::activated() {
    refreshCategory();
}

void SongFormWindow::resizeEvent(QResizeEvent* event) {
    FormWindow::resizeEvent(event);
    if (isVisible() && event->oldSize().isValid()) {
        refreshCategory();
    }
}

void SongFormWindow::accept() {
    if (!acceptFields()) {
        return;
    }
    if (m_settings.autoAddToAlbums()) {
        if (StoreError e = m_rules.addAlbumRecord(m_record)) {
            m_db.warnings().report(warning::kRecordInsertError, e);
            return;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        display(m_record);
        break;
    case FormSession::SaveResult::StayOpen:
        m_tabs->setCurrentIndex(0);
        m_tabs->artistEdit()->setFocus();
        break;
    }
}

} // namespace tunarium
