// What a browse is made of: its table, the lookup tables joined to it, its sort orders with their
// ranges, locators and thumbs, its columns, its title and its request and response words. A
// browse window describes itself once with a ListDefinition and hands it to the list engine.
#pragma once

#include "catalogue/request.h"
#include "data/row.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

namespace tunarium {

// Which characters make the scroll thumb's alphabet for a text field.
struct ThumbOptions {
    bool alpha = false;     // letters (upper case only unless mixedCase)
    bool numeric = false;   // digits
    bool symbols = false;   // the thirty punctuation characters and the space
    bool mixedCase = false; // lower-case letters as well
};

enum class LocatorKind {
    Typed, // characters typed build a text of up to 30 characters that the list is positioned at
    Step,  // each character steps through the names that begin with it
    None,
};

// One sort order: one key of the browse table. The first `rangeLength` components of the key are
// fixed by the range value (songs by media: the media); the component after them is the one the
// locator sets and the thumb estimates.
struct SortOrderDef {
    int key = 0;
    int rangeLength = 0;
    LocatorKind locator = LocatorKind::Typed;
    ThumbOptions thumb;
    // What the empty list tells the user while no range value is chosen ("Choose a media format
    // with Select Media").
    QString rangeHint;
    // An order by a joined record (songs by their category's name): the records of join
    // `lookupJoin` in the order of that table's key `lookupKey`, and within each of them the
    // browse records in the order of `key`, a key led by the join's source field. Records whose
    // source value names no record come before all others. -1: an order of `key` alone.
    int lookupJoin = -1;
    int lookupKey = 0;
    // A range no choice of the user changes (the songs whose file is missing): the values of the
    // range components the order starts with. Empty: blank until chosen.
    QVector<QVariant> fixedRange;
};

// A lookup table joined by value: the record of `table` whose key `key` (one component) equals the
// browse record's `sourceField` (the category of a song through TUN:CategoryID).
struct JoinDef {
    TableId table = TableId::Categories;
    int key = 0;
    int sourceField = 0;
};

// A browse record with the lookup records joined to it (one per JoinDef, blank when the value
// names no record).
struct PageRow {
    Row record;
    QVector<Row> lookups;
};

struct ColumnDef {
    QString header;
    QString picture; // the display picture ("@s50", "@t4b")
    std::function<QVariant(const PageRow&)> value;
};

// A column that shows a field of the browse record.
ColumnDef recordColumn(const QString& header, int field, const QString& picture);
// A column that shows a field of a joined lookup record.
ColumnDef lookupColumn(const QString& header, int join, int field, const QString& picture);

struct ListDefinition {
    TableId table = TableId::Tunarium;
    QVector<JoinDef> joins;
    QVector<SortOrderDef> sortOrders; // sort order 1 first
    QVector<ColumnDef> columns;
    // Title: caption, then the table's record count, then the suffix ("Songs - ", " entries").
    QString titleCaption;
    QString titleSuffix;
    // Captions of the first three popup entries.
    QString addText = QStringLiteral("&Add");
    QString changeText = QStringLiteral("&Change");
    QString deleteText = QStringLiteral("&Delete");
    // The browse can serve as a selection list (opened with the Select request).
    bool selectable = false;
};

// What the locator asks for under sort order `order` (counted from 1): "Type the Artist to locate",
// naming in words ("UserDefinedKeyField" reads "User Defined Key Field") the key's field that typed
// text goes to, the first after the order's range. Empty outside the sort orders.
QString locateHint(const ListDefinition& definition, int order);

// An entry that a window adds to the popup menu after Add, Change and Delete.
struct PopupEntry {
    QString text;
    bool enabled = true;
    bool separatorBefore = false;
};

// The window's side of the engine. The engine calls it; the window answers.
class ListHost {
public:
    virtual ~ListHost() = default;
    // Open the table's form with `request` on `record` (the record as just read again, or for
    // Insert a blank record with the range primed) and return at once. The form answers through
    // ListEngine::formAnswered when the user is done; an answer given before this call returns is
    // taken as well. Until the answer the engine ignores the user's actions.
    virtual void callForm(Request request, const Row& record) = 0;
    // A fill is running: show the busy cursor.
    virtual void setBusy(bool busy) { (void)busy; }
    // The page, the selection, the thumb or the title changed: repaint from the engine.
    virtual void pageChanged() {}
    // A read failed (the warning was shown) or a Select completed: close the window.
    virtual void closeRequested() {}
};

} // namespace tunarium
