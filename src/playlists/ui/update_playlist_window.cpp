// The playlist form.
#include "playlists/ui/update_playlist_window.h"

#include "catalogue/ui/lookup_form_window.h"
#include "catalogue/ui/picture_edit.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "playlists/procedure_names.h"
#include "playlists/ui/playlist_entries_panel.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// The ditto key: Ctrl and the quote key.
constexpr int kDittoVirtualKey = 222;

} // namespace

UpdatePlaylistWindow::UpdatePlaylistWindow(const ProcedureContext& context, Request request,
                                           const Row& playlist, Answer done)
    : UpdatePlaylistWindow(context, request, playlist, std::move(done), std::make_shared<Row>()) {}

UpdatePlaylistWindow::UpdatePlaylistWindow(const ProcedureContext& context, Request request,
                                           const Row& playlist, Answer done, std::shared_ptr<Row> answered)
    : FormWindow(QString::fromLatin1(procedure::kUpdatePlaylist),
                 positionFilePath(context.db.collectionDir()), context.caller,
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_context(context), m_rules(context.db), m_session(context.db, m_rules, request), m_record(playlist),
      m_answered(std::move(answered)) {
    setWindowTitle(QStringLiteral("Update Playlist"));
}

bool UpdatePlaylistWindow::start(QMdiArea* area) {
    if (m_record.tableId() != TableId::PlaylistMaster || m_record.size() == 0) {
        m_record = Row(TableId::PlaylistMaster);
    }
    const bool opens =
        startSession(m_context.db, {TableId::PlaylistMaster, TableId::PlaylistDetails, TableId::Tunarium},
                     m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    build();
    display();
    setWindowTitle(m_session.request() == Request::Insert ? QStringLiteral("Adding a Playlist Record")
                                                          : QStringLiteral("Changing a Playlist Record"));
    resize(sizeHint());
    present(area);
    m_entriesOpen = m_entries->open();
    if (!m_entriesOpen) {
        m_session.cancel();
        finish(Response::Cancelled);
        return false;
    }
    m_description->setFocus();
    return true;
}

void UpdatePlaylistWindow::build() {
    m_tabs = new QTabWidget;
    auto* playList = new QWidget;
    m_description = new PictureEdit(TableId::PlaylistMaster, pld::kPlaylistDescription);
    m_description->installEventFilter(this);
    auto* description = new QFormLayout;
    description->addRow(QStringLiteral("&Playlist Description:"), m_description);
    m_entries = new PlaylistEntriesPanel(m_context, m_record.number(pld::kPlaylistId), this);
    auto* hint = new QLabel(QStringLiteral("Drag from the \"Songs\" window and drop on the Playlist"));
    hint->setForegroundRole(QPalette::PlaceholderText);
    auto* playListLayout = new QVBoxLayout(playList);
    playListLayout->addLayout(description);
    playListLayout->addWidget(m_entries, 1);
    playListLayout->addWidget(hint);
    m_tabs->addTab(playList, QStringLiteral("Play List"));

    auto* notes = new QWidget;
    m_notes = new QPlainTextEdit;
    m_lastEdit = new PictureEdit(TableId::PlaylistMaster, pld::kLastEditDate);
    // OK stamps the date: it is shown, not edited.
    m_lastEdit->setReadOnly(true);
    auto* lastEdit = new QFormLayout;
    lastEdit->addRow(QStringLiteral("Last Edit Date:"), m_lastEdit);
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(m_notes, 1);
    notesLayout->addLayout(lastEdit);
    m_tabs->addTab(notes, QStringLiteral("Notes"));

    const OkCancelRow buttons = makeOkCancelRow(
        this, [this] { accept(); }, [this] { cancelRequested(); }, dismissText(m_session.request()));
    buttons.cancel->setToolTip(dismissTip(m_session.request()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons.layout);
}

void UpdatePlaylistWindow::display() {
    m_description->setValue(m_record.value(pld::kPlaylistDescription));
    m_notes->setPlainText(m_record.text(pld::kNotes));
    m_lastEdit->setValue(m_record.value(pld::kLastEditDate));
}

void UpdatePlaylistWindow::cancelRequested() {
    // Close on a playlist that exists: its entries' changes are saved already; a changed
    // description or notes are saved only when the user says so.
    if (m_session.request() != Request::Insert && m_description) {
        Row shown = m_record;
        shown.setText(pld::kPlaylistDescription, m_description->text());
        shown.setText(pld::kNotes, m_notes->toPlainText());
        if (m_session.changed(shown)) {
            const int answer = m_context.prompter.message(
                saveBeforeCloseQuestion(QStringLiteral("Update Playlist"), QStringLiteral("playlist's fields")));
            if (answer == kButtonYes) {
                accept();
                return;
            }
            if (answer != kButtonNo) {
                return;
            }
        }
    }
    FormWindow::cancelRequested();
}

void UpdatePlaylistWindow::accept() {
    m_record.setText(pld::kPlaylistDescription, m_description->text());
    m_record.setText(pld::kNotes, m_notes->toPlainText());
    m_record.setNumber(pld::kLastEditDate, todayDayNumber());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    switch (result) {
    case FormSession::SaveResult::Closed:
        if (m_session.response() == Response::Completed) {
            PlaylistDitto& ditto = playlistDitto();
            ditto.has = true;
            ditto.description = m_record.text(pld::kPlaylistDescription);
            ditto.lastEditDate = m_record.number(pld::kLastEditDate);
        }
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        display();
        m_description->setFocus();
        break;
    case FormSession::SaveResult::StayOpen:
        m_tabs->setCurrentIndex(0);
        m_description->setFocus();
        m_description->selectAll();
        break;
    }
}

void UpdatePlaylistWindow::ditto() {
    const PlaylistDitto& ditto = playlistDitto();
    if (ditto.has) {
        m_description->setText(ditto.description);
        m_description->setFocus();
    }
}

void UpdatePlaylistWindow::activated() {
    // Songs deleted or changed elsewhere show as they are now.
    if (m_entriesOpen && isEnabled()) {
        m_entries->refresh();
    }
}

void UpdatePlaylistWindow::closed() {
    if (m_entries) {
        m_entries->close();
    }
    m_entriesOpen = false;
    FormWindow::closed();
}

bool UpdatePlaylistWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_description && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers().testFlag(Qt::ControlModifier) && isVirtualKey(key, kDittoVirtualKey)) {
            ditto();
            return true;
        }
    }
    return FormWindow::eventFilter(watched, event);
}

bool UpdatePlaylistWindow::toolbarEnabled(ToolbarButtonId button) const {
    return button == ToolbarButtonId::History && m_description != nullptr && isEnabled();
}

void UpdatePlaylistWindow::toolbarPressed(ToolbarButtonId button) {
    if (toolbarEnabled(button)) {
        ditto();
    }
}

} // namespace tunarium
