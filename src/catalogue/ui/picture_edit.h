// A line edit that shows and reads one value through a picture, and asks for the room the
// picture's texts need: a text field its width in average characters, a number, date or time
// field its widest text.
#pragma once

#include "data/dictionary.h"

#include <QLineEdit>
#include <QVariant>

class QComboBox;

namespace tunarium {

class PictureEdit : public QLineEdit {
public:
    explicit PictureEdit(const QString& picture, QWidget* parent = nullptr);
    // An entry for the field `field` of `table`, through the picture the dictionary gives its form.
    PictureEdit(TableId table, int field, QWidget* parent = nullptr);

    void setPicture(const QString& picture);
    const QString& picture() const { return m_picture; }
    void setValue(const QVariant& value);
    // The text read back through the picture: a number for number, date and time pictures (0 when
    // the text does not read), the text for text pictures.
    QVariant value() const;
    // Whether the text reads under the picture (blank reads as no value); letters in a number,
    // date or time field do not.
    bool readsValue() const;
    // How a value is typed here ("mm/dd/yyyy or yyyy-mm-dd"), shown as the placeholder text; empty
    // for a text field.
    const QString& entryForm() const { return m_entryForm; }
    // Puts back the text of the value last shown (setValue), its whole text selected.
    void restoreShown();

    QSize sizeHint() const override;

private:
    QString m_picture;
    QString m_entryForm;
    QString m_shown;
};

// The first of `edits` whose text does not read, or null. When there is one, the prompter has
// shown the field's message ("Release Date: type a date as mm/dd/yyyy or yyyy-mm-dd, or a year
// alone.", the field named by its label in the form), the field shows its last value again and
// has the focus. A form calls it before it reads its fields: nothing is saved from a text that
// does not read.
class Prompter;
PictureEdit* refuseUnreadable(const QList<PictureEdit*>& edits, Prompter& prompter, const QString& caption);
// The same over every PictureEdit inside `form`, in their focus order.
PictureEdit* refuseUnreadableIn(QWidget* form, Prompter& prompter, const QString& caption);

// Makes a drop list or combo box at least wide enough to show `characters` average characters.
void setMinimumCharacters(QComboBox* box, int characters);

} // namespace tunarium
