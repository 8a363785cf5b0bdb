// Line edits bound to a picture.
#include "catalogue/ui/picture_edit.h"

#include "data/pictures.h"

namespace tunarium {

PictureEdit::PictureEdit(const QString& picture, QWidget* parent) : QLineEdit(parent) {
    setPicture(picture);
}

void PictureEdit::setPicture(const QString& picture) {
    m_picture = picture;
    const Picture parsed = Picture::parse(picture);
    if (parsed.kind() == Picture::Kind::Text && parsed.width() > 0) {
        setMaxLength(parsed.width());
    }
}

void PictureEdit::setValue(const QVariant& value) {
    setText(formatPicture(value, m_picture));
    setCursorPosition(0);
}

QVariant PictureEdit::value() const {
    return deformatPicture(text(), m_picture);
}

} // namespace tunarium
