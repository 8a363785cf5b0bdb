// A browse's page read on a thread of its own, through a connection of its own to the collection:
// for a search that may walk far through its order (a word the search index cannot narrow, a
// term that matches few songs or none), so that the window answers while the walk goes on. One
// walk at a time: a newer one cancels the one running at once, and only the newest walk's page is
// ever handed out.
#pragma once

#include "catalogue/list_definition.h"
#include "data/store.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tunarium {

// What a walk reads: a browse's order as its cursor holds it, and where the page begins.
struct PageWalk {
    int run = 0; // set by the walker
    TableId table = TableId::Tunarium;
    QVector<JoinDef> joins;
    int key = 0;
    int rangeLength = 0;
    QVector<QVariant> rangeValues;
    SqlCondition filter;
    bool reverse = false;
    int lookupJoin = -1;
    int lookupKey = 0;
    // The first record at or after it begins the page, topped up backward at the end of the
    // order; empty: the first records of the order.
    KeyPosition from;
    int lines = 10;
    // A fill instead of a page: up to `lines` records from `from` (itself with `inclusive`;
    // empty: from the order's end the walk starts at) toward `direction`, nothing topped up.
    bool fill = false;
    Direction direction = Direction::Forward;
    bool inclusive = true;
};

// The page a walk read, in the list's order (a fill's rows nearest its position first).
struct WalkedPage {
    int run = 0;
    QVector<PageRow> rows;
    int selected = -1; // the row of the first record at or after the position
    bool atTop = false; // no record of the view comes before the first row
    bool atEnd = false; // nor after the last
    qint64 walked = 0;  // index entries the walk passed
    StoreError error;   // the collection could not be opened or read here
};

class PageWalker {
public:
    // Walks the collection in `collectionDir`; its connection is opened at the first walk. `ready`
    // is called on the walker's thread whenever a page can be taken.
    explicit PageWalker(QString collectionDir, std::function<void()> ready = {});
    // Cancels the walk running and waits for the thread to end (at once: the read is stopped).
    ~PageWalker();
    PageWalker(const PageWalker&) = delete;
    PageWalker& operator=(const PageWalker&) = delete;

    // Starts `walk`, cancelling the one running; its run number.
    int start(PageWalk walk);
    // Cancels the walk running; no page comes of it.
    void cancel();
    // A walk was started and its page not yet taken.
    bool busy() const;
    // Index entries the newest walk has passed so far.
    qint64 walked() const;
    // The newest walk's page once it is read (handed out once), else nothing.
    std::optional<WalkedPage> take();

private:
    void work();

    const QString m_dir;
    const std::function<void()> m_ready;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<PageWalk> m_next;
    std::shared_ptr<WalkWatch> m_watch; // the newest walk's
    std::optional<WalkedPage> m_done;
    int m_run = 0;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};

// Reads the page of `walk` through `store` as the list engine positions a page: forward from the
// position, topped up backward when the order ends before the page is full.
WalkedPage walkPage(Store& store, const PageWalk& walk);

} // namespace tunarium
