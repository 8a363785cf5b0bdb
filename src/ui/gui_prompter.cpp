// Message boxes and the file, font and colour dialogs.
#include "ui/gui_prompter.h"

#include "data/settings.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace tunarium {

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonMap {
    int prompt;
    QMessageBox::StandardButton box;
};

constexpr ButtonMap kButtons[] = {
    {kButtonOk, QMessageBox::Ok},         {kButtonYes, QMessageBox::Yes},
    {kButtonNo, QMessageBox::No},         {kButtonRetry, QMessageBox::Retry},
    {kButtonAbort, QMessageBox::Abort},   {kButtonIgnore, QMessageBox::Ignore},
    {kButtonCancel, QMessageBox::Cancel},
};

// Icons and kinds of files from their names alone. Qt's own provider learns a file's kind by
// reading its first bytes. Opening and closing the collection file in this process, even to read
// it, releases every lock SQLite holds on it (POSIX locks belong to the process, not to a
// descriptor); another copy of the program then takes itself for the last one and deletes the
// write-ahead log under this one. A dialog showing the collection directory must open nothing.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) {
            return icon(Drive);
        }
        return info.isDir() ? icon(Folder) : icon(File);
    }

    QString type(const QFileInfo& info) const override {
        if (info.isDir() || info.isRoot()) {
            return QFileIconProvider::type(info);
        }
        const QMimeType mime =
            QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }
};

QAbstractFileIconProvider* nameOnlyIconProvider() {
    // Shared by every dialog and kept to the end of the process: a dialog's file system model
    // may still use it while the dialog is being destroyed.
    static auto* const provider = new NameOnlyIconProvider;
    return provider;
}

void defaultEnd() {
    std::fflush(nullptr);
    // Static destructors would run while the application object still lives on main's stack.
    std::quick_exit(1);
}

} // namespace

GuiPrompter::GuiPrompter(std::function<void()> endProgram)
    : m_endProgram(endProgram ? std::move(endProgram) : std::function<void()>(defaultEnd)) {}

QWidget* GuiPrompter::parent() const {
    if (m_parent) {
        return m_parent;
    }
    return QApplication::activeWindow();
}

int GuiPrompter::message(const PromptMessage& m) {
    QMessageBox box(boxIcon(m.icon), m.caption, m.text, QMessageBox::NoButton, parent());
    for (const ButtonMap& b : kButtons) {
        if (m.buttons & b.prompt) {
            QPushButton* button = box.addButton(b.box);
            if (m.defaultButton == b.prompt) {
                box.setDefaultButton(button);
            }
        }
    }
    if (m.buttons == kButtonNone) {
        box.addButton(QMessageBox::Ok);
    }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const ButtonMap& b : kButtons) {
        if (b.box == pressed) {
            return b.prompt;
        }
    }
    // Closed without a button (Escape): the answer the message's Cancel or No would give.
    for (int fallback : {kButtonCancel, kButtonNo, kButtonOk}) {
        if (m.buttons & fallback) {
            return fallback;
        }
    }
    return m.defaultButton;
}

void GuiPrompter::halt(const QString& text) {
    // The program names itself (its display name) over the last word it says.
    QMessageBox::critical(parent(), QApplication::applicationDisplayName(), text);
    m_endProgram();
}

QString GuiPrompter::chooseFile(const QString& caption, const QString& start, const QString& filter,
                                QFileDialog::AcceptMode mode) {
    std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent(), caption, start, filter, mode);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog->selectedFiles().constFirst();
    rememberFileDialogFolder(chosen);
    return chosen;
}

QString GuiPrompter::chooseOpenFile(const QString& caption, const QString& directory, const QString& filter) {
    return chooseFile(caption, directory, filter, QFileDialog::AcceptOpen);
}

QString GuiPrompter::chooseSaveFile(const QString& caption, const QString& directory, const QString& filter) {
    return chooseFile(caption, directory, filter, QFileDialog::AcceptSave);
}

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption, const QString& start,
                                            const QString& filter, QFileDialog::AcceptMode mode) {
    const QString begin = start.isEmpty() ? fileDialogFolder() : start;
    const QFileInfo info(begin);
    QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    // A folder that is not there would leave Qt's dialog in the current directory, which is the
    // collection directory.
    if (!QFileInfo(folder).isDir()) {
        folder = fileDialogFolder();
    }
    auto dialog = std::make_unique<QFileDialog>(parent, caption, folder, qtFileFilter(filter));
    // Qt's own dialog, never the desktop's: a native dialog in this process would find file
    // kinds by reading the files.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(nameOnlyIconProvider());
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!info.isDir() && !info.fileName().isEmpty()) {
        dialog->selectFile(info.fileName());
    }
    return dialog;
}

bool GuiPrompter::chooseFont(const QString& caption, FontChoice& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, fontOf(font), parent(), caption);
    if (ok) {
        font = fontChoiceOf(chosen, font.colour);
    }
    return ok;
}

bool GuiPrompter::chooseColour(int& colour) {
    const QColor chosen = QColorDialog::getColor(colourOf(colour), parent());
    if (!chosen.isValid()) {
        return false;
    }
    colour = colourValue(chosen);
    return true;
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    if (parts.size() < 2) {
        return filter;
    }
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QFont fontOf(const FontChoice& choice) {
    QFont font(choice.typeFace.isEmpty() ? QApplication::font().family() : choice.typeFace);
    if (choice.size > 0) {
        font.setPointSize(choice.size);
    }
    applyFontStyle(font, choice.style);
    return font;
}

FontChoice fontChoiceOf(const QFont& font, int colour) {
    FontChoice c;
    c.typeFace = font.family();
    c.size = font.pointSize();
    c.colour = colour;
    c.style = fontStyle(font);
    return c;
}

} // namespace tunarium
