// Line edits bound to a picture.
#include "catalogue/ui/picture_edit.h"

#include "data/picture_room.h"
#include "data/pictures.h"
#include "ui/dialog_units.h"

#include <QComboBox>

namespace tunarium {

namespace {

// No field asks for more than this: a longer text scrolls in its field.
constexpr int kMostCharacters = 80;

} // namespace

PictureEdit::PictureEdit(const QString& picture, QWidget* parent) : QLineEdit(parent) {
    setPicture(picture);
}

void PictureEdit::setPicture(const QString& picture) {
    m_picture = picture;
    const Picture parsed = Picture::parse(picture);
    if (parsed.kind() == Picture::Kind::Text && parsed.width() > 0) {
        setMaxLength(parsed.width());
    }
    updateGeometry();
}

void PictureEdit::setValue(const QVariant& value) {
    setText(formatPicture(value, m_picture));
    setCursorPosition(0);
}

QVariant PictureEdit::value() const {
    return deformatPicture(text(), m_picture);
}

QSize PictureEdit::sizeHint() const {
    // The line edit's own hint is seventeen x's with its frame and margins around them: the frame
    // and margins stay, the text's room is the picture's.
    const QSize hint = QLineEdit::sizeHint();
    const int chrome = hint.width() - fontMetrics().horizontalAdvance(u'x') * 17;
    const int text = DialogUnits(this).textWidth(pictureRoom(m_picture, kMostCharacters));
    // One more character's room for the cursor after the last one.
    return {chrome + text + fontMetrics().horizontalAdvance(u'x'), hint.height()};
}

void setMinimumCharacters(QComboBox* box, int characters) {
    // The box counts its contents in X's, the widest letter.
    const int room = DialogUnits(box).characters(characters);
    const int x = std::max(1, box->fontMetrics().horizontalAdvance(u'X'));
    box->setMinimumContentsLength((room + x - 1) / x);
}

} // namespace tunarium
