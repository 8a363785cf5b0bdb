// The album wizard's songs step: the list of the current side, the song form, the moves, "Edit All
// Son&gs", the disc read and the next side.
#include "albums/ui/album_wizard_window.h"

#include "albums/album_songs.h"
#include "albums/ui/album_window_parts.h"
#include "catalogue/ui/list_panel_parts.h"
#include "albums/wizard_cd_read.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_window.h"
#include "ui/dialog_units.h"

#include <QComboBox>
#include <QEvent>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

QWidget* AlbumWizardWindow::buildSongs() {
    auto* page = new QWidget;
    auto* top = new QHBoxLayout;
    auto* step = new QLabel(QStringLiteral("Step 3:  Enter the song details."));
    QFont bold = step->font();
    bold.setBold(true);
    step->setFont(bold);
    top->addWidget(step);
    top->addStretch();
    m_sideShown = new QLabel;
    top->addWidget(m_sideShown);
    m_nextSide = new QPushButton(QStringLiteral("Next &Disc or Side"));
    connect(m_nextSide, &QPushButton::clicked, this, &AlbumWizardWindow::nextSide);
    m_buttons << m_nextSide;
    top->addWidget(m_nextSide);

    m_list = new BrowseList(*m_engine);
    m_list->applyFormat(QString::fromLatin1(kAlbumWizardSongsFormat));
    m_list->setDesignSize(QSize(330, 110));
    m_list->setPopupAction([this](QPoint at) { showEnginePopup(this, *m_engine, at); });
    m_list->viewport()->installEventFilter(this);
    m_thumb = makeThumbBar(*m_engine, m_list);

    QVBoxLayout* moveColumn = makeMoveColumn(
        this, [this](MoveDirection d) { move(d); }, m_buttons);
    QHBoxLayout* listRow = listRowLayout(this, m_list, m_thumb, moveColumn);

    auto addButton = [this](const QString& text, std::function<void()> pressed) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, std::move(pressed));
        m_buttons << b;
        return b;
    };
    auto* buttons = new QGridLayout;
    buttons->addWidget(addButton(QStringLiteral("Add"), [this] { m_engine->add(); }), 0, 0);
    buttons->addWidget(addButton(QStringLiteral("Copy"),
                                 [this] {
                                     if (m_engine->rowCount() > 0 && !m_engine->formPending() &&
                                         !m_songForm) {
                                         openSongForm(Request::Copy, m_engine->record(),
                                                      [this](Response, const Row&) { refreshList(); });
                                     }
                                 }),
                       0, 1);
    buttons->addWidget(addButton(QStringLiteral("Edit"), [this] { m_engine->change(); }), 0, 2);
    buttons->addWidget(addButton(QStringLiteral("Delete"), [this] { m_engine->remove(); }), 0, 3);
    buttons->addWidget(addButton(QStringLiteral("Read CD Information"), [this] { readDisc(); }), 1, 0, 1, 2);
    buttons->addWidget(addButton(QStringLiteral("Edit All Son&gs"), [this] { editAllSongs(); }), 1, 2, 1, 2);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(listRow, 1);
    layout->addLayout(buttons);
    return page;
}

void AlbumWizardWindow::updateLineCount() {
    fitEngineLines(m_list, *m_engine);
}

void AlbumWizardWindow::showSide() {
    m_engine->setRangeValue(1, {m_wizard->album().albumId, m_wizard->side()});
    m_sideShown->setText(QStringLiteral("Side/Disc: ") + QString::number(m_wizard->side()));
    refreshList();
}

void AlbumWizardWindow::refreshList() {
    if (m_engine && m_engine->isOpen() && !m_done) {
        m_engine->setForceRefresh();
        m_engine->refresh();
    }
}

void AlbumWizardWindow::pageChanged() {
    if (m_list == nullptr) {
        return;
    }
    showListPage(*m_engine, m_list, m_thumb);
    const bool rows = m_engine->changeEnabled();
    for (QPushButton* b : std::as_const(m_buttons)) {
        const QString text = b->text();
        if (text == QStringLiteral("Copy") || text == QStringLiteral("Edit") ||
            text == QStringLiteral("Delete") || text == QStringLiteral("Edit All Son&gs") ||
            !b->toolTip().isEmpty()) {
            b->setEnabled(rows);
        }
    }
}

bool AlbumWizardWindow::eventFilter(QObject* watched, QEvent* event) {
    if (m_list && watched == m_list->viewport() && event->type() == QEvent::Resize) {
        updateLineCount();
    }
    return FormWindow::eventFilter(watched, event);
}

void AlbumWizardWindow::openSongForm(Request request, const Row& record,
                                     std::function<void(Response, const Row&)> answered) {
    // The album's latest facts and the side shown go to the song form as its album context.
    auto* form = new SongFormWindow(m_context.db, m_context.settings, m_positionFile, request,
                                    fromRow<SongRecord>(record), m_wizard->songContext(), this, nullptr);
    m_songForm = form;
    QPointer<SongFormWindow> guard(form);
    form->setDone([guard, answered = std::move(answered)](Response response) {
        answered(response, guard ? guard->record() : Row(TableId::Tunarium));
    });
    form->start(m_context.workspace);
}

// Delete and Add go through the album's songs as in the album form: a delete closes the gap in
// the side's track numbers, a new song goes just after the one selected.
void AlbumWizardWindow::callForm(Request request, const Row& record) {
    QPointer<AlbumWizardWindow> self(this);
    if (request == Request::Delete) {
        AlbumSongs(m_context.db, m_wizard->album().albumId).removeFromList(*m_engine, record);
        return;
    }
    if (request == Request::Insert) {
        const SelectedTrack at = selectedTrack(*m_engine);
        openSongForm(request, record, [self, at](Response response, const Row& answered) {
            if (!self || self->m_done) {
                return;
            }
            Row shown = answered;
            if (response == Response::Completed) {
                AlbumSongs songs(self->m_context.db, self->m_wizard->album().albumId);
                shown = toRow(songs.placeAdded(fromRow<SongRecord>(answered), at.side, at.track));
            }
            self->m_engine->formAnswered(response, shown);
        });
        return;
    }
    openSongForm(request, record, [self](Response response, const Row& answered) {
        if (self && !self->m_done) {
            self->m_engine->formAnswered(response, answered);
        }
    });
}

void AlbumWizardWindow::editAllSongs() {
    if (m_reading || m_songForm || m_engine->formPending()) {
        return;
    }
    editAfter(Row());
}

// Opens the song form on the album's song after `song` (the first one for a blank row), in key
// order over every side; each form left with OK goes on to the next.
void AlbumWizardWindow::editAfter(const Row& song) {
    const qint64 albumId = m_wizard->album().albumId;
    KeyPosition from{{albumId}};
    bool inclusive = true;
    if (song.size() > 0) {
        from = m_context.db.store().positionOf(song, tun::kKeyAlbumId);
        inclusive = false;
    }
    QVector<Row> next;
    if (StoreError e =
            m_context.db.store().read(TableId::Tunarium, tun::kKeyAlbumId, from, Direction::Forward,
                                      inclusive, 1, next, WalkLimits(1, {albumId}))) {
        m_context.db.warnings().saveError(e);
        m_context.db.warnings().show(warning::kRecordRetrievalError, QStringLiteral("Tunarium"));
        refreshList();
        return;
    }
    if (next.isEmpty()) {
        refreshList();
        return;
    }
    QPointer<AlbumWizardWindow> self(this);
    openSongForm(Request::Change, next[0], [self, at = next[0]](Response response, const Row& answered) {
        if (!self || self->m_done) {
            return;
        }
        if (response == Response::Completed) {
            self->editAfter(answered.size() > 0 ? answered : at);
        } else {
            self->refreshList();
        }
    });
}

void AlbumWizardWindow::move(MoveDirection direction) {
    if (m_engine->rowCount() == 0 || m_engine->formPending() || m_songForm) {
        return;
    }
    const Row& song = m_engine->record();
    const OrderedList list{
        TableId::Tunarium, tun::kKeyAlbumId, {song.number(tun::kAlbumId), song.number(tun::kSide)}};
    const MoveResult result = moveEntry(m_context.db.store(), list, song, direction);
    switch (result.outcome) {
    case MoveResult::Outcome::Moved:
        m_engine->showRecord(result.moved);
        break;
    case MoveResult::Outcome::Unchanged:
        break;
    case MoveResult::Outcome::Failed:
        m_context.prompter.message(moveErrorMessage(list, result));
        refreshList();
        break;
    }
    m_list->setFocus();
}

void AlbumWizardWindow::nextSide() {
    if (m_reading || m_songForm || !m_wizard->sideControlsOn()) {
        return;
    }
    const bool read = m_wizard->nextSide();
    m_side->setValue(m_wizard->side());
    showSide();
    if (read) {
        readDisc();
    }
}

void AlbumWizardWindow::readDisc() {
    if (m_reading || m_songForm) {
        return;
    }
    AlbumWizard* wizard = m_wizard.get();
    auto read = std::make_unique<WizardCdRead>(
        m_context.db, wizard->album(),
        [wizard](const CdReader& reader, const AlbumRecord& album) {
            return wizard->applyRead(reader, album);
        },
        m_context.prompter, m_context.settings, m_context.db.collectionDir());
    const WizardCdRead* job = read.get();
    QPointer<AlbumWizardWindow> self(this);
    setReading(true);
    auto* window = new ReadingCdWindow(std::move(read), this, [self, job](bool succeeded) {
        if (!self || self->m_done) {
            return;
        }
        self->setReading(false);
        self->m_notice->showHolders(succeeded ? job->holders() : QVector<DiscHolder>());
        self->refreshList();
        if (self->m_wizard->discHeld()) {
            // The disc is another album's (said in the message): back to the album's facts.
            self->backToFacts(self->m_media);
            return;
        }
        self->m_list->setFocus();
    });
    m_reading = window;
    window->start();
}

void AlbumWizardWindow::setReading(bool reading) {
    m_tabs->setEnabled(!reading);
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        b->setEnabled(!reading && (b != m_back || m_wizard->backEnabled()) &&
                      (b != m_next || m_wizard->nextEnabled()));
    }
}

} // namespace tunarium
