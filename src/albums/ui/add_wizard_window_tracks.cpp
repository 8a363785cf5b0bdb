// The add wizards' window: the track list, its forms, the moves, the disc read and "Edit All Songs".
#include "albums/ui/add_wizard_window.h"

#include "albums/ui/album_window_parts.h"
#include "catalogue/ui/list_panel_parts.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/track_form_window.h"
#include "albums/wizard_cd_read.h"
#include "catalogue/ui/page_model.h"
#include "ui/dialog_units.h"

#include <QCheckBox>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tunarium {

QWidget* AddWizardWindow::buildSongs() {
    auto* page = new QWidget;
    m_list = new BrowseList(*m_engine);
    m_list->applyFormat(WizardTracks::listFormat(m_wizard->isCompilation()));
    // A disc's tracks in sight at once: room for fourteen.
    setListLines(m_list, m_wizard->isCompilation() ? 270 : 170, 14);
    m_list->setPopupAction([this](QPoint at) { showPopup(at); });
    m_list->viewport()->installEventFilter(this);
    m_thumb = makeThumbBar(*m_engine, m_list);

    // The four moves, as arrows beside the list.
    QVBoxLayout* moveColumn = makeMoveColumn(
        this, [this](MoveDirection d) { move(d); }, m_buttons);

    QHBoxLayout* listRow = listRowLayout(this, m_list, m_thumb, moveColumn);

    auto addButton = [this](const QString& text, std::function<void()> pressed) {
        auto* b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, std::move(pressed));
        m_buttons << b;
        return b;
    };
    auto* buttons = new QGridLayout;
    buttons->addWidget(addButton(QStringLiteral("&Add"), [this] { m_engine->add(); }), 0, 0);
    buttons->addWidget(addButton(QStringLiteral("&Change"), [this] { m_engine->change(); }), 0, 1);
    buttons->addWidget(addButton(QStringLiteral("&Delete"), [this] { m_engine->remove(); }), 0, 2);
    m_readButton = addButton(QStringLiteral("&Read Compact Disc Information"), [this] { readDisc(); });
    buttons->addWidget(m_readButton, 1, 0, 1, 2);
    buttons->addWidget(addButton(QStringLiteral("Edit All Son&gs"), [this] { editAllSongs(); }), 1, 2);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(listRow, 1);
    layout->addLayout(buttons);
    return page;
}

void AddWizardWindow::updateLineCount() {
    fitEngineLines(m_list, *m_engine);
}

void AddWizardWindow::pageChanged() {
    if (m_list == nullptr) {
        return;
    }
    showListPage(*m_engine, m_list, m_thumb);
    const bool rows = m_engine->changeEnabled();
    for (QPushButton* b : std::as_const(m_buttons)) {
        if (b->text() == QStringLiteral("&Change") || b->text() == QStringLiteral("&Delete") ||
            !b->toolTip().isEmpty()) {
            b->setEnabled(rows);
        }
    }
}

void AddWizardWindow::refreshList() {
    if (m_engine && !m_closed) {
        m_engine->setForceRefresh();
        m_engine->refresh();
    }
}

void AddWizardWindow::showPopup(const QPoint& at) {
    showEnginePopup(this, *m_engine, at);
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
    m_list->setFocus();
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
        self->m_list->setFocus();
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
