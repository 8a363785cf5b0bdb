// A list's format string ("80L(2)|M~Media~L(2)@s20@"): its columns with their widths, justification,
// headers and pictures; the user's date picture put in place of the design's; and the column layout
// a list keeps in the window-position file under "SRCF?Browse" beside the design it was made from.
#pragma once

#include <QString>
#include <QVector>

namespace tunarium {

// One column of a format string. A group ("[...](21)|M~Track~") contributes its columns; the
// group's header goes to its first column when that one has none.
struct ListFormatColumn {
    int width = 0;              // dialog units
    QChar justification = u'L'; // L, R, C or D
    QString header;
    QString picture;        // "@s20", without the closing "@"
    bool resizable = false; // the "M" modifier
    int fieldNumber = 0;    // "#n#": the field the column shows, counted from 1; 0 when not given
    int offset = 2;         // the data's offset, "(n)" after the justification
    QChar headerJustification = u'L';
    int headerOffset = 2;   // "(n)" after the header
    bool border = false;    // "|": a line on the right
    bool underline = false; // "_"
    bool fixed = false;     // "F": stays in place when the list scrolls sideways
    int widthStart = 0;     // where the width's digits stand in the text
    int widthLength = 0;
};

class ListFormat {
public:
    ListFormat() = default;
    // Reads every column it can; characters it does not know are kept in the text and skipped.
    static ListFormat parse(const QString& text);

    const QString& text() const { return m_text; }
    const QVector<ListFormatColumn>& columns() const { return m_columns; }
    // The same format with new column widths (one per column; missing ones keep theirs).
    ListFormat withWidths(const QVector<int>& widths) const;

private:
    QString m_text;
    QVector<ListFormatColumn> m_columns;
};

// The text of one column, and of a whole format, as parse() reads it back ("75L(2)|M~Artist~L(2)@s50@#1#").
QString formatColumnText(const ListFormatColumn& column);
QString formatText(const QVector<ListFormatColumn>& columns);

// Every date picture of a format ("@D" in any case, up to the next "@") replaced by `datePicture`.
QString replaceDatePictures(const QString& format, const QString& datePicture);

// The widths a kept layout may give a column, in dialog units: one narrower or wider was not left
// so by the mouse, and would hide the column or push the others out of reach.
inline constexpr int kMaxColumnWidth = 1000;

// The field each column of `format` shows, counted from 0: its "#n#", or its place when it names
// none. Empty when a column names a field outside 0..fieldCount-1 or one another column shows, or
// has a width outside 1..kMaxColumnWidth.
QVector<int> formatColumnFields(const ListFormat& format, int fieldCount);

// The design columns a kept layout of a plain list shows, in its order (counted from 0). Empty when
// it is no layout of `design`: a column missing or shown twice, a picture other than its design
// column's, a width out of bounds, or nothing that reads as columns at all. A date column of the
// design (one with a date picture) may hold any picture: the user's date format goes there.
QVector<int> keptListColumns(const ListFormat& kept, const ListFormat& design);

// Whether a design stored beside a kept layout is `design`: the same columns, the pictures of the
// design's date columns aside (a design stored under another date format, or Year Only, is the same).
bool sameDesign(const QString& stored, const QString& design);
// `format` with `datePicture` in the columns that show a date column of `design`; `fields` names
// the design column of each column of `format`. An empty `datePicture` leaves the format as it is.
QString withDatePicture(const ListFormat& format, const QVector<int>& fields, const ListFormat& design,
                        const QString& datePicture);

// `format` with its column `from` moved to place `to` (both counted from 0). Every column then
// names its field as "#n#": `fields` holds the field each column shows before the move.
QString formatWithColumnMoved(const ListFormat& format, const QVector<int>& fields, int from, int to);

// The layout keys of one list: "SRCF" + list name and "SRCFOriginal" + list name, in the window's
// section of the position file.
struct ListLayoutKeys {
    QString positionFile;
    QString section;  // the window's procedure name
    QString listName; // "?Browse" or "?Browse:1"

    QString savedKey() const { return QStringLiteral("SRCF") + listName; }
    QString originalKey() const { return QStringLiteral("SRCFOriginal") + listName; }
};

// A plain list's layout at opening: its format, and the design column each of its columns shows.
struct ListLayout {
    QString format;
    QVector<int> columns;
};

// The layout a list opens with, its date columns shown with `datePicture` (the user's date
// format; empty: the design's own pictures). When the design format differs from the one the saved
// layout was made from (sameDesign), the design is stored as the new original and the saved layout
// is ignored; otherwise a saved layout of the design's columns is taken (widths and order), so that
// a change of date format keeps it. A saved layout that is no layout of the design
// (keptListColumns) is removed from the file, and the design is used.
ListLayout restoreListLayout(const ListLayoutKeys& keys, const QString& designFormat,
                             const QString& datePicture = {});
QString restoreListFormat(const ListLayoutKeys& keys, const QString& designFormat);
// Stores the list's current format; false when the file could not be written.
bool saveListFormat(const ListLayoutKeys& keys, const QString& format);

} // namespace tunarium
