// The album wizard's songs step: the list of the current side, the song form, the moves and "Edit
// All Son&gs".
#include "albums/ui/album_wizard_songs.h"

#include "albums/album_songs.h"
#include "albums/ui/album_window_parts.h"
#include "albums/ui/wizard_list_panel.h"
#include "catalogue/ui/browse_list.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

AlbumWizardSongsStep::AlbumWizardSongsStep(const ProcedureContext& context, AlbumWizard& wizard,
                                           QWidget* caller, const QString& positionFile,
                                           std::function<void()> readDisc, std::function<void()> nextSide)
    : m_context(context), m_wizard(wizard), m_caller(caller), m_positionFile(positionFile),
      m_engine(std::make_unique<ListEngine>(context.db, albumWizardSongsDefinition(), *this)) {
    auto* top = new QHBoxLayout;
    top->addWidget(stepLabel(QStringLiteral("Step 3:  Enter the song details.")));
    top->addStretch();
    m_sideShown = new QLabel;
    top->addWidget(m_sideShown);
    m_nextSide = new QPushButton(QStringLiteral("Next &Disc or Side"));
    m_nextSide->setAutoDefault(false);
    connect(m_nextSide, &QPushButton::clicked, this, [nextSide = std::move(nextSide)] { nextSide(); });
    top->addWidget(m_nextSide);

    m_panel = new WizardListPanel(*m_engine, QString::fromLatin1(kAlbumWizardSongsFormat),
                                  [this](MoveDirection d) { move(d); });
    m_panel->list()->setDesignSize(QSize(330, 110));
    m_panel->addButton(QStringLiteral("Add"), 0, 0, 1, false, [this] { m_engine->add(); });
    m_panel->addButton(QStringLiteral("Copy"), 0, 1, 1, true, [this] { copySong(); });
    m_panel->addButton(QStringLiteral("Edit"), 0, 2, 1, true, [this] { m_engine->change(); });
    m_panel->addButton(QStringLiteral("Delete"), 0, 3, 1, true, [this] { m_engine->remove(); });
    m_panel->addButton(QStringLiteral("Read CD Information"), 1, 0, 2, false,
                       [readDisc = std::move(readDisc)] { readDisc(); });
    m_panel->addButton(QStringLiteral("Edit All Son&gs"), 1, 2, 2, true, [this] { editAllSongs(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_panel, 1);
}

AlbumWizardSongsStep::~AlbumWizardSongsStep() {
    // The list goes before the engine it shows.
    delete m_panel;
}

bool AlbumWizardSongsStep::open() {
    return m_engine->open();
}

void AlbumWizardSongsStep::close() {
    m_closed = true;
    m_engine->close();
}

BrowseList* AlbumWizardSongsStep::list() const {
    return m_panel->list();
}

QPushButton* AlbumWizardSongsStep::button(const QString& text) const {
    return text == m_nextSide->text() ? m_nextSide : m_panel->button(text);
}

void AlbumWizardSongsStep::fitLines() {
    m_panel->fitLines();
}

void AlbumWizardSongsStep::setSidesEnabled(bool enabled) {
    m_nextSide->setEnabled(enabled);
}

void AlbumWizardSongsStep::showSide() {
    m_engine->setRangeValue(1, {m_wizard.album().albumId, m_wizard.side()});
    m_sideShown->setText(QStringLiteral("Side/Disc: ") + QString::number(m_wizard.side()));
    refreshList();
}

void AlbumWizardSongsStep::refreshList() {
    if (m_engine->isOpen() && !m_closed) {
        m_engine->setForceRefresh();
        m_engine->refresh();
    }
}

void AlbumWizardSongsStep::pageChanged() {
    if (m_panel) {
        m_panel->showPage();
    }
}

void AlbumWizardSongsStep::closeSongForm() {
    if (m_songForm) {
        m_songForm->close();
    }
}

void AlbumWizardSongsStep::copySong() {
    if (m_engine->rowCount() > 0 && !formOpen()) {
        openSongForm(Request::Copy, m_engine->record(), [this](Response, const Row&) { refreshList(); });
    }
}

void AlbumWizardSongsStep::openSongForm(Request request, const Row& record,
                                        std::function<void(Response, const Row&)> answered) {
    // The album's latest facts and the side shown go to the song form as its album context.
    auto* form = new SongFormWindow(m_context.db, m_context.settings, m_positionFile, request,
                                    fromRow<SongRecord>(record), m_wizard.songContext(), m_caller, nullptr);
    m_songForm = form;
    QPointer<SongFormWindow> guard(form);
    form->setDone([guard, answered = std::move(answered)](Response response) {
        answered(response, guard ? guard->record() : Row(TableId::Tunarium));
    });
    form->start(m_context.workspace);
}

// Delete and Add go through the album's songs as in the album form: a delete closes the gap in
// the side's track numbers, a new song goes just after the one selected.
void AlbumWizardSongsStep::callForm(Request request, const Row& record) {
    QPointer<AlbumWizardSongsStep> self(this);
    if (request == Request::Delete) {
        AlbumSongs(m_context.db, m_wizard.album().albumId).removeFromList(*m_engine, record);
        return;
    }
    if (request == Request::Insert) {
        const SelectedTrack at = selectedTrack(*m_engine);
        openSongForm(request, record, [self, at](Response response, const Row& answered) {
            if (!self || self->m_closed) {
                return;
            }
            Row shown = answered;
            if (response == Response::Completed) {
                AlbumSongs songs(self->m_context.db, self->m_wizard.album().albumId);
                shown = toRow(songs.placeAdded(fromRow<SongRecord>(answered), at.side, at.track));
            }
            self->m_engine->formAnswered(response, shown);
        });
        return;
    }
    openSongForm(request, record, [self](Response response, const Row& answered) {
        if (self && !self->m_closed) {
            self->m_engine->formAnswered(response, answered);
        }
    });
}

void AlbumWizardSongsStep::editAllSongs() {
    if (!formOpen()) {
        editAfter(nullptr);
    }
}

void AlbumWizardSongsStep::editAfter(const SongRecord* song) {
    SongRecord next;
    bool found = false;
    if (StoreError e = AlbumSongs(m_context.db, m_wizard.album().albumId).next(song, next, found)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
    }
    if (!found) {
        refreshList();
        return;
    }
    QPointer<AlbumWizardSongsStep> self(this);
    openSongForm(Request::Change, toRow(next), [self, next](Response response, const Row& answered) {
        if (!self || self->m_closed) {
            return;
        }
        if (response == Response::Completed) {
            const SongRecord after = answered.size() > 0 ? fromRow<SongRecord>(answered) : next;
            self->editAfter(&after);
        } else {
            self->refreshList();
        }
    });
}

void AlbumWizardSongsStep::move(MoveDirection direction) {
    if (m_engine->rowCount() == 0 || formOpen()) {
        return;
    }
    SongRecord moved;
    if (AlbumSongs(m_context.db, m_wizard.album().albumId)
            .move(fromRow<SongRecord>(m_engine->record()), direction, moved)) {
        m_engine->showRecord(toRow(moved));
    } else {
        // Already at that end, or the move failed (told): the list as the file has it.
        refreshList();
    }
    list()->setFocus();
}

} // namespace tunarium
