// A line edit that shows and reads one value through a picture, and asks for the room the
// picture's texts need: a text field its width in average characters, a number, date or time
// field its widest text.
#pragma once

#include <QLineEdit>
#include <QVariant>

class QComboBox;

namespace tunarium {

class PictureEdit : public QLineEdit {
public:
    explicit PictureEdit(const QString& picture, QWidget* parent = nullptr);

    void setPicture(const QString& picture);
    const QString& picture() const { return m_picture; }
    void setValue(const QVariant& value);
    // The text read back through the picture: a number for number, date and time pictures (0 when
    // the text does not read), the text for text pictures.
    QVariant value() const;

    QSize sizeHint() const override;

private:
    QString m_picture;
};

// Makes a drop list or combo box at least wide enough to show `characters` average characters.
void setMinimumCharacters(QComboBox* box, int characters);

} // namespace tunarium
