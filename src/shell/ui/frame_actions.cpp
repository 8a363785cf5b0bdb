// Clipboard commands and the arrangement of minimized windows.
#include "shell/ui/frame_actions.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tunarium {

namespace {

template <class Edit> bool apply(Edit* edit, FrameCommand command) {
    switch (command) {
    case FrameCommand::Cut:
        edit->cut();
        return true;
    case FrameCommand::Copy:
        edit->copy();
        return true;
    case FrameCommand::Paste:
        edit->paste();
        return true;
    default:
        return false;
    }
}

QKeySequence::StandardKey standardKey(FrameCommand command) {
    switch (command) {
    case FrameCommand::Cut:
        return QKeySequence::Cut;
    case FrameCommand::Copy:
        return QKeySequence::Copy;
    default:
        return QKeySequence::Paste;
    }
}

} // namespace

bool clipboardAction(FrameCommand command, QWidget* target) {
    if (!target ||
        (command != FrameCommand::Cut && command != FrameCommand::Copy && command != FrameCommand::Paste)) {
        return false;
    }
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        return apply(line, command);
    }
    if (auto* text = qobject_cast<QTextEdit*>(target)) {
        return apply(text, command);
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        return apply(plain, command);
    }
    if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->lineEdit()) {
        return apply(combo->lineEdit(), command);
    }
    if (qobject_cast<QAbstractSpinBox*>(target)) {
        // A spin box keeps its line edit to itself; its own keys reach it.
        const QKeySequence keys(standardKey(command));
        if (keys.isEmpty()) {
            return false;
        }
        const QKeyCombination combination = keys[0];
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(target, &press);
        return true;
    }
    return false;
}

namespace {

// What a text control holds for the clipboard: selected text, and whether it may be changed.
struct EditState {
    bool editable = false;
    bool selection = false;
    bool readOnly = true;
};

EditState editState(QWidget* target) {
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
        target = combo->lineEdit();
    }
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        return {true, line->hasSelectedText() && line->echoMode() == QLineEdit::Normal, line->isReadOnly()};
    }
    if (auto* text = qobject_cast<QTextEdit*>(target)) {
        return {true, text->textCursor().hasSelection(), text->isReadOnly()};
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        return {true, plain->textCursor().hasSelection(), plain->isReadOnly()};
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(target)) {
        // Its line edit is its own; whatever it shows may be copied.
        return {true, !spin->text().isEmpty(), spin->isReadOnly()};
    }
    return {};
}

} // namespace

bool clipboardActionAvailable(FrameCommand command, QWidget* target) {
    if (!target || !target->isEnabled()) {
        return false;
    }
    const EditState state = editState(target);
    if (!state.editable) {
        return false;
    }
    switch (command) {
    case FrameCommand::Cut:
        return state.selection && !state.readOnly;
    case FrameCommand::Copy:
        return state.selection;
    case FrameCommand::Paste:
        return !state.readOnly && !QGuiApplication::clipboard()->text().isEmpty();
    default:
        return false;
    }
}

void arrangeIcons(QMdiArea* workspace) {
    if (!workspace) {
        return;
    }
    int x = 0;
    int rowBottom = workspace->viewport()->height();
    for (QMdiSubWindow* window : workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        if (x > 0 && x + size.width() > workspace->viewport()->width()) {
            x = 0;
            rowBottom -= size.height();
        }
        window->move(x, rowBottom - size.height());
        x += size.width();
    }
}

} // namespace tunarium
