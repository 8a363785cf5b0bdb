// The collection's tables, keys, relations and the event-log layout.
#include "data/dictionary.h"

#include "data/dictionary_tables.h"

namespace tunarium {

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

FieldDef fieldOf(const FieldDecl& decl) {
    FieldDef f;
    f.name = latin1(decl.name);
    f.type = decl.type;
    f.width = decl.width;
    f.picture =
        decl.picture.empty() && f.isText() ? QStringLiteral("@s%1").arg(decl.width) : latin1(decl.picture);
    f.formPicture = latin1(decl.formPicture);
    f.meaning = decl.meaning;
    f.mayHoldBareYear = decl.mayHoldBareYear;
    return f;
}

int indexOf(std::span<const FieldDecl> fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1; // checked at compile time: every key names fields of its table
}

TableDef tableOf(const TableDecl& decl) {
    TableDef t;
    t.id = decl.id;
    t.label = latin1(decl.label);
    t.prefix = latin1(decl.prefix);
    t.fileName = latin1(decl.fileName);
    t.version = decl.version;
    t.recordBytes = decl.recordBytes;
    for (const FieldDecl& field : decl.fields) {
        t.fields.push_back(fieldOf(field));
    }
    for (const KeyDecl& keyDecl : decl.keys) {
        KeyDef k;
        k.name = latin1(keyDecl.name);
        for (std::string_view component : keyDecl.components) {
            if (!component.empty()) {
                k.components.push_back(indexOf(decl.fields, component));
            }
        }
        k.unique = keyDecl.unique;
        k.primary = keyDecl.primary;
        k.excludeBlank = !keyDecl.keepsBlank;
        if (k.primary) {
            t.primaryKey = static_cast<int>(t.keys.size());
        }
        t.keys.push_back(k);
    }
    t.positionKey = t.primaryKey >= 0 ? t.primaryKey : 0;
    return t;
}

std::array<TableDef, kTableCount> buildTables() {
    std::array<TableDef, kTableCount> tables;
    for (const TableDecl& decl : kTableDecls) {
        tables[static_cast<int>(decl.id)] = tableOf(decl);
    }
    return tables;
}

bool matchesName(QStringView candidate, const QString& prefix, const QString& name) {
    if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
        return true;
    }
    const qsizetype colon = candidate.indexOf(u':');
    return colon > 0 && candidate.left(colon).compare(prefix, Qt::CaseInsensitive) == 0 &&
           candidate.mid(colon + 1).compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

qint64 FieldDef::minValue() const {
    switch (type) {
    case FieldType::Long:
        return INT32_MIN;
    case FieldType::Byte:
        return 0;
    case FieldType::Decimal: {
        qint64 limit = 1;
        for (int i = 0; i < width; ++i) {
            limit *= 10;
        }
        return -(limit - 1);
    }
    default:
        return 0;
    }
}

qint64 FieldDef::maxValue() const {
    switch (type) {
    case FieldType::Long:
        return INT32_MAX;
    case FieldType::Byte:
        return 255;
    case FieldType::Decimal:
        return -minValue();
    default:
        return 0;
    }
}

QString FieldDef::typeText() const {
    switch (type) {
    case FieldType::String:
        return QStringLiteral("STRING %1").arg(width);
    case FieldType::Long:
        return QStringLiteral("LONG");
    case FieldType::Byte:
        return QStringLiteral("BYTE");
    case FieldType::Decimal:
        return QStringLiteral("DECIMAL %1").arg(width > 3 ? 6 : 2);
    case FieldType::Memo:
        return QStringLiteral("MEMO %1").arg(width);
    }
    return {};
}

int TableDef::memoCount() const {
    int n = 0;
    for (const FieldDef& f : fields) {
        n += f.isMemo() ? 1 : 0;
    }
    return n;
}

int TableDef::fieldIndex(QStringView name) const {
    for (int i = 0; i < fields.size(); ++i) {
        if (matchesName(name, prefix, fields[i].name)) {
            return i;
        }
    }
    return -1;
}

int TableDef::keyIndex(QStringView name) const {
    for (int i = 0; i < keys.size(); ++i) {
        if (matchesName(name, prefix, keys[i].name)) {
            return i;
        }
    }
    return -1;
}

const std::array<TableDef, kTableCount>& allTables() {
    static const std::array<TableDef, kTableCount> tables = buildTables();
    return tables;
}

const TableDef& tableDef(TableId id) {
    return allTables()[static_cast<int>(id)];
}

const AliasDef& songsAlias() {
    static const AliasDef alias{QStringLiteral("A_Songs"), QStringLiteral("A_S"), TableId::Tunarium};
    return alias;
}

const TableDef* findTable(QStringView name) {
    const AliasDef& alias = songsAlias();
    if (name.compare(alias.label, Qt::CaseInsensitive) == 0 ||
        name.compare(alias.prefix, Qt::CaseInsensitive) == 0) {
        return &tableDef(alias.table);
    }
    for (const TableDef& t : allTables()) {
        if (name.compare(t.label, Qt::CaseInsensitive) == 0 ||
            name.compare(t.prefix, Qt::CaseInsensitive) == 0 ||
            name.compare(t.fileName, Qt::CaseInsensitive) == 0) {
            return &t;
        }
    }
    return nullptr;
}

FieldRef resolveField(QStringView qualifiedName) {
    const qsizetype colon = qualifiedName.indexOf(u':');
    if (colon <= 0) {
        return {};
    }
    const TableDef* table = findTable(qualifiedName.left(colon).trimmed());
    if (!table) {
        return {};
    }
    const int field = table->fieldIndex(qualifiedName.mid(colon + 1).trimmed());
    return field >= 0 ? FieldRef{table, field} : FieldRef{};
}

QString RelationDef::childLabel() const {
    return throughAlias ? songsAlias().label : tableDef(child).label;
}

std::span<const RelationDef> relations() {
    // For each parent, the relations in the order the routines apply them: the songs on an album's
    // carrier before the album's own songs, the albums of a category or a media format before its
    // songs.
    static constexpr RelationDef list[] = {
        {TableId::Tunarium, true, tun::kFileNumber, TableId::Album, alb::kFileNumber, DeleteRule::Cascade,
         ChangeRule::Cascade},
        {TableId::Tunarium, false, tun::kAlbumId, TableId::Album, alb::kAlbumId, DeleteRule::Cascade,
         ChangeRule::Cascade},
        {TableId::Album, false, alb::kCategoryId, TableId::Categories, cat::kCategoryId, DeleteRule::Restrict,
         ChangeRule::Restrict},
        {TableId::Tunarium, false, tun::kCategoryId, TableId::Categories, cat::kCategoryId,
         DeleteRule::Restrict, ChangeRule::Cascade},
        {TableId::Album, false, alb::kMedia, TableId::Media, med::kMedia, DeleteRule::Restrict,
         ChangeRule::Cascade},
        {TableId::Tunarium, false, tun::kMedia, TableId::Media, med::kMedia, DeleteRule::Restrict,
         ChangeRule::Cascade},
        {TableId::PlaylistDetails, false, pla::kId, TableId::Tunarium, tun::kId, DeleteRule::Restrict,
         ChangeRule::None},
        {TableId::PlaylistDetails, false, pla::kPlaylistId, TableId::PlaylistMaster, pld::kPlaylistId,
         DeleteRule::Cascade, ChangeRule::None},
    };
    return list;
}

const std::array<LogFieldDef, 4>& eventLogFields() {
    static const std::array<LogFieldDef, 4> fields = {{{QStringLiteral("LogDate"), 12},
                                                       {QStringLiteral("LogTime"), 10},
                                                       {QStringLiteral("LogLabel"), 30},
                                                       {QStringLiteral("LogData"), 50}}};
    return fields;
}

} // namespace tunarium
