// The query wizard's field lists: the fields a user may search on, read from an encoded text, and
// the songs list that the songs browse and the song reports register under the name "SONGS".
#pragma once

#include "data/dictionary.h"
#include "data/filter_query_text.h"
#include "data/prompter.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace tunarium {

// Separators of the encoded field list: entries end with the left guillemet, columns with the
// broken bar.
inline constexpr char16_t kQueryEntrySeparator = u'\u00AB';
inline constexpr char16_t kQueryColumnSeparator = u'\u00A6';
inline constexpr int kQueryFieldColumns = 10;

inline constexpr char kSongsQueryListName[] = "SONGS";

enum class QueryValueKind { Text = 1, Number = 2 };
enum class QueryEntryKind { Typed = 1, CheckBox = 2, ChoiceList = 3 };

struct QueryField {
    QString label;   // "Mix or Version Specific Information"
    QString name;    // "TUN:Mix"
    QString picture; // how a typed value is read: "@d2" reads a release date
    int size = 0;    // storage size in bytes
    QueryValueKind valueKind = QueryValueKind::Text;
    QueryEntryKind entryKind = QueryEntryKind::Typed;
    QString checkCaption; // check box fields: "Skips"
    QStringList choices;  // choice-list fields: "Slow", "Fast", "Abrupt"

    // The operators offered for the field, the first being the one a new element takes: the ten
    // comparisons for typed values and choice lists; checked, not checked, equal and not equal
    // for check boxes.
    QVector<QueryOperator> operators() const;
};

struct QueryFieldList {
    QString name;                     // "SONGS"
    TableId base = TableId::Tunarium; // the table whose records the query selects
    QVector<QueryField> fields;

    // Index of the field named `fieldName` ("TUN:Artist", any case); -1 when not in the list.
    int indexOf(QStringView fieldName) const;
    const QueryField* find(QStringView fieldName) const;
};

// Why an encoded field list could not be read; the number shown after "Query Wizard Error# ".
enum QueryFieldsError : int {
    kQueryFieldsOk = 0,
    kQueryFieldsEmpty = 1,        // no entry at all
    kQueryFieldsColumnCount = 2,  // an entry without its ten columns
    kQueryFieldsUnknownField = 3, // a field the base table cannot reach
    kQueryFieldsBadNumber = 4,    // size, value kind or entry kind not a number in range
    kQueryFieldsNoChoices = 5,    // a check box without caption, a choice list without choices
};

struct QueryFieldsLoad {
    QueryFieldList list;
    int error = kQueryFieldsOk;
    int entry = 0; // 1-based entry at fault

    bool ok() const { return error == kQueryFieldsOk; }
};

// The songs field list as the wizard receives it.
const QString& songsQueryFieldsText();

// Reads an encoded list: entries separated by kQueryEntrySeparator (a trailing one is allowed),
// each of ten columns separated by kQueryColumnSeparator: label, "0", field name, picture, size,
// value kind, entry kind, empty, check-box caption or choices separated by "|", empty.
QueryFieldsLoad loadQueryFields(const QString& encoded, const QString& listName, TableId base);

// The message shown when a field list cannot be loaded: "Query Wizard Error# " and the number.
PromptMessage queryWizardInitialisationError(int error);

// Loads the songs list for a window or report; on failure shows the initialisation error through
// `prompter` and returns nothing, and the caller goes on without the wizard.
std::optional<QueryFieldList> prepareSongsQueryFields(Prompter& prompter);

} // namespace tunarium
