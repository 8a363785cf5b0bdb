// A line edit that shows and reads one value through a picture.
#pragma once

#include <QLineEdit>
#include <QVariant>

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

private:
    QString m_picture;
};

} // namespace tunarium
