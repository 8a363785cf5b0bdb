// The explorer views XploreSongs and XploreAlbums: list-engine browses whose columns the user
// chooses from a table of fields, and whose rows are ordered by a click on a column header. Each
// orderable field has a sort order of its own, read through a key of one field with the record
// number as tie-breaker (the category column through the category's name), so that every order
// pages by keyset in either direction at any size.
#pragma once

#include "catalogue/list_definition.h"
#include "catalogue/list_format.h"

#include <QString>
#include <QVector>

namespace tunarium {

// One field the user may show as a column.
struct ExplorerField {
    QString name;        // "TUN:Artist", "CAT:Category"
    QString header;      // the header a column of it starts with
    QString description; // the longer text the format window lists
    QString picture;
    QChar justification = u'L';
    int sortOrder = 0; // the list definition's sort order that orders by it; 0: not orderable
};

struct ExplorerDefinition {
    QString procedure;    // "XploreSongs"
    QString caption;      // the caption at design ("Explore Songs")
    QString listName;     // "?Browse", "?Browse:1"
    QString designFormat; // the list's format at design
    QString locatorPicture;
    ListDefinition list; // one column per field, in field order; one sort order per orderable field
    QVector<ExplorerField> fields;
};

ExplorerDefinition xploreSongsDefinition();
ExplorerDefinition xploreAlbumsDefinition();

// The order text of a field: "UPPER(" field ")" for text, the field's name otherwise, with a
// leading "-" for descending; "Escape|Key Sequence" for a field that cannot be ordered.
QString explorerOrderText(const ExplorerDefinition& def, int field, bool descending);

// What a list format shows: the field of each column (indexes into the field table). A column
// names its field as "#n#" (counted from 1); a column without one shows the field of its place.
// Empty when the format cannot be shown: no columns, a field that does not exist or shows twice, a
// width below 1 or above kMaxColumnWidth dialog units (formatColumnFields).
QVector<int> explorerColumnFields(const ExplorerDefinition& def, const ListFormat& format);
// The list definition's columns for those fields.
QVector<ColumnDef> explorerColumns(const ExplorerDefinition& def, const QVector<int>& fields);

// The order marker of a header click. Columns count from 1; the marker character stands before the
// ordered column's header: ">" ascending, "<" descending.
class ExplorerOrder {
public:
    enum class Click { Ordered, NotOrderable, Ignored };

    // The field the list was ordered by when it closed ("XplorePrevCol-"), ascending.
    void restore(int field) {
        m_field = field;
        m_descending = false;
    }
    int field() const { return m_field; }
    bool descending() const { return m_descending; }
    // A left click on the header of the column that shows `field`: the same field reverses the
    // direction, another one orders ascending by it. Not orderable: nothing changes.
    Click click(const ExplorerDefinition& def, int field);
    // The header text of a column that shows `field`, with the marker when it is the ordered one.
    QString headerText(int field, const QString& header) const;
    // "Data cannot be ordered on column: " with the column's header and its field in parentheses.
    static QString notOrderableMessage(const ExplorerDefinition& def, int field, const QString& header);

private:
    int m_field = 0;
    bool m_descending = false;
};

// The columns of an explorer's list as the format window edits them: each names its field, so
// that columns can be hidden, added back and moved. Every edit keeps the format showable.
class ExplorerFormatEditor {
public:
    ExplorerFormatEditor(const ExplorerDefinition& def, const QString& format);

    const QVector<ListFormatColumn>& columns() const { return m_columns; }
    ListFormatColumn& column(int index) { return m_columns[index]; }
    // The fields not shown, in field order.
    QVector<int> hiddenFields() const;
    int fieldOf(int column) const { return m_columns[column].fieldNumber - 1; }
    // Shows `field` as a new column after `afterColumn` (-1: at the end) with its header, picture
    // and a width of 60; returns the new column's index.
    int add(int field, int afterColumn = -1);
    // Hides a column; the last one stays.
    bool hide(int column);
    // Moves a column one place; returns its new index.
    int move(int column, int by);
    // A width within 1..kMaxColumnWidth.
    void setWidth(int column, int width);
    QString text() const { return formatText(m_columns); }

private:
    const ExplorerDefinition& m_def;
    QVector<ListFormatColumn> m_columns;
};

inline constexpr char kNotOrderableCaption[] = "Xplore Template - Re-Order Option";

} // namespace tunarium
