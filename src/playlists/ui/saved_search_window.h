// BrowseSavedSearch: the songs a saved search finds, now, in the order it was saved in, with the
// songs list's columns. The search runs as the search box runs it (narrowed by the search index or
// a range term's key, else its page walked aside with "Searching…" in the title), and the list is
// read again whenever songs are written, here or by another station, so that a song that comes to
// match shows and one that no longer does goes. "Freeze" makes the songs an ordinary playlist;
// "&Change" opens the song form.
#pragma once

#include "catalogue/song_search_run.h"
#include "catalogue/ui/browse_window.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "ui/procedure_registry.h"

#include <functional>
#include <memory>

namespace tunarium {

class SavedSearchWindow : public BrowseWindow {
public:
    using Frozen = std::function<void(qint64 playlistId)>;

    // Opens the list of `search` in the context's workspace; nullptr when its tables cannot be
    // opened or its text no longer reads (told). `frozen` is told the playlist a freeze made.
    static SavedSearchWindow* openSearch(const ProcedureContext& context, const SavedSearchRecord& search,
                                         Frozen frozen = {});

    // Freezes `search` into a new playlist with the tables it needs and tells what it made; the
    // new playlist's number, 0 when nothing was written.
    static qint64 freezeSearch(Database& db, const SavedSearchRecord& search);

    const SavedSearchRecord& search() const { return m_search; }
    QPushButton* freezeButton() const { return m_freeze; }
    const SongSearchRun& run() const { return *m_run; }
    void freeze();

protected:
    void openForm(Request request, const Row& record) override;
    void pageShown() override;

private:
    SavedSearchWindow(const ProcedureContext& context, const SavedSearchRecord& search, Frozen frozen);
    bool begin();
    void followChanges();

    ProcedureContext m_context;
    SavedSearchRecord m_search;
    Frozen m_frozen;
    TableLease m_tables;
    std::unique_ptr<SongSearchRun> m_run; // ends before the base's list engine it walks for
    std::pair<qint64, qint64> m_seen{-1, -1};
    QPushButton* m_freeze = nullptr;
};

// "Freeze"'s message: the playlist made and how many songs it holds.
PromptMessage frozenMessage(const QString& description, qint64 entries);

} // namespace tunarium
