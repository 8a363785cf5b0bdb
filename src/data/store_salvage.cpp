// Salvage of a damaged collection file, page by page: which table each readable page belongs to,
// its records read into rows, and the count kept for every table.
#include "data/dictionary_tables.h"
#include "data/file_pages.h"
#include "data/schema_sql.h"
#include "data/store_maintenance.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace tunarium {

namespace {

using pages::BTreePage;
using pages::PageFile;
using pages::PageKind;
using pages::Record;
using pages::Value;

// Who a page belongs to: a table of the dictionary (its TableId, from 0) or one of these.
constexpr int kUnknown = -1;  // no b-tree that could be read reaches it
constexpr int kFree = -2;     // on the freelist
constexpr int kOverflow = -3; // part of a record too long for its page
constexpr int kOther = -4;    // the schema, a key, the search index, another table
constexpr int kCounts = -5;   // the table of counts

// The columns of a table as a file stores them, and where each field of the dictionary is.
struct Layout {
    QStringList names;
    QVector<int> kinds; // 0 any, 1 integer, 2 text
    QVector<int> fieldColumn;

    bool matches(const Record& r) const {
        if (r.values.size() != names.size() || names.isEmpty()) {
            return false;
        }
        for (int i = 0; i < kinds.size(); ++i) {
            const Value::Kind k = r.values[i].kind;
            if ((kinds[i] == 1 && k != Value::Kind::Integer) || (kinds[i] == 2 && k != Value::Kind::Text)) {
                return false;
            }
        }
        // The record number is kept beside the rowid.
        return names[0] != QLatin1String(sql::kRecColumn) || r.values[0].integer == r.rowid;
    }
};

Layout layoutOf(const TableDef& t, const QStringList& names, const QVector<int>& kinds) {
    Layout l;
    l.names = names;
    l.kinds = kinds;
    for (int i = 0; i < t.fieldCount(); ++i) {
        int at = -1;
        for (int c = 0; c < names.size(); ++c) {
            if (names[c].compare(sql::fieldColumn(t, i), Qt::CaseInsensitive) == 0) {
                at = c;
            }
        }
        l.fieldColumn << at;
    }
    return l;
}

// The columns of the table as this version makes it.
Layout currentLayout(const TableDef& t) {
    const QStringList names = sql::storedColumns(t);
    QVector<int> kinds;
    for (const QString& name : names) {
        const int field = t.fieldIndex(name);
        kinds << (field >= 0 && !t.field(field).isText() ? 1 : field >= 0 ? 2 : name.startsWith(u'_') ? 1 : 2);
    }
    return layoutOf(t, names, kinds);
}

// The songs' columns before the audio file and the musical key were kept (structure 6): a file of
// that version that lost its schema still has its songs read.
Layout songsLayoutBeforeFiles(const TableDef& t) {
    const QStringList added{sql::fieldColumn(t, tun::kFilePath), sql::fieldColumn(t, tun::kFileModified),
                            sql::fieldColumn(t, tun::kFileMissing), sql::fieldColumn(t, tun::kMusicalKey),
                            sql::foldedColumn(t, tun::kFilePath), sql::foldedColumn(t, tun::kMusicalKey)};
    const Layout now = currentLayout(t);
    QStringList names;
    QVector<int> kinds;
    for (int c = 0; c < now.names.size(); ++c) {
        if (!added.contains(now.names[c])) {
            names << now.names[c];
            kinds << now.kinds[c];
        }
    }
    return layoutOf(t, names, kinds);
}

// The columns named by a CREATE TABLE text as the store writes it: `"Name" TYPE ...` in order.
Layout layoutFromSql(const TableDef& t, const QString& text) {
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.lastIndexOf(u')');
    if (open < 0 || close <= open) {
        return {};
    }
    QStringList defs;
    QString current;
    bool quoted = false;
    QChar quote;
    int depth = 0;
    for (qsizetype i = open + 1; i < close; ++i) {
        const QChar c = text[i];
        if (quoted) {
            quoted = c != quote;
        } else if (c == u'"' || c == u'\'' || c == u'`') {
            quoted = true;
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u',' && depth == 0) {
            defs << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    defs << current.trimmed();
    QStringList names;
    QVector<int> kinds;
    for (const QString& def : defs) {
        QString name;
        QString rest;
        if (def.startsWith(u'"')) {
            qsizetype i = 1;
            for (; i < def.size(); ++i) {
                if (def[i] == u'"') {
                    if (i + 1 < def.size() && def[i + 1] == u'"') {
                        name += u'"';
                        ++i;
                        continue;
                    }
                    break;
                }
                name += def[i];
            }
            rest = def.mid(i + 1).trimmed();
        } else {
            name = def.section(u' ', 0, 0);
            rest = def.section(u' ', 1).trimmed();
        }
        const QString type = rest.section(u' ', 0, 0).toUpper();
        // An order column is virtual: computed on reading, it has no place in the records.
        if (rest.contains(QLatin1String(" GENERATED ALWAYS AS ")) &&
            rest.endsWith(QLatin1String(" VIRTUAL"))) {
            continue;
        }
        if (name.isEmpty() || QStringList{"PRIMARY", "UNIQUE", "CHECK", "CONSTRAINT", "FOREIGN"}.contains(
                                  name.toUpper())) {
            continue;
        }
        names << name;
        kinds << (type.startsWith(QLatin1String("INT")) ? 1 : type == QLatin1String("TEXT") ? 2 : 0);
    }
    return layoutOf(t, names, kinds);
}

Row rowOf(const TableDef& t, const Layout& layout, const Record& r) {
    Row row(t.id);
    for (int i = 0; i < t.fieldCount(); ++i) {
        const int c = layout.fieldColumn[i];
        if (c < 0 || c >= r.values.size()) {
            continue;
        }
        const Value& v = r.values[c];
        const bool number = v.kind == Value::Kind::Integer || v.kind == Value::Kind::Real;
        const qint64 n = v.kind == Value::Kind::Real ? qRound64(v.real) : v.integer;
        if (t.field(i).isText()) {
            if (v.kind == Value::Kind::Text) {
                row.setText(i, v.text);
            } else if (number) {
                row.setText(i, QString::number(n));
            }
        } else if (number) {
            row.setNumber(i, n);
        } else if (v.kind == Value::Kind::Text) {
            row.setNumber(i, v.text.trimmed().toLongLong());
        }
    }
    return row;
}

// One page of a table that salvage reads.
struct TablePage {
    qint64 page = 0;
    qint64 firstRowid = 0;
    bool reached = false; // the table's b-tree reaches it
    int layout = 0;       // which of the table's layouts its records have
};

class Salvage {
public:
    explicit Salvage(PageFile& file) : m_file(file), m_owner(file.pageCount() + 1, kUnknown) {
        for (const TableDef& t : allTables()) {
            m_layouts[static_cast<int>(t.id)] << currentLayout(t);
        }
        m_layouts[static_cast<int>(TableId::Tunarium)] << songsLayoutBeforeFiles(tableDef(TableId::Tunarium));
    }

    QVector<SalvageCount> run(const std::function<void(Row)>& take) {
        QVector<SalvageCount> counts(kTableCount);
        markFreePages();
        readSchema();
        markOverflowPages();
        findTablePages();
        readCounts();
        for (const TableDef& t : allTables()) {
            const int id = static_cast<int>(t.id);
            SalvageCount& c = counts[id];
            c.expected = m_expected.value(t.label, -1);
            c.readable = m_winner[id].size();
            c.read = handOn(t, take);
            c.unreadable = c.readable == 0 && c.expected < 0;
        }
        return counts;
    }

private:
    void own(qint64 page, int owner) {
        if (page >= 1 && page < m_owner.size()) {
            m_owner[page] = owner;
        }
    }

    void markFreePages() {
        // Trunk pages: the next trunk, the number of leaves, the leaves.
        QSet<quint32> seen;
        for (quint32 trunk = m_file.freelistTrunk(); trunk != 0 && trunk <= m_file.pageCount();) {
            if (seen.contains(trunk)) {
                break;
            }
            seen.insert(trunk);
            const QByteArray data = m_file.page(trunk);
            if (data.size() < 8) {
                break;
            }
            const auto* p = reinterpret_cast<const uchar*>(data.constData());
            own(trunk, kFree);
            const auto word = [p](int at) {
                return (quint32(p[at]) << 24) | (quint32(p[at + 1]) << 16) | (quint32(p[at + 2]) << 8) | p[at + 3];
            };
            const quint32 leaves = std::min<quint32>(word(4), static_cast<quint32>((data.size() - 8) / 4));
            for (quint32 i = 0; i < leaves; ++i) {
                own(word(8 + 4 * static_cast<int>(i)), kFree);
            }
            trunk = word(0);
        }
    }

    // Walks a b-tree from `root`, marking its pages with `owner`; `leaf` gets every leaf page
    // (and, for an index, every interior page, whose cells hold records too).
    // True when every page it met parsed.
    bool walk(qint64 root, int owner, const std::function<void(qint64, const QByteArray&, const BTreePage&)>& leaf) {
        QVector<qint64> pending{root};
        QSet<qint64> seen;
        bool whole = true;
        while (!pending.isEmpty()) {
            const qint64 n = pending.takeLast();
            if (n < 1 || n > m_file.pageCount() || seen.contains(n) || m_owner[n] == kFree) {
                whole = whole && seen.contains(n);
                continue;
            }
            seen.insert(n);
            const QByteArray data = m_file.page(n);
            const BTreePage b = m_file.btree(n, data);
            if (b.kind == PageKind::Unreadable) {
                whole = false;
                continue;
            }
            own(n, owner);
            if (b.kind == PageKind::TableInterior || b.kind == PageKind::IndexInterior) {
                for (int cell : b.cells) {
                    pending << m_file.leftChild(data, cell);
                }
                pending << b.rightmost;
            }
            if (leaf && b.kind != PageKind::TableInterior) {
                leaf(n, data, b);
            }
        }
        return whole;
    }

    void readSchema() {
        QList<Record> entries;
        walk(1, kOther, [&](qint64, const QByteArray& data, const BTreePage& b) {
            if (b.kind != PageKind::TableLeaf) {
                return;
            }
            for (int cell : b.cells) {
                Record r;
                if (m_file.tableLeafRecord(data, cell, r) && r.values.size() == 5 &&
                    r.values[3].kind == Value::Kind::Integer) {
                    entries << r;
                }
            }
        });
        for (const Record& r : entries) {
            const QString type = r.values[0].text;
            const QString name = r.values[1].text;
            const qint64 root = r.values[3].integer;
            if (root < 2) {
                continue;
            }
            int owner = kOther;
            for (const TableDef& t : allTables()) {
                if (type == QLatin1String("table") && name == t.label) {
                    owner = static_cast<int>(t.id);
                    const Layout l = layoutFromSql(t, r.values[4].text);
                    if (!l.names.isEmpty()) {
                        m_layouts[owner].prepend(l);
                    }
                }
            }
            if (name == QLatin1String(sql::kCountTable)) {
                owner = kCounts;
                m_countsRoot = root;
            }
            m_roots << qMakePair(root, owner);
        }
        for (const auto& [root, owner] : m_roots) {
            if (owner != kCounts) {
                walk(root, owner, {});
            }
        }
    }

    void markOverflowPages() {
        for (qint64 n = 1; n <= m_file.pageCount(); ++n) {
            if (m_owner[n] == kFree || m_owner[n] == kOverflow) {
                continue;
            }
            const QByteArray data = m_file.page(n);
            const BTreePage b = m_file.btree(n, data);
            if (b.kind != PageKind::TableLeaf) {
                continue;
            }
            for (int cell : b.cells) {
                qint64 rowid = 0;
                quint32 first = 0;
                if (m_file.tableLeafCell(data, cell, rowid, first) && first != 0) {
                    for (quint32 o : m_file.overflowChain(first)) {
                        if (m_owner[o] == kUnknown) {
                            m_owner[o] = kOverflow;
                        }
                    }
                }
            }
        }
    }

    // The table whose records fill a page no b-tree reaches: the one whose layout most of its
    // records match; -1 when none does.
    int tableOfPage(const QByteArray& data, const BTreePage& b, int& layout) const {
        QVector<Record> records;
        for (int cell : b.cells) {
            Record r;
            if (m_file.tableLeafRecord(data, cell, r)) {
                records << r;
            }
        }
        int best = -1;
        int bestMatches = 0;
        for (int id = 0; id < kTableCount; ++id) {
            for (int l = 0; l < m_layouts[id].size(); ++l) {
                const Layout& candidate = m_layouts[id][l];
                const auto matches = std::count_if(records.begin(), records.end(),
                                                   [&](const Record& r) { return candidate.matches(r); });
                if (matches > bestMatches) {
                    best = id;
                    layout = l;
                    bestMatches = static_cast<int>(matches);
                }
            }
        }
        return bestMatches * 2 > b.cells.size() ? best : -1;
    }

    void findTablePages() {
        // Pages the b-trees reach first, so that their records win over a stray copy.
        for (bool reached : {true, false}) {
            for (qint64 n = 1; n <= m_file.pageCount(); ++n) {
                const int owner = m_owner[n];
                if (reached ? owner < 0 : owner != kUnknown) {
                    continue;
                }
                const QByteArray data = m_file.page(n);
                const BTreePage b = m_file.btree(n, data);
                if (b.kind != PageKind::TableLeaf || b.cells.isEmpty()) {
                    continue;
                }
                TablePage tp;
                tp.page = n;
                tp.reached = reached;
                const int table = reached ? owner : tableOfPage(data, b, tp.layout);
                if (table < 0) {
                    continue;
                }
                QHash<qint64, qint64>& winners = m_winner[table];
                bool first = true;
                for (int cell : b.cells) {
                    qint64 rowid = 0;
                    quint32 overflow = 0;
                    if (!m_file.tableLeafCell(data, cell, rowid, overflow)) {
                        continue;
                    }
                    if (first) {
                        tp.firstRowid = rowid;
                        first = false;
                    }
                    if (!winners.contains(rowid)) {
                        winners.insert(rowid, n);
                    }
                }
                m_pages[table] << tp;
            }
        }
    }

    qint64 handOn(const TableDef& t, const std::function<void(Row)>& take) {
        const int id = static_cast<int>(t.id);
        QVector<TablePage>& list = m_pages[id];
        std::sort(list.begin(), list.end(),
                  [](const TablePage& a, const TablePage& b) { return a.firstRowid < b.firstRowid; });
        qint64 read = 0;
        for (const TablePage& tp : list) {
            const QByteArray data = m_file.page(tp.page);
            const BTreePage b = m_file.btree(tp.page, data);
            for (int cell : b.cells) {
                Record r;
                if (!m_file.tableLeafRecord(data, cell, r) || m_winner[id].value(r.rowid) != tp.page) {
                    continue;
                }
                // A reached page's records are taken in the table's first layout that fits.
                const QVector<Layout>& layouts = m_layouts[id];
                int l = tp.layout;
                if (tp.reached) {
                    l = 0;
                    while (l < layouts.size() && !layouts[l].matches(r)) {
                        ++l;
                    }
                    if (l == layouts.size()) {
                        continue;
                    }
                } else if (!layouts[l].matches(r)) {
                    continue;
                }
                take(rowOf(t, layouts[l], r));
                ++read;
            }
        }
        return read;
    }

    // The counts kept: from the table of counts when the schema names it, else from every index
    // page no b-tree reaches whose records look like its rows (a label, a count, a last number).
    void readCounts() {
        QSet<QString> labels;
        for (const TableDef& t : allTables()) {
            labels.insert(t.label);
        }
        const auto take = [&](const QByteArray& data, const BTreePage& b, QHash<QString, qint64>& into) {
            const bool interior = b.kind == PageKind::IndexInterior;
            if (!interior && b.kind != PageKind::IndexLeaf) {
                return;
            }
            for (int cell : b.cells) {
                Record r;
                if (m_file.indexRecord(data, cell, interior, r) && r.values.size() == 3 &&
                    r.values[0].kind == Value::Kind::Text && labels.contains(r.values[0].text) &&
                    r.values[1].kind == Value::Kind::Integer && r.values[2].kind == Value::Kind::Integer) {
                    into.insert(r.values[0].text, r.values[1].integer);
                }
            }
        };
        if (m_countsRoot > 0 &&
            walk(m_countsRoot, kCounts,
                 [&](qint64, const QByteArray& data, const BTreePage& b) { take(data, b, m_expected); })) {
            // Read whole, it has a row for every table the file ever held.
            for (const QString& label : labels) {
                if (!m_expected.contains(label)) {
                    m_expected.insert(label, 0);
                }
            }
            return;
        }
        QHash<QString, QList<qint64>> found;
        for (qint64 n = 1; n <= m_file.pageCount(); ++n) {
            if (m_owner[n] != kUnknown) {
                continue;
            }
            const QByteArray data = m_file.page(n);
            QHash<QString, qint64> page;
            take(data, m_file.btree(n, data), page);
            for (auto it = page.cbegin(); it != page.cend(); ++it) {
                found[it.key()] << it.value();
            }
        }
        // A label found with two different counts (a stray copy of the page) gives no count.
        for (auto it = found.cbegin(); it != found.cend(); ++it) {
            const QList<qint64>& values = it.value();
            if (!m_expected.contains(it.key()) && std::all_of(values.begin(), values.end(), [&](qint64 v) {
                    return v == values.first();
                })) {
                m_expected.insert(it.key(), values.first());
            }
        }
    }

    PageFile& m_file;
    QVector<int> m_owner;
    std::array<QVector<Layout>, kTableCount> m_layouts;
    std::array<QVector<TablePage>, kTableCount> m_pages;
    // Per table: which page each record number is read from.
    std::array<QHash<qint64, qint64>, kTableCount> m_winner;
    QList<QPair<qint64, int>> m_roots;
    qint64 m_countsRoot = 0;
    QHash<QString, qint64> m_expected;
};

} // namespace

QVector<SalvageCount> StoreMaintenance::salvageFile(const QString& path, const std::function<void(Row)>& take) {
    PageFile file;
    if (!file.open(path)) {
        QVector<SalvageCount> counts(kTableCount);
        for (SalvageCount& c : counts) {
            c.unreadable = true;
        }
        return counts;
    }
    return Salvage(file).run(take);
}

} // namespace tunarium
