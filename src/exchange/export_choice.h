// The choice of an export: which song fields are written, in which order and through which
// picture, as the window "Choose Fields for Export..." shows and changes it. Both of its lists
// mark rows the same way; no widgets here.
#pragma once

#include <QString>
#include <QVector>

namespace tunarium {

struct ExportField {
    QString field;   // "TUN:Artist", "CAT:Category"
    QString picture; // the picture the field is written through
    bool mark = false;
};

// The 30 fields an export can write with their default pictures, in list order.
const QVector<ExportField>& exportableFields();
// The exportable field of that name (without regard to case, blanks around it ignored); null
// when there is none.
const ExportField* findExportable(QStringView name);

// "Alpha-numeric" for a picture whose second character is S or s, "Numeric" for N or n, otherwise
// the picture itself.
QString exportPictureText(const QString& picture);

// One list with its marks, its current row and its anchor.
class MarkedList {
public:
    QVector<ExportField> rows;

    int current() const { return m_current; }
    void setCurrent(int row);
    int anchor() const { return m_anchor; }
    void resetAnchor() { m_anchor = -1; }
    int markedCount() const;

    // A plain click: the row becomes current and the anchor, and the only marked row.
    void click(int row);
    // Space, Ctrl+click or Ctrl: the row becomes current and the anchor; its mark is toggled.
    void toggle(int row);
    // Shift+click or Shift with a movement key: the row becomes current; the rows from the anchor
    // to it are marked and no others. Without an anchor, a plain click.
    void extend(int row);

private:
    int m_current = -1;
    int m_anchor = -1;
};

class ExportChoice {
public:
    // "All Fields" holds every exportable field, "Export Fields" a copy of it; the header box is
    // ticked.
    ExportChoice();

    MarkedList all;
    MarkedList chosen;
    bool header = true;

    // &Add ->: the marked rows of "All Fields" not yet in "Export Fields" are appended (marks
    // included); those already there are marked there. Never a field twice.
    void add();
    // &Remove: the first export row becomes current, then every marked export row is deleted.
    void remove();
    // Shift &Up and Shift &Down: the current export row moves one place.
    void shiftUp();
    void shiftDown();
    // &Picture's result for the current export row: a non-blank picture becomes its picture.
    void setPicture(const QString& picture);
    // The "Picture" display for the current export row; empty when there is none.
    QString currentPictureText() const;
};

} // namespace tunarium
