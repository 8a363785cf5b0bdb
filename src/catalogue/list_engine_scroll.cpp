// The list engine's scrolling and its thumb: moves past the page's edges read the rows beyond
// them, here or (while a search walks aside) on the walk's thread.
#include "catalogue/list_engine.h"
#include "catalogue/list_engine_parts.h"

#include "data/date_time.h"

#include <algorithm>

namespace tunarium {

using engine::BusyScope;
using engine::opposite;
using engine::thumbValue;

void ListEngine::computeThumbSteps() {
    m_thumb = {};
    if (m_cursor.lookupOrder()) {
        return; // the joined names are not the records' own values: no estimate
    }
    QVector<PageRow> last;
    QVector<PageRow> first;
    if (rowCount() < m_lines) {
        // The page holds the whole view: its ends are the order's ends.
        if (!m_page.isEmpty()) {
            first << m_page.front();
            last << m_page.back();
        }
    } else {
        // The ends of the order within its range. The user's filter is left out: finding its first
        // and last match could take two passes over the table, and the thumb only estimates. They
        // are read again only when records were written since.
        const ThumbBasis basis{m_order, m_cursor.rangeValues(), m_descending,
                               {m_db.store().dataVersion(), m_db.store().ownChanges()}};
        if (basis == m_thumbBasis) {
            m_thumb = m_thumbFromEnds;
            return;
        }
        m_thumbBasis = basis;
        m_thumbFromEnds = {};
        BusyScope busy(m_host);
        if (StoreError e = m_cursor.readEnds(first, last)) {
            readFailed(e);
            return;
        }
    }
    if (first.isEmpty() || last.isEmpty()) {
        return;
    }
    const int field = m_cursor.leadingField();
    const FieldDef& f = tableDef(m_def.table).field(field);
    const Row& low = (m_descending ? last : first).front().record;
    const Row& high = (m_descending ? first : last).front().record;
    m_thumb = f.isText() ? ThumbSteps::texts(low.text(field), high.text(field), f.width, order().thumb)
                         : ThumbSteps::numbers(thumbValue(f, low.number(field)).toLongLong(),
                                               thumbValue(f, high.number(field)).toLongLong());
    if (rowCount() >= m_lines) {
        m_thumbFromEnds = m_thumb;
    }
}

void ListEngine::scroll(ScrollAction action) {
    if (!ready() || m_page.isEmpty()) {
        return;
    }
    Notify n(*this);
    const int last = rowCount() - 1;
    FillAside ask;
    ask.action = action;
    switch (action) {
    case ScrollAction::OneUp:
        if (m_selected > 0) {
            --m_selected;
            finishScroll(action, -1);
            return;
        }
        ask.direction = Direction::Backward;
        ask.count = 1;
        break;
    case ScrollAction::OneDown:
        if (m_selected < last) {
            ++m_selected;
            finishScroll(action, -1);
            return;
        }
        ask.count = 1;
        break;
    case ScrollAction::PageUp:
    case ScrollAction::PageDown:
        ask.direction = action == ScrollAction::PageUp ? Direction::Backward : Direction::Forward;
        ask.count = m_lines;
        break;
    case ScrollAction::Top:
    case ScrollAction::Bottom:
        ask.direction = action == ScrollAction::Top ? Direction::Forward : Direction::Backward;
        ask.count = m_lines;
        ask.fresh = true;
        break;
    }
    if (fillAside(ask)) {
        return;
    }
    if (ask.fresh) {
        emptyPage();
        m_view = {};
    }
    finishScroll(action, fill(ask.direction, ask.count));
}

void ListEngine::finishScroll(ScrollAction action, int left) {
    switch (action) {
    case ScrollAction::OneUp:
        m_selected = left < 0 ? m_selected : 0;
        break;
    case ScrollAction::OneDown:
        m_selected = left < 0 ? m_selected : rowCount() - 1;
        break;
    case ScrollAction::PageUp:
        m_selected = std::clamp(m_selected - left, 0, rowCount() - 1);
        break;
    case ScrollAction::PageDown:
        m_selected = std::clamp(m_selected + left, 0, rowCount() - 1);
        break;
    case ScrollAction::Top:
        m_selected = m_page.isEmpty() ? -1 : 0;
        break;
    case ScrollAction::Bottom:
        m_selected = rowCount() - 1;
        break;
    }
    if (m_failed) {
        return;
    }
    locator().clear();
    newSelection();
}

bool ListEngine::fillAside(const FillAside& ask) {
    // Past a known edge nothing is read: the fill here does nothing at once.
    if (!m_walkAside || (!ask.fresh && edgeKnown(ask.direction))) {
        return false;
    }
    PageWalk walk = walkOfView({});
    walk.fill = true;
    walk.direction = ask.direction;
    walk.lines = ask.count;
    if (!ask.fresh) {
        walk.from = m_cursor.positionOf((ask.direction == Direction::Forward ? m_page.back() : m_page.front()).record);
        walk.inclusive = false;
    }
    m_walking = true;
    m_fillAside = ask;
    m_walkAside(walk);
    return true;
}

void ListEngine::pageFilledAside(const FillAside& ask, const WalkedPage& page) {
    if (ask.fresh) {
        emptyPage();
        m_view = {};
    }
    int left = 0;
    if (page.error) {
        // Read here after all: the walk's own connection could not serve it.
        left = fill(ask.direction, ask.count);
    } else {
        if (ask.fresh) {
            setEdge(opposite(ask.direction), true); // read from the order's very end
        }
        QVector<PageRow> rows = page.rows;
        left = placeRows(rows, ask.direction, ask.count);
        m_cursor.clearLookups();
    }
    if (m_failed) {
        return;
    }
    finishScroll(ask.action, left);
}

void ListEngine::seek(const KeyPosition& from) {
    if (!m_walkAside || !walkAside(from)) {
        locate(from);
    }
}

void ListEngine::dragThumb(int position) {
    if (!ready()) {
        return;
    }
    Notify n(*this);
    if (position <= 1) {
        scroll(ScrollAction::Top);
    } else if (position >= kThumbSteps) {
        scroll(ScrollAction::Bottom);
    } else if (m_thumb.isValid()) {
        // Dragging the thumb scrolls: the locator starts again, as after every scroll.
        locator().clear();
        QVariant step = m_thumb.value(m_descending ? kThumbSteps + 1 - position : position);
        if (tableDef(m_def.table).field(m_cursor.leadingField()).mayHoldBareYear) {
            step = releaseFromOrderValue(step.toLongLong());
        }
        seek(m_cursor.positionAtLeading(step));
    }
}

} // namespace tunarium
