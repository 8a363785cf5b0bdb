// The page walker's thread and the walk of one page.
#include "catalogue/page_walker.h"

#include "catalogue/list_cursor.h"

#include <algorithm>

namespace tunarium {

WalkedPage walkPage(Store& store, const PageWalk& walk) {
    WalkedPage page;
    page.run = walk.run;
    ListCursor cursor(store, walk.table, walk.joins);
    cursor.setOrder(walk.key, walk.rangeLength, walk.rangeValues, walk.filter);
    cursor.setReverse(walk.reverse);
    cursor.setLookupOrder(walk.lookupJoin, walk.lookupKey);
    if ((page.error = cursor.open())) {
        return page;
    }
    const int lines = std::max(1, walk.lines);
    if (walk.fill) {
        page.error = cursor.read(walk.from, walk.direction, walk.inclusive, lines, page.rows);
        return page;
    }
    QVector<PageRow> ahead;
    if ((page.error = cursor.read(walk.from, Direction::Forward, true, lines, ahead))) {
        return page;
    }
    const bool fromStart = walk.from.values.isEmpty();
    page.atEnd = ahead.size() < lines;
    page.atTop = fromStart;
    if (ahead.isEmpty() && fromStart) {
        page.atTop = true;
        return page;
    }
    // The order ends before the page is full: the records just before the position fill it.
    const int left = lines - static_cast<int>(ahead.size());
    QVector<PageRow> before;
    if (left > 0 && !fromStart) {
        const KeyPosition back = ahead.isEmpty() ? walk.from : cursor.positionOf(ahead.front().record);
        if ((page.error = cursor.read(back, Direction::Backward, false, left, before))) {
            return page;
        }
        page.atTop = before.size() < left;
    }
    std::reverse(before.begin(), before.end());
    page.rows = std::move(before);
    page.selected = ahead.isEmpty() ? static_cast<int>(page.rows.size()) - 1 : static_cast<int>(page.rows.size());
    page.rows += ahead;
    return page;
}

PageWalker::PageWalker(QString collectionDir, std::function<void()> ready)
    : m_dir(std::move(collectionDir)), m_ready(std::move(ready)) {
    m_thread = std::thread([this] { work(); });
}

PageWalker::~PageWalker() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        if (m_watch) {
            m_watch->cancel();
        }
    }
    m_wake.notify_all();
    m_thread.join();
}

int PageWalker::start(PageWalk walk) {
    {
        std::lock_guard lock(m_mutex);
        if (m_watch) {
            m_watch->cancel();
        }
        m_watch = std::make_shared<WalkWatch>();
        walk.run = ++m_run;
        m_next = std::move(walk);
        m_done.reset();
        m_busy = true;
    }
    m_wake.notify_all();
    return m_run;
}

void PageWalker::cancel() {
    std::lock_guard lock(m_mutex);
    if (m_watch) {
        m_watch->cancel();
    }
    m_next.reset();
    m_done.reset();
    m_busy = false;
    ++m_run;
}

bool PageWalker::busy() const {
    std::lock_guard lock(m_mutex);
    return m_busy;
}

qint64 PageWalker::walked() const {
    std::lock_guard lock(m_mutex);
    return m_watch ? m_watch->walked() : 0;
}

std::optional<WalkedPage> PageWalker::take() {
    std::lock_guard lock(m_mutex);
    std::optional<WalkedPage> page = std::move(m_done);
    m_done.reset();
    if (page) {
        m_busy = false;
    }
    return page;
}

void PageWalker::work() {
    // The browse's lease on the window's connection has brought its tables to their current
    // structure: this connection only reads them.
    std::unique_ptr<Store> store;
    for (;;) {
        PageWalk walk;
        std::shared_ptr<WalkWatch> watch;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_next.has_value(); });
            if (m_quit) {
                break;
            }
            walk = std::move(*m_next);
            m_next.reset();
            watch = m_watch;
        }
        WalkedPage page;
        page.run = walk.run;
        if (!store) {
            store = makeStore(m_dir);
            if ((page.error = store->open(m_dir))) {
                store.reset();
            }
        }
        if (store && !page.error && !watch->cancelled()) {
            store->watchReads(watch);
            // One snapshot for the page: the forward read and the records before it agree.
            ReadTransaction snapshot(*store);
            page = walkPage(*store, walk);
            page.walked = watch->walked();
        }
        bool done = false;
        {
            std::lock_guard lock(m_mutex);
            if (walk.run == m_run && !watch->cancelled()) {
                m_done = std::move(page);
                done = true;
            }
        }
        if (done && m_ready) {
            m_ready();
        }
    }
    if (store) {
        store->watchReads(nullptr);
        store->close();
    }
}

} // namespace tunarium
