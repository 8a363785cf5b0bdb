// Query wizard field lists: the songs list and the reading of encoded lists.
#include "catalogue/query_fields.h"

#include "data/filter_expression.h"

#include <algorithm>

namespace tunarium {

namespace {

// One entry a line, in the order the wizard offers them.
const char16_t kSongsFields[] = u"Category¦0¦CAT:Category¦@s30¦30¦1¦1¦¦¦«"
                                u"Media¦0¦MED:Media¦@s20¦20¦1¦1¦¦¦«"
                                u"Artist¦0¦TUN:Artist¦@s50¦50¦1¦1¦¦¦«"
                                u"Title¦0¦TUN:Title¦@s50¦50¦1¦1¦¦¦«"
                                u"Mix or Version Specific Information¦0¦TUN:Mix¦@s30¦30¦1¦1¦¦¦«"
                                u"Album¦0¦TUN:Album¦@s50¦50¦1¦1¦¦¦«"
                                u"Media¦0¦TUN:Media¦@s20¦20¦1¦1¦¦¦«"
                                u"File Number¦0¦TUN:FileNumber¦@s20¦20¦1¦1¦¦¦«"
                                u"Release¦0¦TUN:ReleaseDate¦@d2¦4¦2¦1¦¦¦«"
                                u"Category (Unique ID)¦0¦TUN:CategoryID¦@n-13¦4¦2¦1¦¦¦«"
                                u"Chart¦0¦TUN:ChartNumber¦@n3¦1¦2¦1¦¦¦«"
                                u"Track¦0¦TUN:TrackNumber¦@n3¦1¦2¦1¦¦¦«"
                                u"Side / Disc¦0¦TUN:Side¦@n2b¦1¦2¦1¦¦¦«"
                                u"Time¦0¦TUN:Time¦@t4¦4¦2¦1¦¦¦«"
                                u"User Defined Key Field¦0¦TUN:UserDefinedKeyField¦@s30¦30¦1¦1¦¦¦«"
                                u"Addition Information (1)¦0¦TUN:AdditionalInformation1¦@s80¦80¦1¦1¦¦¦«"
                                u"Addition Information (2)¦0¦TUN:AdditionalInformation2¦@s80¦80¦1¦1¦¦¦«"
                                u"Addition Information (3)¦0¦TUN:AdditionalInformation3¦@s80¦80¦1¦1¦¦¦«"
                                u"Beats Per Minute (BPM)¦0¦TUN:BeatsPerMinute¦@n_4b¦4¦2¦1¦¦¦«"
                                u"Style¦0¦TUN:Style¦@s30¦30¦1¦1¦¦¦«"
                                u"Recording Information¦0¦TUN:Recording¦@s255¦256¦1¦1¦¦¦«"
                                u"Composer¦0¦TUN:Composer¦@s80¦80¦1¦1¦¦¦«"
                                u"Performance Notes¦0¦TUN:PerformanceNotes¦@s255¦256¦1¦1¦¦¦«"
                                u"Date Last Played¦0¦TUN:LastPlayed¦@d17-¦4¦2¦1¦¦¦«"
                                u"Skips¦0¦TUN:Skips¦@n3¦1¦2¦2¦¦Skips¦«"
                                u"Type of ending¦0¦TUN:EndType¦@s6¦6¦1¦3¦¦Slow|Fast|Abrupt¦«"
                                u"In/Out Information¦0¦TUN:InOut¦@s20¦20¦1¦1¦¦¦«"
                                u"Notes¦0¦TUN:Notes¦@s255¦2000¦1¦1¦¦¦«"
                                u"Rating¦0¦TUN:Rating¦@n2¦1¦2¦1¦¦¦«"
                                u"Live¦0¦TUN:Live¦@n3¦1¦2¦2¦¦Live¦«"
                                u"DoNotPlay¦0¦TUN:DoNotPlay¦@n3¦1¦2¦2¦¦Do Not Play¦";

// A whole number in [low, high] from a column, or nothing.
std::optional<int> columnNumber(const QString& column, int low, int high) {
    bool ok = false;
    const int n = column.trimmed().toInt(&ok);
    if (!ok || n < low || n > high) {
        return std::nullopt;
    }
    return n;
}

// A field the base table's filters can name: its own or one reached through a relation.
bool reachable(const QString& name, TableId base) {
    return resolveField(name).isValid() && compileFilter(name, base).ok();
}

int readEntry(const QStringList& columns, TableId base, QueryField& out) {
    if (columns.size() != kQueryFieldColumns) {
        return kQueryFieldsColumnCount;
    }
    out.label = columns[0];
    out.name = columns[2].trimmed();
    out.picture = columns[3].trimmed();
    if (!reachable(out.name, base)) {
        return kQueryFieldsUnknownField;
    }
    const auto size = columnNumber(columns[4], 1, 65535);
    const auto valueKind = columnNumber(columns[5], 1, 2);
    const auto entryKind = columnNumber(columns[6], 1, 3);
    if (!size || !valueKind || !entryKind) {
        return kQueryFieldsBadNumber;
    }
    out.size = *size;
    out.valueKind = static_cast<QueryValueKind>(*valueKind);
    out.entryKind = static_cast<QueryEntryKind>(*entryKind);
    if (out.entryKind == QueryEntryKind::CheckBox) {
        out.checkCaption = columns[8];
        if (out.checkCaption.trimmed().isEmpty()) {
            return kQueryFieldsNoChoices;
        }
    } else if (out.entryKind == QueryEntryKind::ChoiceList) {
        for (const QString& choice : columns[8].split(u'|')) {
            if (!choice.trimmed().isEmpty()) {
                out.choices << choice.trimmed();
            }
        }
        if (out.choices.isEmpty()) {
            return kQueryFieldsNoChoices;
        }
    }
    return kQueryFieldsOk;
}

} // namespace

QVector<QueryOperator> QueryField::operators() const {
    using Op = QueryOperator;
    if (entryKind == QueryEntryKind::CheckBox) {
        return {Op::IsChecked, Op::IsNotChecked, Op::IsEqualTo, Op::IsNotEqualTo};
    }
    QVector<Op> ops;
    for (int n = static_cast<int>(Op::IsEqualTo); n <= static_cast<int>(Op::DoesNotContain); ++n) {
        ops << static_cast<Op>(n);
    }
    return ops;
}

int QueryFieldList::indexOf(QStringView fieldName) const {
    const QStringView name = fieldName.trimmed();
    for (int i = 0; i < fields.size(); ++i) {
        if (name.compare(fields[i].name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

const QueryField* QueryFieldList::find(QStringView fieldName) const {
    const int i = indexOf(fieldName);
    return i >= 0 ? &fields[i] : nullptr;
}

const QString& songsQueryFieldsText() {
    static const QString text = QString::fromUtf16(kSongsFields);
    return text;
}

QueryFieldsLoad loadQueryFields(const QString& encoded, const QString& listName, TableId base) {
    QueryFieldsLoad load;
    load.list.name = listName;
    load.list.base = base;
    QStringList entries = encoded.split(kQueryEntrySeparator);
    if (!entries.isEmpty() && entries.last().trimmed().isEmpty()) {
        entries.removeLast();
    }
    if (std::all_of(entries.cbegin(), entries.cend(),
                    [](const QString& e) { return e.trimmed().isEmpty(); })) {
        load.error = kQueryFieldsEmpty;
        return load;
    }
    for (int i = 0; i < entries.size(); ++i) {
        QueryField field;
        const int error = readEntry(entries[i].split(kQueryColumnSeparator), base, field);
        if (error != kQueryFieldsOk) {
            load.error = error;
            load.entry = i + 1;
            load.list.fields.clear();
            return load;
        }
        load.list.fields << field;
    }
    return load;
}

PromptMessage queryWizardInitialisationError(int error) {
    PromptMessage m;
    m.caption = QStringLiteral("Query Wizard Error# ") + QString::number(error);
    m.text = QStringLiteral("An error has prevented the Query Wizard from initializing.");
    m.icon = PromptIcon::Exclamation;
    return m;
}

std::optional<QueryFieldList> prepareSongsQueryFields(Prompter& prompter) {
    QueryFieldsLoad load =
        loadQueryFields(songsQueryFieldsText(), QString::fromLatin1(kSongsQueryListName), TableId::Tunarium);
    if (!load.ok()) {
        prompter.message(queryWizardInitialisationError(load.error));
        return std::nullopt;
    }
    return std::move(load.list);
}

} // namespace tunarium
