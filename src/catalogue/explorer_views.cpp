// The explorers' field tables, orders and header marker.
#include "catalogue/explorer_views.h"

#include "data/dictionary_tables.h"

namespace tunarium {

namespace {

const ThumbOptions kAlpha{true, false, false, false};
const ThumbOptions kAlphaNumeric{true, true, false, false};
const ThumbOptions kNumeric{false, true, false, false};

// A field of the browse table, ordered by `key` (-1: not orderable).
struct FieldEntry {
    int field; // of the browse table; -1 for the joined category's name
    const char* header;
    const char* description;
    const char* picture;
    int key;
    ThumbOptions thumb;
};

void addFields(ExplorerDefinition& d, std::initializer_list<FieldEntry> entries) {
    const TableDef& t = tableDef(d.list.table);
    for (const FieldEntry& s : entries) {
        ExplorerField f;
        f.header = QString::fromUtf8(s.header);
        f.description = QString::fromUtf8(s.description);
        f.picture = QString::fromLatin1(s.picture);
        ColumnDef column;
        if (s.field < 0) {
            f.name = tableDef(TableId::Categories).qualifiedField(cat::kCategory);
            column = lookupColumn(f.header, 0, cat::kCategory, f.picture);
        } else {
            f.name = t.qualifiedField(s.field);
            f.justification = t.field(s.field).isText() ? u'L' : u'R';
            column = recordColumn(f.header, s.field, f.picture);
        }
        if (s.key >= 0) {
            SortOrderDef order{s.key, 0, LocatorKind::Typed, s.thumb, {}};
            if (s.field < 0) {
                order.lookupJoin = 0;
                order.lookupKey = cat::kKeyOrderName;
            }
            d.list.sortOrders << order;
            f.sortOrder = static_cast<int>(d.list.sortOrders.size());
        }
        d.fields << f;
        d.list.columns << column;
    }
}

} // namespace

ExplorerDefinition xploreSongsDefinition() {
    ExplorerDefinition d;
    d.procedure = QStringLiteral("XploreSongs");
    d.caption = QStringLiteral("Explore Songs");
    d.listName = QStringLiteral("?Browse");
    d.locatorPicture = QStringLiteral("@s20");
    d.designFormat = QStringLiteral(
        "75L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@43L(2)|M~File "
        "Number~@s20@51L(1)|M~Category~L(0)@s30@23R(2)|M~Time~C(0)@t9b@48R(2)|M~Release Date~C(0)@d2@24R(2)|"
        "M~BPM~C(0)@n_4b@120R(2)|M~User Defined Key Field~C(0)@s30@42R(2)|M~Last Played~C(0)@d17-@120R(2)|M~"
        "Style~C(0)@s30@21R(2)|M~Trk~C(0)@n3@35R(2)|M~Side/Disc~C(0)@n2b@8R(2)|M~Rating~C(0)@n2@");
    d.list.table = TableId::Tunarium;
    d.list.joins = {{TableId::Categories, tableDef(TableId::Categories).primaryKey, tun::kCategoryId}};
    d.list.titleCaption = QStringLiteral("Songs - ");
    d.list.titleSuffix = QStringLiteral(" entries");
    addFields(
        d, {
               {tun::kArtist, "Artist", "Artist", "@s50", tun::kSongsByArtist, kAlphaNumeric},
               {tun::kTitle, "Title", "Title", "@s50", tun::kSongsByTitle, kAlpha},
               {tun::kAlbum, "Album", "Album", "@s50", tun::kSongsByAlbum, kAlpha},
               {tun::kMedia, "Media", "Media", "@s20", tun::kSongsByMedia, kAlpha},
               {tun::kFileNumber, "File Number", "File Number", "@s20", tun::kKeyOrderFileNumber, kAlpha},
               {-1, "Category", "Category", "@s30", tun::kKeyOrderCategory, kAlpha},
               {tun::kTime, "Time", "Time", "@t4b", tun::kKeyOrderTime, kNumeric},
               {tun::kReleaseDate, "Release Date", "Release", "@d2", tun::kKeyOrderReleaseDate, kNumeric},
               {tun::kBeatsPerMinute, "BPM", "Beats Per Minute (BPM)", "@n_4b", tun::kKeyOrderBeatsPerMinute,
                kNumeric},
               {tun::kUserDefinedKeyField, "User Defined Key Field", "User Defined Key Field", "@s30",
                tun::kKeyOrderUserDefinedKey, kAlpha},
               {tun::kLastPlayed, "Last Played", "Last Played", "@d17-", tun::kKeyOrderLastPlayed, kNumeric},
               {tun::kStyle, "Style", "Style", "@s30", tun::kKeyOrderStyle, kAlpha},
               {tun::kTrackNumber, "Trk", "Track", "@n3", tun::kKeyOrderTrackNumber, kNumeric},
               {tun::kSide, "Side/Disc", "Side/Disc", "@n2b", tun::kKeyOrderSide, kNumeric},
               {tun::kRating, "Rating", "Rating", "@n2", tun::kKeyOrderRating, kNumeric},
               {tun::kMusicalKey, "Key", "Musical Key", "@s3", tun::kKeyOrderMusicalKey, kAlpha},
               {tun::kMix, "Mix", "Mix or Version Specific Information", "@s30", tun::kKeyOrderMix, kAlpha},
           });
    return d;
}

ExplorerDefinition xploreAlbumsDefinition() {
    ExplorerDefinition d;
    d.procedure = QStringLiteral("XploreAlbums");
    d.caption = QStringLiteral("Albums");
    d.listName = QStringLiteral("?Browse:1");
    d.locatorPicture = QStringLiteral("@s15");
    d.designFormat = QStringLiteral(
        "80L(2)|M~Album~@s50@80L(2)|M~Artist~@s50@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@45L(2)|M~"
        "Release Date~@d2@128R(2)|M~XCCD~C(1)@s32@");
    d.list.table = TableId::Album;
    d.list.titleCaption = QStringLiteral("Albums - ");
    d.list.titleSuffix = QStringLiteral(" entries");
    d.list.addText = QStringLiteral("&Add");
    addFields(d,
              {
                  {alb::kAlbum, "Album", "Album", "@s50", alb::kKeyOrderAlbum, kAlpha},
                  {alb::kArtist, "Artist", "Artist", "@s50", alb::kKeyOrderArtist, kAlphaNumeric},
                  {alb::kMedia, "Media", "Media", "@s20", alb::kKeyOrderMedia, kAlpha},
                  {alb::kFileNumber, "File Number", "File Number", "@s20", alb::kKeyOrderFileNumber, kAlpha},
                  {alb::kReleaseDate, "Release Date", "Release", "@d2", alb::kKeyOrderReleaseDate, kNumeric},
                  {alb::kXccd, "XCCD", "CDDB Number (Internet)", "@s32", alb::kKeyOrderXccd, kAlpha},
              });
    return d;
}

QString explorerOrderText(const ExplorerDefinition& def, int field, bool descending) {
    if (field < 0 || field >= def.fields.size() || def.fields[field].sortOrder == 0) {
        return QStringLiteral("Escape|Key Sequence");
    }
    const ExplorerField& f = def.fields[field];
    const bool text = f.picture.startsWith(QStringLiteral("@s"), Qt::CaseInsensitive);
    const QString base = text ? QStringLiteral("UPPER(") + f.name + u')' : f.name;
    return descending ? u'-' + base : base;
}

QVector<int> explorerColumnFields(const ExplorerDefinition& def, const ListFormat& format) {
    return formatColumnFields(format, static_cast<int>(def.fields.size()));
}

QVector<ColumnDef> explorerColumns(const ExplorerDefinition& def, const QVector<int>& fields) {
    QVector<ColumnDef> columns;
    for (int field : fields) {
        columns << def.list.columns[field];
    }
    return columns;
}

ExplorerOrder::Click ExplorerOrder::click(const ExplorerDefinition& def, int field) {
    if (field < 0 || field >= def.fields.size()) {
        return Click::Ignored;
    }
    if (def.fields[field].sortOrder == 0) {
        return Click::NotOrderable;
    }
    m_descending = field == m_field ? !m_descending : false;
    m_field = field;
    return Click::Ordered;
}

QString ExplorerOrder::headerText(int field, const QString& header) const {
    if (field != m_field) {
        return header;
    }
    return (m_descending ? QStringLiteral("<") : QStringLiteral(">")) + header;
}

QString ExplorerOrder::notOrderableMessage(const ExplorerDefinition& def, int field, const QString& header) {
    const QString name = field >= 0 && field < def.fields.size() ? def.fields[field].name : QString();
    return QStringLiteral("Data cannot be ordered on column: ") + header + QStringLiteral(" (") + name + u')';
}

ExplorerFormatEditor::ExplorerFormatEditor(const ExplorerDefinition& def, const QString& format)
    : m_def(def) {
    ListFormat parsed = ListFormat::parse(format);
    QVector<int> fields = explorerColumnFields(def, parsed);
    if (fields.isEmpty()) {
        parsed = ListFormat::parse(def.designFormat);
        fields = explorerColumnFields(def, parsed);
    }
    m_columns = parsed.columns();
    for (int i = 0; i < m_columns.size(); ++i) {
        m_columns[i].fieldNumber = fields[i] + 1;
    }
}

QVector<int> ExplorerFormatEditor::hiddenFields() const {
    QVector<int> hidden;
    for (int f = 0; f < m_def.fields.size(); ++f) {
        bool shown = false;
        for (const ListFormatColumn& c : m_columns) {
            shown = shown || c.fieldNumber == f + 1;
        }
        if (!shown) {
            hidden << f;
        }
    }
    return hidden;
}

int ExplorerFormatEditor::add(int field, int afterColumn) {
    if (field < 0 || field >= m_def.fields.size() || !hiddenFields().contains(field)) {
        return -1;
    }
    const ExplorerField& f = m_def.fields[field];
    ListFormatColumn c;
    c.width = 60;
    c.justification = f.justification;
    c.headerJustification = u'L';
    c.header = f.header;
    c.picture = f.picture;
    c.resizable = true;
    c.border = true;
    c.fieldNumber = field + 1;
    const int at = afterColumn < 0 || afterColumn >= m_columns.size() ? static_cast<int>(m_columns.size())
                                                                      : afterColumn + 1;
    m_columns.insert(at, c);
    return at;
}

bool ExplorerFormatEditor::hide(int column) {
    if (column < 0 || column >= m_columns.size() || m_columns.size() <= 1) {
        return false;
    }
    m_columns.removeAt(column);
    return true;
}

int ExplorerFormatEditor::move(int column, int by) {
    if (column < 0 || column >= m_columns.size()) {
        return column;
    }
    const int to = std::clamp(column + by, 0, static_cast<int>(m_columns.size()) - 1);
    m_columns.move(column, to);
    return to;
}

void ExplorerFormatEditor::setWidth(int column, int width) {
    if (column >= 0 && column < m_columns.size()) {
        m_columns[column].width = std::clamp(width, 1, kMaxColumnWidth);
    }
}

} // namespace tunarium
