// A search of the songs list while it runs: the walk aside, its progress and the count.
#include "catalogue/song_search_run.h"

#include <QLocale>
#include <QPointer>

namespace tunarium {

SongSearchRun::SongSearchRun(Database& db, ListEngine& engine, std::function<void()> titleChanged)
    : m_db(db), m_engine(engine), m_titleChanged(std::move(titleChanged)) {
    m_progress.setInterval(kProgressMs);
    connect(&m_progress, &QTimer::timeout, this, [this] {
        if (m_engine.walking() && m_titleChanged) {
            m_titleChanged();
        }
    });
}

SongSearchRun::~SongSearchRun() {
    m_engine.setWalkAside({});
    m_walker.reset(); // its thread ends before this object does
}

void SongSearchRun::begin(const SongSearch& search, const SqlCondition& wizardFilter, const SongSearchPlan& plan) {
    m_search = search;
    m_wizardFilter = wizardFilter;
    m_plan = plan;
    m_countedAt = changeMark();
    ++m_run;
    m_count = {};
    // A plan that narrows reads few songs: its pages are read here at once.
    if (!search.isEmpty() && !plan.narrowed) {
        m_engine.setWalkAside([this](const PageWalk& walk) { walkAside(walk); });
    } else {
        if (m_walker) {
            m_walker->cancel();
        }
        m_engine.setWalkAside({});
        m_progress.stop();
    }
}

void SongSearchRun::walkAside(const PageWalk& walk) {
    if (!m_walker) {
        QPointer<SongSearchRun> self(this);
        // Told on the walker's thread: the page is taken on this object's own.
        m_walker = std::make_unique<PageWalker>(m_db.collectionDir(), [self] {
            QMetaObject::invokeMethod(
                self.data(), [self] { if (self) { self->pollWalk(); } }, Qt::QueuedConnection);
        });
    }
    m_walker->start(walk);
    m_progress.start();
}

void SongSearchRun::pollWalk() {
    if (!m_walker) {
        return;
    }
    std::optional<WalkedPage> page = m_walker->take();
    if (!page) {
        return;
    }
    m_progress.stop();
    if (!page->error && page->atTop && page->atEnd) {
        // The page holds every song the search finds: nothing is left to count.
        m_plan.found = page->rows.size();
        m_count = {};
        ++m_run;
    }
    m_engine.pageWalked(*page);
}

qint64 SongSearchRun::walked() const {
    return m_walker ? m_walker->walked() : 0;
}

QString SongSearchRun::suffix() const {
    if (m_engine.walking()) {
        return QStringLiteral(" (Searching\u2026 %1 songs walked)").arg(QLocale(QLocale::English).toString(walked()));
    }
    return songSearchTitleSuffix(m_search, m_plan);
}

void SongSearchRun::count() {
    if (m_search.isEmpty() || m_plan.found >= 0) {
        return;
    }
    m_count = SongSearchCount(m_db.store(), m_plan);
    // The first page is painted before the count: the count only adds to the title, a slice at a
    // time between the window's other events.
    QTimer::singleShot(0, this, [this, run = m_run] { countFound(run); });
}

void SongSearchRun::countFound(int run) {
    if (run != m_run) {
        return; // a later search took over
    }
    if (m_count.step(kCountSliceMs)) {
        QTimer::singleShot(0, this, [this, run] { countFound(run); });
        return;
    }
    if (m_count.error()) {
        return;
    }
    m_plan.found = m_count.found();
    if (m_titleChanged) {
        m_titleChanged();
    }
}

std::pair<qint64, qint64> SongSearchRun::changeMark() {
    return {m_db.store().dataVersion(), m_db.store().ownChanges()};
}

void SongSearchRun::recountWhenChanged() {
    if (m_search.isEmpty()) {
        return;
    }
    const std::pair<qint64, qint64> mark = changeMark();
    if (mark == m_countedAt) {
        return;
    }
    m_countedAt = mark;
    // Planned again: the songs written may have changed what the index offers.
    const SongSearchPlan plan = planSongSearch(m_db.store(), m_search, m_wizardFilter);
    if (plan.error) {
        return;
    }
    m_plan = plan;
    ++m_run;
    m_count = {};
    count();
}

} // namespace tunarium
