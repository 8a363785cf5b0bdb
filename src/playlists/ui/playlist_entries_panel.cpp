// The entries list of the playlist form.
#include "playlists/ui/playlist_entries_panel.h"

#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/form_window.h"
#include "catalogue/ui/list_panel_parts.h"
#include "catalogue/ui/page_model.h"
#include "catalogue/ui/songs_browse_window.h"
#include "data/pictures.h"
#include "playlists/playlist_chart.h"
#include "playlists/playlist_forms.h"
#include "playlists/ui/update_playlist_details_window.h"
#include "process/ui/process_window.h"
#include "ui/dialog_units.h"

#include <QApplication>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

PlaylistEntriesPanel::PlaylistEntriesPanel(const ProcedureContext& context, qint64 playlistId,
                                           FormWindow* form)
    : m_context(context), m_playlistId(playlistId), m_formWindow(form), m_entries(context.db, playlistId) {
    m_engine = std::make_unique<ListEngine>(context.db, entriesListDefinition(), *this);
    build();
}

QPushButton* PlaylistEntriesPanel::button(const QString& text, const QString& tip,
                                          std::function<void()> pressed) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    b->setToolTip(tip);
    connect(b, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    return b;
}

void PlaylistEntriesPanel::build() {
    m_list = new BrowseList(*m_engine);
    // Twenty entries in sight at once, a chart's length.
    setListLines(m_list, 300, 20);
    m_list->setToolTip(QStringLiteral("Drag songs here from the Songs window"));
    m_list->setAcceptDrops(true);
    m_list->viewport()->installEventFilter(this);
    m_list->setPopupAction([this](QPoint at) { showPopup(at); });
    m_thumb = makeThumbBar(*m_engine, m_list);

    // The move buttons beside the list, top to bottom as the moves go.
    auto* moves = new QVBoxLayout;
    m_moves[int(EntryMove::Top)] = button(QStringLiteral("Top"), QStringLiteral("Move record to the top"),
                                          [this] { moveSelected(EntryMove::Top); });
    m_moves[int(EntryMove::Up)] = button(QStringLiteral("Up"), QStringLiteral("Move record up one"),
                                         [this] { moveSelected(EntryMove::Up); });
    m_moves[int(EntryMove::Down)] = button(QStringLiteral("Down"), QStringLiteral("Move record down one"),
                                           [this] { moveSelected(EntryMove::Down); });
    m_moves[int(EntryMove::Bottom)] =
        button(QStringLiteral("Bottom"), QStringLiteral("Move record to the bottom"),
               [this] { moveSelected(EntryMove::Bottom); });
    for (QPushButton* b : m_moves) {
        moves->addWidget(b);
    }
    moves->addStretch();
    m_chart =
        button(QStringLiteral("Char&t"),
               QStringLiteral("Copy the current chart order into the last week column"), [this] { chart(); });
    moves->addWidget(m_chart);

    QHBoxLayout* listRow = listRowLayout(this, m_list, m_thumb, moves);

    m_add = button(QStringLiteral("&Add"), {}, [this] { m_engine->add(); });
    m_change = button(QStringLiteral("&Change"), {}, [this] { m_engine->change(); });
    m_delete = button(QStringLiteral("&Delete"), {}, [this] { m_engine->remove(); });
    m_total = new QLabel;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Total Time:")));
    buttons->addWidget(m_total);
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_change);
    buttons->addWidget(m_delete);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(listRow, 1);
    layout->addLayout(buttons);
}

bool PlaylistEntriesPanel::open() {
    if (!m_engine->open(Request::None)) {
        return false;
    }
    m_engine->setRangeValue(1, {m_playlistId});
    m_list->applyFormat(QString::fromLatin1(kEntriesListFormat));
    fitEngineLines(m_list, *m_engine);
    m_engine->refresh();
    updateTotal();
    return !m_engine->failed();
}

void PlaylistEntriesPanel::close() {
    m_engine->close();
}

void PlaylistEntriesPanel::refresh() {
    if (m_engine->isOpen() && !m_engine->formPending()) {
        m_engine->focusGained();
        updateTotal();
    }
}

QString PlaylistEntriesPanel::totalTimeText() const {
    return m_total->text();
}

void PlaylistEntriesPanel::updateTotal() {
    qint64 total = 0;
    if (StoreError e = m_entries.totalTime(total)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("PlaylistDetails"));
    }
    m_total->setText(formatPicture(total, u"@t4"));
}

void PlaylistEntriesPanel::setBusy(bool busy) {
    m_busy.set(busy);
}

void PlaylistEntriesPanel::pageChanged() {
    showListPage(*m_engine, m_list, m_thumb);
    const bool rows = m_engine->changeEnabled();
    for (QPushButton* b : {m_change, m_delete, m_chart}) {
        b->setEnabled(rows);
    }
    for (QPushButton* b : m_moves) {
        b->setEnabled(rows);
    }
}

void PlaylistEntriesPanel::closeRequested() {
    // A read of the entries failed (the warning was shown): the playlist form closes.
    closeFormLater(m_formWindow);
}

void PlaylistEntriesPanel::showPopup(QPoint at) {
    showEnginePopup(this, *m_engine, at);
}

void PlaylistEntriesPanel::callForm(Request request, const Row& record) {
    if (request == Request::Delete) {
        const bool deleted = m_entries.removeEntry(fromRow<PlaylistEntryRecord>(record));
        m_engine->formAnswered(deleted ? Response::Completed : Response::Cancelled, record);
        updateTotal();
        return;
    }
    const int selected = m_engine->selectedIndex();
    const qint64 selectedSequence = request == Request::Insert && selected >= 0
                                        ? m_engine->row(selected).record.number(pla::kPlaylistSeq)
                                        : 0;
    QPointer<PlaylistEntriesPanel> self(this);
    auto* form = new UpdatePlaylistDetailsWindow(
        m_context.calledFrom(m_formWindow), m_playlistId, request, record,
        [self, request, selectedSequence](Response response, const Row& entry) {
            if (!self) {
                return;
            }
            if (request == Request::Insert) {
                self->afterAdd(response, entry, selectedSequence);
            } else {
                self->m_engine->formAnswered(response, entry);
                self->updateTotal();
            }
        });
    m_form = form;
    form->start(workspaceOf(m_formWindow));
}

void PlaylistEntriesPanel::afterAdd(Response response, const Row& entry, qint64 selectedSequence) {
    Row shown = entry;
    if (response == Response::Completed && selectedSequence > 0 &&
        entry.number(pla::kPlaylistSeq) != selectedSequence + 1) {
        PlaylistEntryRecord placed;
        if (m_entries.placeAfter(fromRow<PlaylistEntryRecord>(entry), selectedSequence, placed)) {
            shown = toRow(placed);
        }
    }
    m_engine->formAnswered(response, shown);
    updateTotal();
}

void PlaylistEntriesPanel::moveSelected(EntryMove move) {
    if (!m_engine->changeEnabled() || m_engine->formPending()) {
        return;
    }
    const PlaylistEntryRecord entry = fromRow<PlaylistEntryRecord>(m_engine->record());
    PlaylistEntryRecord moved;
    if (m_entries.move(entry, move, moved)) {
        m_engine->showRecord(toRow(moved));
    } else {
        m_engine->focusGained();
    }
    m_list->setFocus();
}

void PlaylistEntriesPanel::chart() {
    if (!m_engine->changeEnabled() || m_context.db.prompter().message(chartQuestion()) != kButtonOk) {
        return;
    }
    // The playlist form waits while its entries are being charted.
    m_formWindow->setEnabled(false);
    QPointer<PlaylistEntriesPanel> self(this);
    runProcessWindow(workspaceOf(m_formWindow), std::make_unique<ChartProcess>(m_context.db, m_playlistId),
                     [self](bool) {
                         if (!self) {
                             return;
                         }
                         self->m_formWindow->setEnabled(true);
                         self->refresh();
                         // The progress window's frame closes after this; the workspace would then
                         // activate whichever window it likes (the browse behind the form).
                         QTimer::singleShot(0, self, [self] {
                             if (!self) {
                                 return;
                             }
                             if (auto* sub = qobject_cast<QMdiSubWindow*>(self->m_formWindow->parentWidget());
                                 sub && sub->mdiArea()) {
                                 sub->mdiArea()->setActiveSubWindow(sub);
                             }
                             self->m_list->setFocus();
                         });
                     });
}

bool PlaylistEntriesPanel::carriesSongs(const QMimeData* data) {
    return data && (data->hasFormat(QString::fromLatin1(kSongIdMimeType)) || data->hasText());
}

QByteArray PlaylistEntriesPanel::payloadOf(const QMimeData* data) {
    const QString songs = QString::fromLatin1(kSongIdMimeType);
    return data->hasFormat(songs) ? data->data(songs) : data->text().toUtf8();
}

bool PlaylistEntriesPanel::dropSongs(const QByteArray& payload) {
    if (!m_engine->isOpen() || m_engine->formPending()) {
        return false;
    }
    QVector<PlaylistEntryRecord> added;
    if (!m_entries.addDropped(payload, &added)) {
        return false;
    }
    m_engine->showRecord(toRow(added.back()));
    updateTotal();
    return true;
}

bool PlaylistEntriesPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_list->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (carriesSongs(drag->mimeData()) && !m_engine->formPending()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The songs are added once the drag is over: a message about them is not shown from
        // inside the drag.
        QTimer::singleShot(0, this, [this, payload = payloadOf(drop->mimeData())] { dropSongs(payload); });
        return true;
    }
    case QEvent::Resize: {
        fitEngineLines(m_list, *m_engine);
        return false;
    }
    default:
        return false;
    }
}

} // namespace tunarium
