// Line edits bound to a picture.
#include "catalogue/ui/picture_edit.h"

#include "data/date_formats.h"
#include "data/picture_room.h"
#include "data/pictures.h"
#include "data/prompter.h"
#include "ui/dialog_units.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>

namespace tunarium {

namespace {

// No field asks for more than this: a longer text scrolls in its field.
constexpr int kMostCharacters = 80;

} // namespace

PictureEdit::PictureEdit(const QString& picture, QWidget* parent) : QLineEdit(parent) {
    setPicture(picture);
}

PictureEdit::PictureEdit(TableId table, int field, QWidget* parent)
    : PictureEdit(formPicture(table, field), parent) {}

void PictureEdit::setPicture(const QString& picture) {
    m_picture = picture;
    const Picture parsed = Picture::parse(picture);
    if (parsed.kind() == Picture::Kind::Text && parsed.width() > 0) {
        setMaxLength(parsed.width());
    }
    // A release date under Year Only is a number picture that holds years.
    m_entryForm = picture.compare(QLatin1String("@") + QLatin1String(kYearOnlyCode), Qt::CaseInsensitive) == 0
                      ? QStringLiteral("yyyy")
                      : parsed.entryForm();
    const bool dateOrTime = parsed.kind() == Picture::Kind::Date || parsed.kind() == Picture::Kind::Time;
    setPlaceholderText(dateOrTime || m_entryForm == QLatin1String("yyyy") ? m_entryForm : QString());
    updateGeometry();
}

void PictureEdit::setValue(const QVariant& value) {
    setText(formatPicture(value, m_picture));
    m_shown = text();
    setCursorPosition(0);
}

QVariant PictureEdit::value() const {
    return deformatPicture(text(), m_picture);
}

bool PictureEdit::readsValue() const {
    return Picture::parse(m_picture).read(text()).has_value();
}

void PictureEdit::restoreShown() {
    setText(m_shown);
    selectAll();
}

namespace {

// The label a form shows beside `edit`, without its "&" and colon; "This field" when none.
QString fieldLabel(const PictureEdit* edit) {
    for (QWidget* w = edit->parentWidget(); w; w = w->parentWidget()) {
        for (auto* form : w->findChildren<QFormLayout*>()) {
            if (auto* label = qobject_cast<QLabel*>(form->labelForField(const_cast<PictureEdit*>(edit)))) {
                QString text = label->text();
                text.remove(u'&');
                while (text.endsWith(u':') || text.endsWith(u'*') || text.endsWith(u' ')) {
                    text.chop(1);
                }
                return text;
            }
        }
        if (qobject_cast<QDialog*>(w) || w->isWindow()) {
            break;
        }
    }
    return edit->accessibleName().isEmpty() ? QStringLiteral("This field") : edit->accessibleName();
}

} // namespace

PictureEdit* refuseUnreadable(const QList<PictureEdit*>& edits, Prompter& prompter, const QString& caption) {
    for (PictureEdit* edit : edits) {
        if (!edit || !edit->isEnabled() || edit->isReadOnly() || edit->readsValue()) {
            continue;
        }
        const QString form = edit->entryForm();
        const bool date = form.contains(QStringLiteral("yyyy"));
        const QString what = date ? QStringLiteral("a date as %1, or a year alone (1975)").arg(form)
                             : form.contains(u':') ? QStringLiteral("a length as %1 (3:39)").arg(form)
                                                   : form;
        PromptMessage m;
        m.caption = caption;
        m.text = QStringLiteral("%1: \"%2\" cannot be read. Type %3.").arg(fieldLabel(edit), edit->text(), what);
        m.icon = PromptIcon::Exclamation;
        prompter.message(m);
        // The tab that holds the field comes forward with it.
        for (QWidget* w = edit->parentWidget(); w; w = w->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < tabs->count(); ++i) {
                    if (tabs->widget(i)->isAncestorOf(edit)) {
                        tabs->setCurrentIndex(i);
                    }
                }
            }
        }
        edit->restoreShown();
        edit->setFocus(Qt::OtherFocusReason);
        return edit;
    }
    return nullptr;
}

PictureEdit* refuseUnreadableIn(QWidget* form, Prompter& prompter, const QString& caption) {
    QList<PictureEdit*> edits;
    // The focus chain gives the order a user meets the fields in.
    QWidget* w = form;
    do {
        if (auto* edit = dynamic_cast<PictureEdit*>(w); edit && form->isAncestorOf(edit)) {
            edits << edit;
        }
        w = w->nextInFocusChain();
    } while (w && w != form);
    // PictureEdit has no meta-object of its own: its line edits are told apart by their type.
    for (QLineEdit* line : form->findChildren<QLineEdit*>()) {
        auto* edit = dynamic_cast<PictureEdit*>(line);
        if (edit && !edits.contains(edit)) {
            edits << edit;
        }
    }
    return refuseUnreadable(edits, prompter, caption);
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
