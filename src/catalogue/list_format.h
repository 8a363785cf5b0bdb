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

// The layout keys of one list: "SRCF" + list name and "SRCFOriginal" + list name, in the window's
// section of the position file.
struct ListLayoutKeys {
    QString positionFile;
    QString section;  // the window's procedure name
    QString listName; // "?Browse" or "?Browse:1"

    QString savedKey() const { return QStringLiteral("SRCF") + listName; }
    QString originalKey() const { return QStringLiteral("SRCFOriginal") + listName; }
};

// The format a list opens with. When the design format differs from the one the saved layout was
// made from, the design is stored as the new original and the saved layout is ignored; otherwise a
// saved layout with the same columns is taken.
QString restoreListFormat(const ListLayoutKeys& keys, const QString& designFormat);
// Stores the list's current format; false when the file could not be written.
bool saveListFormat(const ListLayoutKeys& keys, const QString& format);

} // namespace tunarium
