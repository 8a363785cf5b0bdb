// The fields an export can write, the marking of the two field lists and the buttons between them.
#include "exchange/export_choice.h"

#include "data/pictures.h"

#include <algorithm>

namespace tunarium {

const QVector<ExportField>& exportableFields() {
    static const QVector<ExportField> fields = [] {
        const char* const table[][2] = {
            {"TUN:Artist", "@s50"},
            {"TUN:Title", "@s50"},
            {"TUN:Mix", "@s30"},
            {"TUN:Album", "@s50"},
            {"TUN:Media", "@s20"},
            {"TUN:FileNumber", "@s20"},
            {"TUN:ReleaseDate", "@d2"},
            {"TUN:CategoryID", "@n-13"},
            {"TUN:ChartNumber", "@n3"},
            {"TUN:TrackNumber", "@n3"},
            {"TUN:Side", "@n2b"},
            {"TUN:Time", "@t4"},
            {"TUN:UserDefinedKeyField", "@s30"},
            {"TUN:AdditionalInformation1", "@s80"},
            {"TUN:AdditionalInformation2", "@s80"},
            {"TUN:AdditionalInformation3", "@s80"},
            {"TUN:BeatsPerMinute", "@n_4b"},
            {"TUN:Style", "@s30"},
            {"TUN:Recording", "@s255"},
            {"TUN:Composer", "@s80"},
            {"TUN:PerformanceNotes", "@s255"},
            {"TUN:LastPlayed", "@d17-"},
            {"TUN:Skips", "@n3"},
            {"TUN:EndType", "@s6"},
            {"TUN:InOut", "@s20"},
            {"TUN:Notes", "@s255"},
            {"TUN:Rating", "@n2"},
            {"TUN:Live", "@n3"},
            {"TUN:DoNotPlay", "@n3"},
            {"CAT:Category", "@s30"},
        };
        QVector<ExportField> list;
        for (const auto& entry : table) {
            list.push_back({QString::fromLatin1(entry[0]), QString::fromLatin1(entry[1]), false});
        }
        return list;
    }();
    return fields;
}

const ExportField* findExportable(QStringView name) {
    const QStringView wanted = name.trimmed();
    for (const ExportField& f : exportableFields()) {
        if (wanted.compare(f.field, Qt::CaseInsensitive) == 0) {
            return &f;
        }
    }
    return nullptr;
}

QString exportPictureText(const QString& picture) {
    const QChar kind = pictureKind(picture);
    if (kind == u'S') {
        return QStringLiteral("Alpha-numeric");
    }
    if (kind == u'N') {
        return QStringLiteral("Numeric");
    }
    return picture;
}

void MarkedList::setCurrent(int row) {
    m_current = rows.isEmpty() ? -1 : std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
}

int MarkedList::markedCount() const {
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const ExportField& f) { return f.mark; }));
}

void MarkedList::click(int row) {
    if (row < 0 || row >= rows.size()) {
        return;
    }
    for (ExportField& f : rows) {
        f.mark = false;
    }
    rows[row].mark = true;
    m_current = row;
    m_anchor = row;
}

void MarkedList::toggle(int row) {
    if (row < 0 || row >= rows.size()) {
        return;
    }
    rows[row].mark = !rows[row].mark;
    m_current = row;
    m_anchor = row;
}

void MarkedList::extend(int row) {
    if (row < 0 || row >= rows.size()) {
        return;
    }
    if (m_anchor < 0 || m_anchor >= rows.size()) {
        click(row);
        return;
    }
    const int first = std::min(m_anchor, row);
    const int last = std::max(m_anchor, row);
    for (int i = 0; i < rows.size(); ++i) {
        rows[i].mark = i >= first && i <= last;
    }
    m_current = row;
}

ExportChoice::ExportChoice() {
    all.rows = exportableFields();
    chosen.rows = all.rows;
    all.setCurrent(0);
    chosen.setCurrent(0);
}

void ExportChoice::add() {
    for (const ExportField& row : all.rows) {
        if (!row.mark) {
            continue;
        }
        auto there = std::find_if(chosen.rows.begin(), chosen.rows.end(),
                                  [&row](const ExportField& f) { return f.field == row.field; });
        if (there != chosen.rows.end()) {
            there->mark = true;
            continue;
        }
        chosen.rows.push_back(row);
        if (chosen.rows.size() == 1) {
            chosen.setCurrent(0);
        }
    }
}

void ExportChoice::remove() {
    int current = chosen.rows.isEmpty() ? -1 : 0;
    for (int i = static_cast<int>(chosen.rows.size()) - 1; i >= 0; --i) {
        if (!chosen.rows[i].mark) {
            continue;
        }
        chosen.rows.removeAt(i);
        if (i <= current) {
            --current;
        }
    }
    // The pointer falls off the top when the first row goes; the list then shows its new first row.
    chosen.setCurrent(std::max(current, 0));
    chosen.resetAnchor();
}

void ExportChoice::shiftUp() {
    const int row = chosen.current();
    if (row <= 0) {
        return;
    }
    chosen.rows.swapItemsAt(row, row - 1);
    chosen.setCurrent(row - 1);
}

void ExportChoice::shiftDown() {
    const int row = chosen.current();
    if (row < 0 || row >= chosen.rows.size() - 1) {
        return;
    }
    chosen.rows.swapItemsAt(row, row + 1);
    chosen.setCurrent(row + 1);
}

void ExportChoice::setPicture(const QString& picture) {
    const int row = chosen.current();
    if (row < 0 || picture.trimmed().isEmpty()) {
        return;
    }
    chosen.rows[row].picture = picture;
}

QString ExportChoice::currentPictureText() const {
    const int row = chosen.current();
    if (row < 0 || row >= chosen.rows.size()) {
        return {};
    }
    return exportPictureText(chosen.rows[row].picture);
}

} // namespace tunarium
