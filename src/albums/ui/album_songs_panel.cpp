// The songs tab of the album form.
#include "albums/ui/album_songs_panel.h"
#include "albums/album_disc_songs.h"

#include "catalogue/procedure_names.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/form_window.h"
#include "catalogue/ui/list_panel_parts.h"
#include "catalogue/ui/page_model.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"
#include "ui/dialog_units.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tunarium {

AlbumSongsPanel::AlbumSongsPanel(const ProcedureContext& context, FormWindow* form,
                                 std::function<AlbumRecord()> album, std::function<void()> readDisc)
    : m_context(context), m_formWindow(form), m_album(std::move(album)), m_readDisc(std::move(readDisc)) {
    m_engine = std::make_unique<ListEngine>(context.db,
                                            albumSongsListDefinition(context.settings.datePicture()), *this);
    build();
}

QPushButton* AlbumSongsPanel::button(const QString& text, std::function<void()> pressed) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    return b;
}

void AlbumSongsPanel::build() {
    m_list = new BrowseList(*m_engine);
    m_list->setDesignSize(QSize(300, 110));
    m_list->viewport()->installEventFilter(this);
    m_list->setPopupAction([this](QPoint at) { showPopup(at); });
    m_list->setDefaultAction([this] { m_engine->change(); });
    m_thumb = makeThumbBar(*m_engine, m_list);

    const std::pair<MoveDirection, const char*> moves[] = {{MoveDirection::ToTop, "Top"},
                                                           {MoveDirection::Up, "Up"},
                                                           {MoveDirection::Down, "Down"},
                                                           {MoveDirection::ToBottom, "Bottom"}};
    const char* tips[] = {"Move song to the top of its side", "Move song up one", "Move song down one",
                          "Move song to the bottom of its side"};
    auto* moveColumn = new QVBoxLayout;
    int tip = 0;
    for (auto [direction, text] : moves) {
        QPushButton* b = button(QString::fromLatin1(text), [this, d = direction] { moveSelected(d); });
        b->setToolTip(QString::fromLatin1(tips[tip++]));
        m_moves[int(direction)] = b;
        moveColumn->addWidget(b);
    }
    moveColumn->addStretch();

    QHBoxLayout* listRow = listRowLayout(this, m_list, m_thumb, moveColumn);

    m_add = button(QStringLiteral("&Add"), [this] { m_engine->add(); });
    m_copy = button(QStringLiteral("Cop&y"), [this] { copySong(); });
    m_change = button(QStringLiteral("&Change"), [this] { m_engine->change(); });
    m_delete = button(QStringLiteral("&Delete"), [this] { m_engine->remove(); });
    m_editAll = button(QStringLiteral("Edit All Son&gs"), [this] { editAllSongs(); });
    auto* songButtons = new QHBoxLayout;
    for (QPushButton* b : {m_add, m_copy, m_change, m_delete, m_editAll}) {
        songButtons->addWidget(b);
    }
    songButtons->addStretch();

    m_readCd = button(QStringLiteral("Read CD &Information"), [this] {
        if (m_readDisc) {
            m_readDisc();
        }
    });
    m_side = new QSpinBox;
    m_side->setRange(0, 99);
    m_side->setValue(kSingleDiscSide);
    m_side->setSpecialValueText(QStringLiteral(" "));
    m_side->setToolTip(QStringLiteral("The side or disc that new songs and a disc read go to"));
    auto* sideLabel = new QLabel(QStringLiteral("Side/Disc:"));
    sideLabel->setBuddy(m_side);
    m_reassign = button(QStringLiteral("Re-assign Songs"), [this] { reassign(); });
    m_reassign->setToolTip(QStringLiteral("Give this album the songs of its file number and media"));
    auto* discRow = new QHBoxLayout;
    discRow->addWidget(m_readCd);
    discRow->addWidget(sideLabel);
    discRow->addWidget(m_side);
    discRow->addStretch();
    discRow->addWidget(m_reassign);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listRow, 1);
    layout->addLayout(songButtons);
    layout->addLayout(discRow);
}

qint64 AlbumSongsPanel::side() const {
    return m_side->value();
}

bool AlbumSongsPanel::open() {
    if (!m_engine->open(Request::None)) {
        return false;
    }
    const qint64 albumId = m_album().albumId;
    m_engine->setRangeValue(1, {albumId});
    // New songs and a disc read go to the side the album's songs are on (an album kept on side 0
    // stays there).
    qint64 first = kSingleDiscSide;
    if (StoreError e = firstAlbumSide(m_context.db.store(), albumId, first)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        return false;
    }
    m_side->setValue(int(first));
    m_list->applyFormat(albumSongsListFormat(m_context.settings.datePicture()));
    fitEngineLines(m_list, *m_engine);
    m_engine->refresh();
    return !m_engine->failed();
}

void AlbumSongsPanel::close() {
    if (m_songForm) {
        m_songForm->finish(Response::Cancelled);
    }
    m_engine->close();
}

void AlbumSongsPanel::refresh() {
    if (m_engine->isOpen() && !m_engine->formPending()) {
        m_engine->focusGained();
    }
}

void AlbumSongsPanel::setBusy(bool busy) {
    m_busy.set(busy);
}

void AlbumSongsPanel::updateButtons() {
    const bool rows = m_engine->changeEnabled();
    for (QPushButton* b : {m_copy, m_change, m_delete, m_editAll}) {
        b->setEnabled(rows);
    }
    for (QPushButton* b : m_moves) {
        b->setEnabled(rows);
    }
    // Without a file number the songs list is the only way to re-assign.
    m_reassign->setEnabled(hasFileNumber(m_album()) ||
                           m_context.procedures.contains(QString::fromLatin1(procedure::kSelectFileNumber)));
}

void AlbumSongsPanel::pageChanged() {
    showListPage(*m_engine, m_list, m_thumb);
    updateButtons();
}

void AlbumSongsPanel::closeRequested() {
    // A read of the songs failed (the warning was shown): the album form closes.
    closeFormLater(m_formWindow);
}

void AlbumSongsPanel::showPopup(QPoint at) {
    showEnginePopup(this, *m_engine, at);
}

SongFormWindow* AlbumSongsPanel::openSongForm(Request request, const SongRecord& song,
                                              std::function<void(Response, const Row&)> done) {
    AlbumContext albumContext;
    albumContext.mode = 1;
    albumContext.album = m_album();
    albumContext.side = side();
    QPointer<AlbumSongsPanel> self(this);
    auto* form =
        new SongFormWindow(m_context.db, m_context.settings, positionFilePath(m_context.db.collectionDir()),
                           request, song, albumContext, m_formWindow, {});
    QPointer<SongFormWindow> guard(form);
    form->setDone([self, guard, done = std::move(done)](Response response) {
        const Row record = guard ? guard->record() : Row(TableId::Tunarium);
        if (self) {
            self->m_songForm = nullptr;
        }
        if (self && done) {
            done(response, record);
        }
    });
    m_songForm = form;
    if (!form->start(workspaceOf(m_formWindow))) {
        m_songForm = nullptr;
        return nullptr;
    }
    return form;
}

void AlbumSongsPanel::callForm(Request request, const Row& record) {
    QPointer<AlbumSongsPanel> self(this);
    if (request == Request::Delete) {
        AlbumSongs(m_context.db, m_album().albumId).removeFromList(*m_engine, record);
        return;
    }
    if (request == Request::Insert) {
        const SelectedTrack at = selectedTrack(*m_engine);
        openSongForm(Request::Insert, SongRecord{}, [self, at](Response r, const Row& song) {
            if (self) {
                self->afterAdd(r, song, at.side, at.track);
            }
        });
        return;
    }
    openSongForm(request, fromRow<SongRecord>(record), [self](Response r, const Row& song) {
        if (self) {
            self->m_engine->formAnswered(r, song);
        }
    });
}

void AlbumSongsPanel::afterAdd(Response response, const Row& song, qint64 selectedSide,
                               qint64 selectedTrack) {
    if (response != Response::Completed) {
        m_engine->formAnswered(response, song);
        return;
    }
    AlbumSongs songs(m_context.db, m_album().albumId);
    m_engine->formAnswered(response,
                           toRow(songs.placeAdded(fromRow<SongRecord>(song), selectedSide, selectedTrack)));
}

void AlbumSongsPanel::copySong() {
    if (!m_engine->changeEnabled() || m_engine->formPending() || busyElsewhere()) {
        return;
    }
    QPointer<AlbumSongsPanel> self(this);
    openSongForm(Request::Copy, fromRow<SongRecord>(m_engine->record()), [self](Response, const Row& song) {
        if (self) {
            self->m_engine->showRecord(song);
        }
    });
}

void AlbumSongsPanel::moveSelected(MoveDirection direction) {
    if (!m_engine->changeEnabled() || m_engine->formPending() || busyElsewhere()) {
        return;
    }
    const SongRecord song = fromRow<SongRecord>(m_engine->record());
    AlbumSongs songs(m_context.db, song.albumId);
    SongRecord moved;
    if (songs.move(song, direction, moved)) {
        m_engine->showRecord(toRow(moved));
    } else {
        m_engine->focusGained();
    }
    m_list->setFocus();
}

void AlbumSongsPanel::editAllSongs() {
    if (!m_engine->changeEnabled() || m_engine->formPending() || busyElsewhere()) {
        return;
    }
    AlbumSongs songs(m_context.db, m_album().albumId);
    SongRecord first;
    bool found = false;
    if (StoreError e = songs.next(nullptr, first, found)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        return;
    }
    if (found) {
        editFrom(first);
    }
}

// The song form on `song`; left with its OK, it goes on to the next song of the album.
void AlbumSongsPanel::editFrom(const SongRecord& song) {
    QPointer<AlbumSongsPanel> self(this);
    const qint64 albumId = m_album().albumId;
    openSongForm(Request::Change, song, [self, albumId](Response response, const Row& saved) {
        if (!self) {
            return;
        }
        if (response == Response::Completed) {
            AlbumSongs songs(self->m_context.db, albumId);
            const SongRecord at = fromRow<SongRecord>(saved);
            SongRecord next;
            bool found = false;
            if (songs.next(&at, next, found).ok() && found) {
                self->editFrom(next);
                return;
            }
        }
        self->refresh();
    });
}

void AlbumSongsPanel::reassign() {
    if (m_engine->formPending() || busyElsewhere()) {
        return;
    }
    const AlbumRecord album = m_album();
    if (!hasFileNumber(album)) {
        selectFileNumber();
        return;
    }
    const int answer = m_context.prompter.message(reassignQuestion(album));
    if (answer == kButtonNo) {
        selectFileNumber();
        return;
    }
    if (answer != kButtonYes) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AlbumSongs songs(m_context.db, album.albumId);
    const ReassignResult result = songs.reassign(album);
    QApplication::restoreOverrideCursor();
    if (result.stop != ReassignResult::Stop::UpdateFailed || result.assigned > 0) {
        m_context.prompter.message(reassignOutcome(result));
    }
    m_engine->setForceRefresh();
    refresh();
}

void AlbumSongsPanel::selectFileNumber() {
    const QString name = QString::fromLatin1(procedure::kSelectFileNumber);
    if (!m_context.procedures.contains(name)) {
        return;
    }
    ProcedureContext context = m_context.calledFrom(m_formWindow).with(qint64(0));
    QPointer<AlbumSongsPanel> self(this);
    const qint64 albumId = m_album().albumId;
    m_selecting = true;
    context.answer = [self, albumId](int response, const Row& chosen) {
        if (!self) {
            return;
        }
        self->m_selecting = false;
        if (response == static_cast<int>(Response::Completed) && chosen.tableId() == TableId::Tunarium &&
            chosen.size() > 0) {
            AlbumSongs songs(self->m_context.db, albumId);
            if (songs.assignSong(chosen.number(tun::kId))) {
                self->m_engine->setForceRefresh();
                self->refresh();
            }
        }
    };
    if (!m_context.procedures.start(name, context)) {
        m_selecting = false;
    }
}

bool AlbumSongsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Resize) {
        fitEngineLines(m_list, *m_engine);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tunarium
