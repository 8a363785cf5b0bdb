// A search of the songs list while it runs: the first page of a search the index and the keys
// cannot narrow walked on a thread of its own (the list keeps its old page meanwhile, and the
// title says "Searching…" with the songs walked so far), a newer search cancelling the one
// running; and the songs it finds counted after its first page, a slice at a time between the
// window's other events. What the title adds comes from here.
#pragma once

#include "catalogue/list_engine.h"
#include "catalogue/song_search.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace tunarium {

class SongSearchRun : public QObject {
public:
    // `titleChanged` is told whenever suffix() changed outside a refresh of the list.
    SongSearchRun(Database& db, ListEngine& engine, std::function<void()> titleChanged);
    ~SongSearchRun() override;
    SongSearchRun(const SongSearchRun&) = delete;
    SongSearchRun& operator=(const SongSearchRun&) = delete;

    // A new search (`search` may be empty: none) with the query wizard's condition, planned as
    // `plan`, is about to be put on the list: from now on the list's pages are walked aside when
    // the plan does not narrow. Call before the list's refresh; count() after it.
    void begin(const SongSearch& search, const SqlCondition& wizardFilter, const SongSearchPlan& plan);
    // Counts what the search finds, after its first page is shown.
    void count();
    // Planned and counted again once songs were written, here or by another copy, since the last
    // count (the window asks whenever its page is shown).
    void recountWhenChanged();

    // What the title adds: " (Searching… 12,000 songs walked)", " (1,234 found)", " (none found)".
    QString suffix() const;
    const SongSearchPlan& plan() const { return m_plan; }
    // A page is being walked aside.
    bool walking() const { return m_engine.walking(); }
    // Index entries the walk running has passed.
    qint64 walked() const;

    // How often the title tells the songs walked, and what a slice of the count may take before
    // the window has its turn again.
    static constexpr int kProgressMs = 100;
    static constexpr double kCountSliceMs = 15;

private:
    void walkAside(const PageWalk& walk);
    void pollWalk();
    void countFound(int run);
    std::pair<qint64, qint64> changeMark();

    Database& m_db;
    ListEngine& m_engine;
    std::function<void()> m_titleChanged;
    std::unique_ptr<PageWalker> m_walker; // made at the first walk
    QTimer m_progress;
    SongSearch m_search;
    SqlCondition m_wizardFilter;
    SongSearchPlan m_plan;
    SongSearchCount m_count;
    int m_run = 0; // a count started for an earlier search is dropped
    std::pair<qint64, qint64> m_countedAt{-1, -1};
};

} // namespace tunarium
