// The saved searches of the playlists browse.
#include "playlists/ui/saved_searches_panel.h"

#include "catalogue/saved_search.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/search_name_dialog.h"
#include "data/table_lease.h"
#include "playlists/playlist_freeze.h"
#include "playlists/procedure_names.h"
#include "playlists/ui/saved_search_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

SavedSearchesPanel::SavedSearchesPanel(const ProcedureContext& context, std::function<void(qint64)> frozen)
    : m_context(context), m_frozen(std::move(frozen)) {
    m_engine = std::make_unique<ListEngine>(context.db, savedSearchesListDefinition(), *this);
    m_list = new BrowseList(*m_engine);
    setListLines(m_list, 170, 6);
    m_list->setToolTip(QStringLiteral("Searches saved from the Songs window's search box"));
    m_list->setDefaultAction([this] { openSelected(); });
    m_thumb = makeThumbBar(*m_engine, m_list);

    auto* buttons = new QVBoxLayout;
    m_open = button(QStringLiteral("&Open"), QStringLiteral("Show the songs the search finds now"),
                    [this] { openSelected(); });
    m_freeze = button(QStringLiteral("Freeze"),
                      QStringLiteral("Make the songs the search finds now an ordinary playlist"),
                      [this] { freezeSelected(); });
    m_rename = button(QStringLiteral("Rena&me\u2026"), {}, [this] { renameSelected(); });
    m_delete = button(QStringLiteral("De&lete"), {}, [this] { deleteSelected(); });
    m_export = button(QStringLiteral("E&xport\u2026"),
                      QStringLiteral("Write the songs the search finds now as an M3U8 playlist"),
                      [this] { exportSelected(); });
    for (QPushButton* b : {m_open, m_freeze, m_rename, m_delete, m_export}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("%1 Saved Searches").arg(QString::fromUtf8(kSavedSearchMark)));
    caption->setBuddy(m_list);
    layout->addWidget(caption);
    layout->addLayout(listRowLayout(this, m_list, m_thumb, buttons), 1);
}

SavedSearchesPanel::~SavedSearchesPanel() {
    m_engine->close();
}

QPushButton* SavedSearchesPanel::button(const QString& text, const QString& tip, std::function<void()> pressed) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    b->setToolTip(tip);
    connect(b, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    return b;
}

bool SavedSearchesPanel::open() {
    if (!m_engine->open(Request::None)) {
        return false;
    }
    m_list->applyFormat(QString::fromLatin1(kSavedSearchesListFormat));
    fitEngineLines(m_list, *m_engine);
    m_engine->refresh();
    return !m_engine->failed();
}

void SavedSearchesPanel::close() {
    m_engine->close();
}

void SavedSearchesPanel::refresh() {
    if (m_engine->isOpen() && !m_engine->formPending()) {
        m_engine->focusGained();
    }
}

void SavedSearchesPanel::setBusy(bool busy) {
    m_busy.set(busy);
}

void SavedSearchesPanel::pageChanged() {
    showListPage(*m_engine, m_list, m_thumb);
    const bool rows = m_engine->changeEnabled();
    for (QPushButton* b : {m_open, m_freeze, m_rename, m_delete}) {
        b->setEnabled(rows);
    }
    m_export->setEnabled(rows && m_context.procedures.contains(QString::fromLatin1(procedure::kExportSearchFile)));
}

// The engine's keys and double click: Change opens, Delete deletes; a saved search is added from
// the songs list only.
void SavedSearchesPanel::callForm(Request request, const Row& record) {
    m_engine->formAnswered(Response::Cancelled, record);
    QTimer::singleShot(0, this, [this, request] {
        if (request == Request::Change) {
            openSelected();
        } else if (request == Request::Delete) {
            deleteSelected();
        }
    });
}

bool SavedSearchesPanel::selected(SavedSearchRecord& out) const {
    if (!m_engine->changeEnabled()) {
        return false;
    }
    out = fromRow<SavedSearchRecord>(m_engine->record());
    return true;
}

SavedSearchWindow* SavedSearchesPanel::openSelected() {
    SavedSearchRecord search;
    if (!selected(search)) {
        return nullptr;
    }
    return SavedSearchWindow::openSearch(m_context.calledFrom(window()), search, m_frozen);
}

void SavedSearchesPanel::freezeSelected() {
    SavedSearchRecord search;
    if (!selected(search)) {
        return;
    }
    const qint64 playlistId = SavedSearchWindow::freezeSearch(m_context.db, search);
    if (playlistId != 0 && m_frozen) {
        m_frozen(playlistId);
    }
}

SearchNameDialog* SavedSearchesPanel::renameSelected() {
    SavedSearchRecord search;
    if (!selected(search)) {
        return nullptr;
    }
    return SearchNameDialog::ask(window(), QStringLiteral("Rename Saved Search"), search.name,
                                 [this, search](const QString& name) mutable {
                                     const TableLease lease(m_context.db, {TableId::SavedSearches});
                                     if (!lease) {
                                         return;
                                     }
                                     switch (SavedSearches(m_context.db).rename(search, name)) {
                                     case SavedSearches::Outcome::Exists:
                                         m_context.db.prompter().message(
                                             {QStringLiteral("Rename Saved Search"),
                                              QStringLiteral("Another saved search is named \"%1\".").arg(name),
                                              PromptIcon::Exclamation, kButtonOk, kButtonOk});
                                         break;
                                     case SavedSearches::Outcome::Saved:
                                         m_engine->showRecord(toRow(search));
                                         return;
                                     case SavedSearches::Outcome::Failed:
                                         break;
                                     }
                                     refresh();
                                 });
}

void SavedSearchesPanel::exportSelected() {
    SavedSearchRecord search;
    if (selected(search)) {
        m_context.procedures.start(QString::fromLatin1(procedure::kExportSearchFile),
                                   m_context.calledFrom(window()).with(search.searchId));
    }
}

void SavedSearchesPanel::deleteSelected() {
    SavedSearchRecord search;
    if (!selected(search)) {
        return;
    }
    const int answer = m_context.db.prompter().message(
        {QStringLiteral("Delete Saved Search"),
         QStringLiteral("Delete the saved search \"%1\"? Its songs stay in the collection.").arg(search.name),
         PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo});
    if (answer == kButtonYes) {
        SavedSearches(m_context.db).remove(search);
    }
    refresh();
}

} // namespace tunarium
