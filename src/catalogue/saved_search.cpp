// Saved searches: their records, their list and the walk over their songs.
#include "catalogue/saved_search.h"

#include "catalogue/songs_browse.h"
#include "data/date_time.h"
#include "data/key_walk.h"

namespace tunarium {

namespace {

QString cleanName(const QString& name) {
    return trimTrailingBlanks(name.trimmed()).left(kSavedSearchNameWidth);
}

constexpr const char* kLabel = "SavedSearches";

} // namespace

QString savedSearchNameProblem(const QString& name) {
    return cleanName(name).isEmpty() ? QStringLiteral("A saved search needs a name.") : QString();
}

QString savedSearchTextProblem(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return QStringLiteral("Type a search in the box first: there is nothing to save.");
    }
    const SongSearch search = parseSongSearch(text);
    return search.ok() ? QString() : search.error;
}

StoreError findSavedSearch(Store& store, const QString& name, SavedSearchRecord& out, bool& found) {
    found = false;
    const QString wanted = cleanName(name);
    if (wanted.isEmpty()) {
        return {};
    }
    StoreError e = store.get(ssr::kKeyName, {wanted}, out);
    if (e.code == code::kRecordNotFound) {
        return {};
    }
    // The key finds the first name that folds alike; only the same letters, case aside, are the
    // same name.
    found = e.ok() && out.name.compare(wanted, Qt::CaseInsensitive) == 0;
    return e;
}

ListDefinition savedSearchesListDefinition() {
    ListDefinition d;
    d.table = TableId::SavedSearches;
    SortOrderDef byName;
    byName.key = ssr::kKeyName;
    byName.thumb = ThumbOptions{true, true, false, false};
    d.sortOrders = {byName};
    d.columns = {ColumnDef{QStringLiteral(" "), QStringLiteral("@s2"),
                           [](const PageRow&) { return QVariant(QString::fromUtf8(kSavedSearchMark)); }},
                 recordColumn(QStringLiteral("Saved Search"), ssr::kName, QStringLiteral("@s40")),
                 recordColumn(QStringLiteral("Search"), ssr::kSearchText, QStringLiteral("@s60"))};
    d.titleCaption = QStringLiteral("Saved Searches");
    d.changeText = QStringLiteral("&Open");
    return d;
}

ListDefinition savedSearchListDefinition() {
    ListDefinition d = songsListDefinition();
    for (SortOrderDef& order : d.sortOrders) {
        order.rangeLength = 0;
        order.rangeHint.clear();
    }
    d.titleCaption.clear();
    d.titleSuffix.clear();
    return d;
}

int savedSearchOrder(const SavedSearchRecord& search) {
    const qint64 orders = songsListDefinition().sortOrders.size();
    return search.sortOrder >= 1 && search.sortOrder <= orders ? static_cast<int>(search.sortOrder)
                                                               : kSongsByArtist;
}

int savedSearchTab(int order) {
    return order == kSongsByArtist ? 0 : order;
}

int savedSearchKey(const SavedSearchRecord& search) {
    return songsListDefinition().sortOrders[savedSearchOrder(search) - 1].key;
}

SongSearch savedSearchSearch(const SavedSearchRecord& search) {
    return parseSongSearch(search.searchText);
}

StoreError savedSearchCondition(Store& store, const SavedSearchRecord& search, SqlCondition& out) {
    const SongSearch parsed = savedSearchSearch(search);
    if (!parsed.ok()) {
        return StoreError::driver(0, QStringLiteral("The saved search %1 cannot be run: %2")
                                         .arg(search.name, parsed.error));
    }
    const SongSearchPlan plan = planSongSearch(store, parsed, {});
    if (plan.error) {
        return plan.error;
    }
    out = plan.condition;
    return {};
}

StoreError walkSavedSearch(Store& store, const SavedSearchRecord& search,
                           const std::function<bool(const Row&)>& visit) {
    SqlCondition condition;
    if (StoreError e = savedSearchCondition(store, search, condition)) {
        return e;
    }
    KeyWalkLimits limits;
    limits.filter = condition;
    KeyWalk walk(store, TableId::Tunarium, savedSearchKey(search), limits);
    return walk.forEach(visit);
}

SavedSearches::Outcome SavedSearches::save(const QString& name, const QString& text, int sortOrder,
                                           bool replace, SavedSearchRecord& saved) {
    Store& store = m_db.store();
    bool found = false;
    SavedSearchRecord existing;
    if (StoreError e = findSavedSearch(store, name, existing, found)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QString::fromLatin1(kLabel));
        return Outcome::Failed;
    }
    if (found && !replace) {
        saved = existing;
        return Outcome::Exists;
    }
    SavedSearchRecord record = found ? existing : SavedSearchRecord{};
    record.searchText = text.trimmed().left(kSongSearchWidth);
    record.sortOrder = sortOrder;
    record.lastEditDate = todayDayNumber();
    if (found) {
        const Outcome outcome = rewrite(record);
        saved = record;
        return outcome;
    }
    record.name = cleanName(name);
    if (StoreError e = store.nextNumber(TableId::SavedSearches, record.searchId)) {
        m_db.warnings().report(warning::kAutoIncrementError, e, QString::fromLatin1(kLabel));
        return Outcome::Failed;
    }
    if (StoreError e = store.insert(record)) {
        // Another station saved the same name in the meantime: the key refuses the second.
        if (e.code == code::kDuplicateKey) {
            saved = record;
            return Outcome::Exists;
        }
        m_db.warnings().report(warning::kRecordInsertError, e, QString::fromLatin1(kLabel));
        return Outcome::Failed;
    }
    saved = record;
    return Outcome::Saved;
}

SavedSearches::Outcome SavedSearches::rename(SavedSearchRecord& search, const QString& name) {
    const QString wanted = cleanName(name);
    bool found = false;
    SavedSearchRecord other;
    if (StoreError e = findSavedSearch(m_db.store(), wanted, other, found)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QString::fromLatin1(kLabel));
        return Outcome::Failed;
    }
    if (found && other.searchId != search.searchId) {
        return Outcome::Exists;
    }
    SavedSearchRecord renamed = search;
    renamed.name = wanted;
    renamed.lastEditDate = todayDayNumber();
    const Outcome outcome = rewrite(renamed);
    if (outcome == Outcome::Saved) {
        search = renamed;
    }
    return outcome;
}

SavedSearches::Outcome SavedSearches::rewrite(SavedSearchRecord& search) {
    switch (m_db.update(search, false)) {
    case kRoutineDone:
        return Outcome::Saved;
    case kRoutineChanged:
        // Changed by another station since it was read: the record now holds its version, which
        // the user sees before choosing again.
        return Outcome::Failed;
    default:
        return Outcome::Failed;
    }
}

bool SavedSearches::remove(const SavedSearchRecord& search) {
    return m_db.remove(search) == kRoutineDone;
}

} // namespace tunarium
