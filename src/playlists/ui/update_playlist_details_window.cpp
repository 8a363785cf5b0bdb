// The playlist entry form.
#include "playlists/ui/update_playlist_details_window.h"

#include "catalogue/ui/picture_edit.h"
#include "data/app_paths.h"
#include "playlists/playlist_entries.h"
#include "playlists/procedure_names.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QFormLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

UpdatePlaylistDetailsWindow::UpdatePlaylistDetailsWindow(const ProcedureContext& context, qint64 playlistId,
                                                         Request request, const Row& entry, Answer done)
    : UpdatePlaylistDetailsWindow(context, playlistId, request, entry, std::move(done),
                                  std::make_shared<Row>()) {}

UpdatePlaylistDetailsWindow::UpdatePlaylistDetailsWindow(const ProcedureContext& context, qint64 playlistId,
                                                         Request request, const Row& entry, Answer done,
                                                         std::shared_ptr<Row> answered)
    : FormWindow(QString::fromLatin1(procedure::kUpdatePlaylistDetails),
                 positionFilePath(context.db.collectionDir()), context.caller,
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_context(context), m_rules(context.db, playlistId), m_session(context.db, m_rules, request),
      m_playlistId(playlistId), m_record(entry), m_answered(std::move(answered)) {
    setWindowTitle(QStringLiteral("Update the PlaylistDetails File"));
}

bool UpdatePlaylistDetailsWindow::start(QMdiArea* area) {
    if (m_record.tableId() != TableId::PlaylistDetails || m_record.size() == 0) {
        m_record = Row(TableId::PlaylistDetails);
    }
    const bool opens =
        startSession(m_context.db, {TableId::PlaylistDetails, TableId::Tunarium}, m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    build();
    m_notes->setValue(m_record.value(pla::kPlaylistNotes));
    showSong();
    setWindowTitle(m_session.request() == Request::Insert ? QStringLiteral("Adding a Playlist Detail")
                                                          : QStringLiteral("Changing a Playlist Detail"));
    resize(sizeHint());
    setMinimumSize(size());
    present(area);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setMinimumSize(sub->minimumSizeHint());
    }
    m_notes->setFocus();
    return true;
}

void UpdatePlaylistDetailsWindow::build() {
    m_notes = new PictureEdit(TableId::PlaylistDetails, pla::kPlaylistNotes);
    m_selectSong = new QPushButton(QStringLiteral("&Select Song"));
    m_selectSong->setAutoDefault(false);
    // The songs selection list belongs to another room: it is there once that room registers it.
    m_selectSong->setEnabled(
        m_context.procedures.contains(QString::fromLatin1(procedure::kSelectFileNumber)));
    connect(m_selectSong, &QPushButton::clicked, this, &UpdatePlaylistDetailsWindow::selectSong);
    m_artist = new PictureEdit(TableId::Tunarium, tun::kArtist);
    m_title = new PictureEdit(TableId::Tunarium, tun::kTitle);
    for (QLineEdit* shown : {m_artist, m_title}) {
        shown->setReadOnly(true);
    }
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Playlist Notes:"), m_notes);
    fields->addRow(QString(), m_selectSong);
    fields->addRow(QStringLiteral("&Artist:"), m_artist);
    fields->addRow(QStringLiteral("&Title:"), m_title);
    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { cancelRequested(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

void UpdatePlaylistDetailsWindow::showSong() {
    SongRecord song;
    bool found = false;
    if (StoreError e =
            PlaylistEntries(m_context.db, m_playlistId).songOf(m_record.number(pla::kId), song, found)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
    }
    m_artist->setText(song.artist);
    m_title->setText(song.title);
}

void UpdatePlaylistDetailsWindow::setSong(qint64 songId) {
    m_record.setNumber(pla::kId, songId);
    showSong();
}

void UpdatePlaylistDetailsWindow::selectSong() {
    ProcedureContext context = m_context.calledFrom(this).with(m_record.number(pla::kId));
    QPointer<UpdatePlaylistDetailsWindow> self(this);
    context.answer = [self](int response, const Row& chosen) {
        if (self && response == static_cast<int>(Response::Completed) &&
            chosen.tableId() == TableId::Tunarium && chosen.size() > 0) {
            self->setSong(chosen.number(tun::kId));
        }
    };
    m_context.procedures.start(QString::fromLatin1(procedure::kSelectFileNumber), context);
}

void UpdatePlaylistDetailsWindow::accept() {
    if (m_record.number(pla::kId) == 0) {
        // An entry is a song in the playlist: one without a song would print as a blank line.
        m_context.prompter.message({windowTitle(),
                                    QStringLiteral("The entry has no song. Press Select Song to choose one, or Cancel."),
                                    PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_selectSong->setFocus();
        return;
    }
    m_record.setText(pla::kPlaylistNotes, m_notes->text());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        m_notes->setValue(m_record.value(pla::kPlaylistNotes));
        showSong();
        m_notes->setFocus();
        break;
    case FormSession::SaveResult::StayOpen:
        m_notes->setFocus();
        break;
    }
}

} // namespace tunarium
