// The list engine: keys and locators, the form calls with their request and response, the
// popup text and the cells of the page.
#include "catalogue/list_engine.h"

#include <algorithm>

namespace tunarium {

QString ListEngine::cellText(int row, int column) const {
    return m_pictures[column].format(cellValue(row, column));
}

QVariant ListEngine::cellValue(int row, int column) const {
    const ColumnDef& c = m_def.columns[column];
    return c.value ? c.value(m_page[row]) : QVariant();
}

void ListEngine::setColumnPicture(int column, const QString& picture) {
    m_def.columns[column].picture = picture;
    m_pictures[column] = Picture::parse(picture);
}

QString ListEngine::locatorText() const {
    return m_order > 0 ? m_locators[m_order - 1].text() : QString();
}

QString ListEngine::emptyHint() const {
    if (!m_open || m_order == 0 || !m_page.isEmpty() || m_failed) {
        return {};
    }
    const QVector<QVariant>& range = m_rangeValues[m_order - 1];
    if (range.isEmpty()) {
        return {};
    }
    const bool blank = std::all_of(range.begin(), range.end(), [](const QVariant& v) {
        return v.typeId() == QMetaType::QString ? v.toString().trimmed().isEmpty() : v.toLongLong() == 0;
    });
    return blank ? order().rangeHint : QString();
}

void ListEngine::pressKey(ListKey key, QChar character) {
    if (!ready()) {
        return;
    }
    if (m_page.isEmpty()) {
        if (key == ListKey::Insert) {
            add();
        }
        return;
    }
    switch (key) {
    case ListKey::DoubleClick:
        if (selectMode()) {
            select();
        } else {
            change();
        }
        return;
    case ListKey::CtrlEnter:
        change();
        return;
    case ListKey::Insert:
        add();
        return;
    case ListKey::Delete:
        remove();
        return;
    default:
        break;
    }
    Notify n(*this);
    if (order().locator == LocatorKind::Typed) {
        typedLocator(key, character);
    } else if (order().locator == LocatorKind::Step) {
        stepLocator(key, character);
    }
}

void ListEngine::typedLocator(ListKey key, QChar character) {
    ListLocator& typed = locator();
    if (!typed.press(key, character)) {
        return;
    }
    const bool numeric = !m_cursor.leadingIsText();
    seek(m_cursor.positionAtLeading(typed.fieldValue(numeric)));
}

// Typing a letter steps through the names that begin with it, and goes to the first such name
// when the next one begins differently.
void ListEngine::stepLocator(ListKey key, QChar character) {
    if (key != ListKey::Character || !isLocatorCharacter(character) || character == u' ') {
        return;
    }
    // Letters are compared as the keys order them: "É" and "Æ" begin like "E" and "A".
    const QString typed = foldKeyPrefix(QString(character));
    const int field = m_cursor.leadingField();
    auto selectedBegins = [&] {
        const QString name = m_selected >= 0 ? m_page[m_selected].record.value(field).toString() : QString();
        return !name.isEmpty() && !typed.isEmpty() && foldKeyPrefix(name).startsWith(typed);
    };
    if (selectedBegins()) {
        scroll(ScrollAction::OneDown);
        if (m_walking) {
            return; // the next row is read aside: the next letter steps on from it
        }
    }
    if (!selectedBegins() && !m_failed) {
        seek(m_cursor.positionAtLeading(QString(character)));
    }
}

// The selected record as the table holds it now, with its version for the form's change check.
// False when it cannot be handed over: gone (the page is then rebuilt) or unreadable.
bool ListEngine::reReadSelected(Row& out) {
    copySelectedToBuffer();
    const StoreError e = m_db.store().fetch(m_def.table, m_buffer.meta.rec, out);
    if (e.code == code::kRecordNotFound) {
        reload(Reload::AroundSelection);
        newSelection();
        return false;
    }
    if (e) {
        readFailed(e);
        return false;
    }
    m_buffer = out;
    return true;
}

void ListEngine::callForm(Request request, const Row& record) {
    m_formRequest = request;
    m_host.callForm(request, record);
}

void ListEngine::add() {
    if (!ready()) {
        return;
    }
    Row blank(m_def.table);
    const SortOrderDef& s = order();
    const KeyDef& k = tableDef(m_def.table).key(s.key);
    for (int i = 0; i < m_cursor.rangeLength(); ++i) {
        blank.setRaw(k.components[i], m_cursor.rangeValues()[i]);
    }
    m_buffer = blank;
    callForm(Request::Insert, blank);
}

void ListEngine::change() {
    if (!ready() || m_page.isEmpty()) {
        return;
    }
    Notify n(*this);
    Row record;
    if (reReadSelected(record)) {
        callForm(Request::Change, record);
    }
}

void ListEngine::remove() {
    if (!ready() || m_page.isEmpty()) {
        return;
    }
    Notify n(*this);
    Row record;
    if (reReadSelected(record)) {
        callForm(Request::Delete, record);
    }
}

bool ListEngine::select() {
    if (!ready() || m_page.isEmpty() || !selectMode()) {
        return false;
    }
    copySelectedToBuffer();
    m_response = Response::Completed;
    m_host.closeRequested();
    return true;
}

void ListEngine::formAnswered(Response response, const Row& record) {
    if (!formPending()) {
        return;
    }
    const Request request = m_formRequest;
    m_formRequest = Request::None;
    if (!m_open || m_failed) {
        return;
    }
    Notify n(*this);
    if (response == Response::Completed && request == Request::Delete) {
        if (m_selected >= 0 && m_selected < m_page.size()) {
            m_page.removeAt(m_selected);
        }
        reload(Reload::AroundSelection);
    } else if (response == Response::Completed && record.tableId() == m_def.table && record.size() > 0) {
        // The added or changed record, wherever its key now puts it (or, when it left the range
        // or the filter, the record that follows its place). The list no longer stands where the
        // typed text put it: the locator starts again, as after scrolling.
        locator().clear();
        locate(m_cursor.positionFrom(record, true));
    } else {
        reload(Reload::AroundSelection);
    }
    if (m_failed) {
        return;
    }
    computeThumbSteps();
    newSelection();
    refresh();
}

void ListEngine::showRecord(const Row& record) {
    if (!ready() || record.tableId() != m_def.table || record.size() == 0) {
        return;
    }
    Notify n(*this);
    // A record added or taken away changes the count in the title; the locator's text belongs to
    // the old position.
    updateTitle();
    locator().clear();
    locate(m_cursor.positionFrom(record, true));
    if (!m_failed) {
        computeThumbSteps();
        newSelection();
    }
}

QString ListEngine::popupText(const QVector<PopupEntry>& extras) const {
    const bool rows = !m_page.isEmpty();
    QVector<PopupEntry> entries{
        {m_def.addText, true, false}, {m_def.changeText, rows, false}, {m_def.deleteText, rows, false}};
    entries += extras;
    QString text;
    for (const PopupEntry& e : entries) {
        if (e.separatorBefore) {
            text += QStringLiteral("|-");
        }
        if (!text.isEmpty()) {
            text += u'|';
        }
        if (!e.enabled) {
            text += u'~';
        }
        text += e.text;
    }
    return text;
}

bool ListEngine::choosePopup(int entry) {
    switch (entry) {
    case 1:
        add();
        return true;
    case 2:
        change();
        return true;
    case 3:
        remove();
        return true;
    default:
        return false;
    }
}

} // namespace tunarium
