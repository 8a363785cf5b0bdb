// The add wizards' window: the track list, its forms, the moves, the disc read and "Edit All Songs".
#include "albums/ui/add_wizard_window.h"

#include "albums/ui/reading_cd_window.h"
#include "albums/ui/track_form_window.h"
#include "albums/ui/wizard_list_panel.h"
#include "albums/wizard_cd_read.h"
#include "catalogue/ui/list_panel_parts.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

QWidget* AddWizardWindow::buildSongs() {
    m_tracks = new WizardListPanel(*m_engine, WizardTracks::listFormat(m_wizard->isCompilation()),
                                   [this](MoveDirection d) { move(d); });
    // A disc's tracks in sight at once: room for fourteen.
    setListLines(m_tracks->list(), m_wizard->isCompilation() ? 270 : 170, 14);
    m_tracks->addButton(QStringLiteral("&Add"), 0, 0, 1, false, [this] { m_engine->add(); });
    m_tracks->addButton(QStringLiteral("&Change"), 0, 1, 1, true, [this] { m_engine->change(); });
    m_tracks->addButton(QStringLiteral("&Delete"), 0, 2, 1, true, [this] { m_engine->remove(); });
    m_readButton =
        m_tracks->addButton(QStringLiteral("&Read Compact Disc Information"), 1, 0, 2, false, [this] { readDisc(); });
    m_tracks->addButton(QStringLiteral("Edit All Son&gs"), 1, 2, 1, false, [this] { editAllSongs(); });
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_tracks);
    return page;
}

BrowseList* AddWizardWindow::list() const {
    return m_tracks ? m_tracks->list() : nullptr;
}

void AddWizardWindow::pageChanged() {
    if (m_tracks) {
        m_tracks->showPage();
    }
}

void AddWizardWindow::refreshList() {
    if (m_engine && !m_closed) {
        m_engine->setForceRefresh();
        m_engine->refresh();
    }
}

void AddWizardWindow::openTrackForm(Request request, const Row& record,
                                    std::function<void(Response, const Row&)> answered) {
    auto* form = new TrackFormWindow(m_context.db, m_wizard->tracks(), m_wizard->isCompilation(),
                                     m_positionFile, request, record, this, nullptr);
    m_trackForm = form;
    QPointer<TrackFormWindow> guard(form);
    form->setDone([guard, answered = std::move(answered)](Response response) {
        answered(response, guard ? guard->record() : Row(TableId::AddWizard));
    });
    form->start(m_context.workspace);
}

void AddWizardWindow::callForm(Request request, const Row& record) {
    QPointer<AddWizardWindow> self(this);
    openTrackForm(request, record, [self](Response response, const Row& answered) {
        if (self && !self->m_closed) {
            self->m_engine->formAnswered(response, answered);
        }
    });
}

void AddWizardWindow::move(MoveDirection direction) {
    if (m_engine->rowCount() == 0 || m_engine->formPending()) {
        return;
    }
    const MoveResult result = m_wizard->tracks().move(m_engine->record(), direction);
    switch (result.outcome) {
    case MoveResult::Outcome::Moved:
        m_engine->showRecord(result.moved);
        break;
    case MoveResult::Outcome::Unchanged:
        break;
    case MoveResult::Outcome::Failed:
        m_context.prompter.message(moveErrorMessage(m_wizard->tracks().list(), result));
        refreshList();
        break;
    }
    list()->setFocus();
}

void AddWizardWindow::readDisc() {
    if (m_reading || m_trackForm) {
        return;
    }
    readFields();
    auto read = std::make_unique<WizardCdRead>(*m_wizard, m_context.prompter, m_context.settings,
                                               m_context.db.collectionDir());
    const WizardCdRead* job = read.get();
    QPointer<AddWizardWindow> self(this);
    // The wizard waits for the read (its progress window, a window of its own, stays usable);
    // every other window goes on meanwhile.
    setReading(true);
    auto* window = new ReadingCdWindow(std::move(read), this, [self, job](bool succeeded) {
        if (!self || self->m_closed) {
            return;
        }
        self->setReading(false);
        self->m_notice->showHolders(succeeded ? job->holders() : QVector<DiscHolder>());
        if (succeeded) {
            self->m_tabs->setCurrentIndex(1);
        }
        self->refreshList();
        self->list()->setFocus();
    });
    m_reading = window;
    window->start();
}

void AddWizardWindow::setReading(bool reading) {
    m_tabs->setEnabled(!reading);
    m_addToAlbums->setEnabled(!reading);
    m_ok->setEnabled(!reading);
    m_cancel->setEnabled(!reading);
    // The read takes the drive; the watch looks again when it is done.
    if (m_watch) {
        reading ? m_watch->pause() : m_watch->resume();
    }
    showDiscCondition(reading);
}

void AddWizardWindow::showDiscCondition(bool reading) {
    if (!m_readButton || !m_watch) {
        return;
    }
    m_readButton->setEnabled(!reading && m_watch->discReady());
    // The tool tip of the list's buttons says when they follow the rows; this one says why not.
    m_readButton->setStatusTip(m_watch->reason());
}

void AddWizardWindow::editAllSongs() {
    if (m_reading || m_trackForm || m_engine->formPending()) {
        return;
    }
    editFrom(0);
}

// Opens the track form on the row after `track`; each form left with its Ok goes on to the next.
void AddWizardWindow::editFrom(qint64 track) {
    WizardTrackRecord row;
    bool found = false;
    if (StoreError e = m_wizard->tracks().rowAfter(track, row, found)) {
        m_context.prompter.message({QStringLiteral("Unexpected Error"),
                                    e.describe() + u' ' + tableDef(TableId::AddWizard).fileName,
                                    PromptIcon::Stop, kButtonOk, kButtonOk});
        refreshList();
        return;
    }
    if (!found) {
        m_context.prompter.message({QStringLiteral("Information"),
                                    QStringLiteral("End of songs on this album."), PromptIcon::Information,
                                    kButtonOk, kButtonOk});
        refreshList();
        return;
    }
    QPointer<AddWizardWindow> self(this);
    openTrackForm(Request::Change, toRow(row), [self, at = row.track](Response response, const Row&) {
        if (!self || self->m_closed) {
            return;
        }
        if (response == Response::Completed) {
            self->editFrom(at);
        } else {
            self->refreshList();
        }
    });
}

} // namespace tunarium
