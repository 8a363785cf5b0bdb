// The list of a saved search.
#include "playlists/ui/saved_search_window.h"

#include "catalogue/saved_search.h"
#include "catalogue/songs_browse.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"
#include "playlists/playlist_freeze.h"
#include "playlists/procedure_names.h"

#include <QLocale>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace tunarium {

namespace {

// How often the list looks whether songs were written.
constexpr int kChangeWatchMs = 1000;

BrowseOptions savedSearchOptions(const ProcedureContext& context) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kBrowseSavedSearch);
    o.positionFile = positionFilePath(context.db.collectionDir());
    o.titleWithCount = false;
    o.designFormat = QString::fromLatin1(kSongsDesignFormat);
    o.datePicture = context.settings.datePicture();
    o.listTip = QStringLiteral("The songs the saved search finds now");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(440, 200);
    o.minimumSize = QSize(300, 140);
    return o;
}

ListDefinition titled(const SavedSearchRecord& search) {
    ListDefinition d = savedSearchListDefinition();
    d.titleCaption = QStringLiteral("%1 %2").arg(QString::fromUtf8(kSavedSearchMark), search.name);
    return d;
}

} // namespace

PromptMessage frozenMessage(const QString& description, qint64 entries) {
    return {QStringLiteral("Freeze"),
            QStringLiteral("The playlist \"%1\" holds the %2 the search finds now.")
                .arg(description,
                     entries == 1 ? QStringLiteral("1 song")
                                  : QStringLiteral("%1 songs").arg(QLocale(QLocale::English).toString(entries))),
            PromptIcon::Information, kButtonOk, kButtonOk};
}

SavedSearchWindow::SavedSearchWindow(const ProcedureContext& context, const SavedSearchRecord& search,
                                     Frozen frozen)
    : BrowseWindow(context.db, titled(search), savedSearchOptions(context), Request::None, nullptr, {}),
      m_context(context), m_search(search), m_frozen(std::move(frozen)) {
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    m_freeze = addButton(QStringLiteral("Freeze"), [this] { freeze(); });
    m_freeze->setToolTip(QStringLiteral("Make these songs an ordinary playlist"));
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
    m_run = std::make_unique<SongSearchRun>(context.db, engine(), [this] { pageShown(); });
    auto* watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, [this] { followChanges(); });
    watch->start(kChangeWatchMs);
}

SavedSearchWindow* SavedSearchWindow::openSearch(const ProcedureContext& context, const SavedSearchRecord& search,
                                                 Frozen frozen) {
    auto* window = new SavedSearchWindow(context, search, std::move(frozen));
    if (!window->begin() || !window->open(context.workspace)) {
        window->deleteLater();
        return nullptr;
    }
    window->m_run->count();
    return window;
}

bool SavedSearchWindow::begin() {
    m_tables = TableLease(m_context.db, {TableId::Tunarium, TableId::Categories, TableId::SavedSearches});
    if (!m_tables) {
        return false;
    }
    const SongSearch search = savedSearchSearch(m_search);
    if (!search.ok()) {
        m_context.db.prompter().message({QStringLiteral("Saved Search"),
                                         QStringLiteral("The saved search \"%1\" cannot be run: %2")
                                             .arg(m_search.name, search.error),
                                         PromptIcon::Exclamation, kButtonOk, kButtonOk});
        return false;
    }
    const SongSearchPlan plan = planSongSearch(m_context.db.store(), search, {});
    if (plan.error) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, plan.error, QStringLiteral("Tunarium"));
        return false;
    }
    engine().setTab(savedSearchTab(savedSearchOrder(m_search)));
    engine().setUserFilter(plan.condition, true);
    m_run->begin(search, {}, plan);
    m_seen = {m_context.db.store().dataVersion(), m_context.db.store().ownChanges()};
    return true;
}

void SavedSearchWindow::followChanges() {
    Store& store = m_context.db.store();
    if (!engine().isOpen() || engine().formPending() || engine().walking() || !isEnabled()) {
        return;
    }
    const std::pair<qint64, qint64> now{store.dataVersion(), store.ownChanges()};
    if (now == m_seen) {
        return;
    }
    m_seen = now;
    engine().focusGained();
}

void SavedSearchWindow::pageShown() {
    QString title = engine().definition().titleCaption + m_run->suffix();
    setWindowTitle(title);
    m_run->recountWhenChanged();
    m_freeze->setEnabled(engine().rowCount() > 0);
}

void SavedSearchWindow::openForm(Request request, const Row& record) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    auto* form = new SongFormWindow(m_context.db, m_context.settings, options().positionFile, request,
                                    fromRow<SongRecord>(record), {}, this, nullptr);
    QPointer<SongFormWindow> guard(form);
    form->setProcedures(m_context.calledFrom(this));
    QPointer<SavedSearchWindow> self(this);
    form->setDone([self, guard](Response response) {
        if (self) {
            self->engine().formAnswered(response, guard ? guard->record() : Row(TableId::Tunarium));
        }
    });
    form->start(sub ? sub->mdiArea() : nullptr);
}

qint64 SavedSearchWindow::freezeSearch(Database& db, const SavedSearchRecord& search) {
    const TableLease lease(db, {TableId::Tunarium, TableId::Categories, TableId::SavedSearches,
                                TableId::PlaylistMaster, TableId::PlaylistDetails});
    if (!lease) {
        return 0;
    }
    const FrozenPlaylist made = freezeSavedSearch(db, search);
    if (made.playlistId != 0) {
        db.prompter().message(frozenMessage(made.description, made.entries));
    }
    return made.playlistId;
}

void SavedSearchWindow::freeze() {
    const qint64 playlistId = freezeSearch(m_context.db, m_search);
    if (playlistId != 0 && m_frozen) {
        m_frozen(playlistId);
    }
}

} // namespace tunarium
