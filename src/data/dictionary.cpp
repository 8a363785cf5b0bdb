// The collection's tables, keys, relations and the event-log layout.
#include "data/dictionary.h"

#include <initializer_list>

namespace tunarium {

namespace {

FieldDef text(const char* name, int width, const char* picture = nullptr) {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = FieldType::String;
    f.width = width;
    f.picture = picture ? QString::fromLatin1(picture) : QStringLiteral("@s%1").arg(width);
    return f;
}

FieldDef number(const char* name, FieldType type, const char* picture, int width = 0) {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.width = width;
    f.picture = QString::fromLatin1(picture);
    return f;
}

FieldDef longField(const char* name, const char* picture = "@n-14") {
    return number(name, FieldType::Long, picture);
}
FieldDef byteField(const char* name, const char* picture = "@n3") {
    return number(name, FieldType::Byte, picture);
}
FieldDef decimalField(const char* name, int digits, const char* picture = "@n-14") {
    return number(name, FieldType::Decimal, picture, digits);
}
FieldDef dateField(const char* name, const char* picture, const char* formPicture = nullptr) {
    FieldDef f = number(name, FieldType::Long, picture);
    f.meaning = FieldMeaning::Date;
    if (formPicture) {
        f.formPicture = QString::fromLatin1(formPicture);
    }
    return f;
}
FieldDef timeField(const char* name, const char* picture = "@t4") {
    FieldDef f = number(name, FieldType::Long, picture);
    f.meaning = FieldMeaning::Time;
    return f;
}
FieldDef memo(const char* name, int width) {
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = FieldType::Memo;
    f.width = width;
    f.picture = QStringLiteral("@s%1").arg(width);
    return f;
}

struct KeySpec {
    const char* name;
    std::initializer_list<const char*> components;
    bool unique = false;
    bool primary = false;
};

int indexOf(const QVector<FieldDef>& fields, const char* name) {
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name == QLatin1String(name)) {
            return i;
        }
    }
    qFatal("data dictionary: unknown key component %s", name);
}

TableDef makeTable(TableId id, const char* label, const char* prefix, const char* file, int version,
                   int recordBytes, QVector<FieldDef> fields, std::initializer_list<KeySpec> keys) {
    TableDef t;
    t.id = id;
    t.label = QString::fromLatin1(label);
    t.prefix = QString::fromLatin1(prefix);
    t.fileName = QString::fromLatin1(file);
    t.version = version;
    t.recordBytes = recordBytes;
    t.fields = std::move(fields);
    for (const KeySpec& keySpec : keys) {
        KeyDef k;
        k.name = QString::fromLatin1(keySpec.name);
        for (const char* c : keySpec.components) {
            k.components.push_back(indexOf(t.fields, c));
        }
        k.unique = keySpec.unique;
        k.primary = keySpec.primary;
        if (k.primary) {
            t.primaryKey = static_cast<int>(t.keys.size());
        }
        t.keys.push_back(k);
    }
    t.positionKey = t.primaryKey >= 0 ? t.primaryKey : 0;
    return t;
}

// The songs keys that do not leave blank records out. Each of them compares text without
// regard to case (so the songs lists are ordered as users expect) and keeps all-blank
// records, so a song with a blank title or artist still shows in every songs list.
// PLA:KeyID holds one number; it keeps entries whose song number is zero for the same reason.
void keepBlankRecords(TableDef& t, std::initializer_list<const char*> keyNames) {
    for (const char* name : keyNames) {
        const int k = t.keyIndex(QString::fromLatin1(name));
        Q_ASSERT(k >= 0);
        t.keys[k].caseInsensitive = true;
        t.keys[k].excludeBlank = false;
    }
}

QVector<FieldDef> songFields() {
    return {
        text("Artist", 50),
        text("Title", 50),
        text("Mix", 30),
        text("Album", 50),
        text("Media", 20),
        text("FileNumber", 20),
        dateField("ReleaseDate", "@d2", "@d17"),
        longField("CategoryID", "@n-13"),
        byteField("ChartNumber", "@n3"),
        byteField("TrackNumber", "@n3"),
        byteField("Side", "@n2b"),
        timeField("Time", "@t4"),
        text("UserDefinedKeyField", 30),
        text("AdditionalInformation1", 80),
        text("AdditionalInformation2", 80),
        text("AdditionalInformation3", 80),
        longField("BeatsPerMinute", "@n_4b"),
        text("Style", 30),
        text("Composer", 80),
        dateField("LastPlayed", "@d17-"),
        byteField("Skips", "@n3"),
        text("EndType", 6),
        text("InOut", 20),
        [] {
            FieldDef f = byteField("Rating", "@n2");
            f.formPicture = QStringLiteral("@n2b");
            return f;
        }(),
        byteField("Live", "@n3"),
        byteField("DoNotPlay", "@n3"),
        longField("ID", "@n-14"),
        longField("AlbumID", "@n-14"),
        memo("Recording", 256),
        memo("PerformanceNotes", 256),
        memo("Notes", 2000),
    };
}

std::array<TableDef, kTableCount> buildTables() {
    TableDef addWizard = makeTable(
        TableId::AddWizard, "AddWizard", "AW", "TNRAdWiz", 1, 73,
        {decimalField("Instance", 11), text("Side", 1), decimalField("Track", 3, "@n3"), text("Artist", 30),
         text("Title", 30), timeField("Time")},
        {{"KeyInstance", {"Instance", "Side", "Track"}, true, true}});

    TableDef album = makeTable(
        TableId::Album, "Album", "ALB", "tnralbum", 3, 541,
        {longField("AlbumID"), text("Artist", 50), text("Album", 50), text("Media", 20), text("FileNumber", 20),
         dateField("ReleaseDate", "@d2", "@d17"), decimalField("CategoryID", 11, "@n-13"),
         text("AssociatedWAVFile", 128), text("AssociatedImage", 128), text("CDIdentifier", 24),
         text("XCCD", 32), text("Playlist", 70), byteField("Rating", "@n2b"), timeField("TotalTime"),
         memo("Recording", 256), memo("Performance", 256), memo("Notes", 2000)},
        {{"KeyAlbumID", {"AlbumID"}, true, true},
         {"KeyAlbum", {"Album", "Artist"}, true},
         {"KeyArtist", {"Artist", "Album"}, true},
         {"KeyCDIdentifier", {"CDIdentifier"}, true},
         {"KeyFileNumber", {"FileNumber"}},
         {"KeyCategory", {"CategoryID", "Album", "Artist"}},
         {"KeyCategoryArtist", {"CategoryID", "Artist", "Album"}}});

    TableDef categories =
        makeTable(TableId::Categories, "Categories", "CAT", "TNRCAT", 1, 36,
                  {decimalField("CategoryID", 11, "@n-13"), text("Category", 30)},
                  {{"KeyCategoryID", {"CategoryID"}, true, true}, {"KeyCategory", {"Category"}, true}});

    TableDef fonts = makeTable(
        TableId::Fonts, "Fonts", "FON", "tnrfont", 1, 134,
        {decimalField("FontID", 11), text("TypeFace", 32), text("Size", 32), text("Colour", 32), text("Style", 32)},
        {{"KeyFontID", {"FontID"}, true, true}, {"KeyTypeFace", {"TypeFace", "Size", "Colour", "Style"}, true}});

    TableDef labels = makeTable(
        TableId::Labels, "Labels", "LAB", "tnrlabel", 2, 622,
        {decimalField("LabelID", 11),
         text("LabelDescription", 30),
         text("LabelType", 9),
         longField("AlbumID"),
         text("CDSpine", 100),
         longField("CDSpineFontID"),
         text("CDTitle", 100),
         longField("CDTitleFontID"),
         longField("CDCoverTextFontID"),
         longField("CDInsideTextFontID"),
         text("CDSpineJustification", 6),
         text("CDTextJustification", 6),
         text("CDBackCoverJustification", 6),
         longField("CassetteFlapFontID"),
         longField("CassetteTitleFontID"),
         longField("CassetteContentsFontID"),
         text("CassetteFormat", 20),
         text("ImageName", 255),
         longField("ImagePositionX"),
         longField("ImagePositionY"),
         text("ImageSize", 20),
         longField("ImageSizeX"),
         text("ImageSizeY", 20),
         memo("CDCoverText", 3000),
         memo("CDInsideText", 3000),
         memo("CassetteFlap", 1024),
         memo("CassetteTitle", 1024),
         memo("CassetteContentsA", 3000),
         memo("CassetteContentsB", 3000)},
        {{"KeyLabelID", {"LabelID"}, true, true},
         {"KeyLabelDescription", {"LabelDescription"}, true},
         {"KeyLabelType", {"LabelType", "LabelDescription"}}});

    TableDef tips = makeTable(TableId::TNRTips, "TNRTips", "TIP", "TNRTIPS", 0, 1028,
                              {text("Tip", 1024), longField("ID")},
                              {{"KeyTip", {"Tip"}, true}, {"KeyID", {"ID"}, true, true}});

    TableDef media = makeTable(TableId::Media, "Media", "MED", "tnrmedia", 1, 20, {text("Media", 20)},
                               {{"KeyMedia", {"Media"}, true}});

    TableDef songs = makeTable(TableId::Tunarium, "Tunarium", "TUN", "tnrdata", 6, 661, songFields(),
                               {{"SongsByArtist", {"Artist", "Title", "Mix"}},
                                {"SongsByTitle", {"Title", "Artist"}},
                                {"SongsByAlbum", {"Album", "Artist", "Side", "TrackNumber", "Title"}},
                                {"SongsByMedia", {"Media", "FileNumber", "Title"}},
                                {"SongsByCategory", {"CategoryID", "Artist", "Title", "Album"}},
                                {"SongsByChartNumber", {"ChartNumber", "Artist", "Title"}},
                                {"SongsByUserDefinedKey", {"UserDefinedKeyField", "Artist", "Title"}},
                                {"KeyID", {"ID"}, true, true},
                                {"KeyAlbumID", {"AlbumID", "Side", "TrackNumber"}},
                                {"KeyBeatsPerMinute", {"BeatsPerMinute", "Title", "Artist"}},
                                {"KeyFileNumber", {"FileNumber"}},
                                {"KeyMix", {"Mix", "Title", "Artist"}}});
    keepBlankRecords(songs, {"SongsByArtist", "SongsByTitle", "SongsByAlbum", "SongsByMedia"});

    TableDef details = makeTable(
        TableId::PlaylistDetails, "PlaylistDetails", "PLA", "tnrpldet", 2, 65,
        {longField("PlaylistID"), decimalField("PlaylistSeq", 11), decimalField("ID", 11),
         text("PlaylistNotes", 40), text("LastWeek", 3), text("ThisWeek", 3), text("HighestChartPosition", 3)},
        {{"KeyPlaylistID", {"PlaylistID", "PlaylistSeq"}, true, true}, {"KeyID", {"ID"}}});
    keepBlankRecords(details, {"KeyID"});

    TableDef master = makeTable(TableId::PlaylistMaster, "PlaylistMaster", "PLD", "tnrplist", 1, 38,
                                {longField("PlaylistID"), text("PlaylistDescription", 30),
                                 dateField("LastEditDate", "@d17"), memo("Notes", 1000)},
                                {{"KeyPlaylistID", {"PlaylistID"}, true, true},
                                 {"KeyPlaylistDescription", {"PlaylistDescription"}, true}});

    return {addWizard, album, categories, fonts, labels, tips, media, songs, details, master};
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
    if (name.compare(alias.label, Qt::CaseInsensitive) == 0 || name.compare(alias.prefix, Qt::CaseInsensitive) == 0) {
        return &tableDef(alias.table);
    }
    for (const TableDef& t : allTables()) {
        if (name.compare(t.label, Qt::CaseInsensitive) == 0 || name.compare(t.prefix, Qt::CaseInsensitive) == 0 ||
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

const QVector<RelationDef>& relations() {
    static const QVector<RelationDef> list = {
        {TableId::Tunarium, "TUN", "AlbumID", TableId::Album, "AlbumID", DeleteRule::Cascade, ChangeRule::Cascade},
        {TableId::Tunarium, "A_S", "FileNumber", TableId::Album, "FileNumber", DeleteRule::Cascade,
         ChangeRule::Cascade},
        {TableId::Tunarium, "TUN", "CategoryID", TableId::Categories, "CategoryID", DeleteRule::Restrict,
         ChangeRule::Cascade},
        {TableId::Album, "ALB", "CategoryID", TableId::Categories, "CategoryID", DeleteRule::Restrict,
         ChangeRule::Restrict},
        {TableId::Tunarium, "TUN", "Media", TableId::Media, "Media", DeleteRule::Restrict, ChangeRule::Cascade},
        {TableId::PlaylistDetails, "PLA", "ID", TableId::Tunarium, "ID", DeleteRule::Restrict, ChangeRule::None},
        {TableId::PlaylistDetails, "PLA", "PlaylistID", TableId::PlaylistMaster, "PlaylistID", DeleteRule::Cascade,
         ChangeRule::None},
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
