// Message boxes and the file, font and colour dialogs.
#include "ui/gui_prompter.h"

#include "data/settings.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontDialog>
#include <QGridLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

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

namespace {

// Every window and dialog of the program opens at least as wide as its title needs, so that the
// title is never cut: the window manager's buttons beside a window's title, the workspace's beside
// a child window's. A screen too narrow for the title leaves the window as it is.
class WholeTitles final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) {
            return false;
        }
        auto* w = static_cast<QWidget*>(watched);
        const bool child = qobject_cast<QMdiSubWindow*>(w) != nullptr;
        const Qt::WindowType type = w->windowType();
        if (!child && (!w->isWindow() || (type != Qt::Window && type != Qt::Dialog))) {
            return false;
        }
        if (qobject_cast<QMessageBox*>(w) || w->windowTitle().isEmpty()) {
            return false; // a message box keeps its own size; see roomForTitle()
        }
        const int buttons = child ? 4 * w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w)
                                  : 160;
        const int needed = w->fontMetrics().horizontalAdvance(w->windowTitle()) + buttons;
        const QScreen* screen = w->screen();
        const int room = child && w->parentWidget() ? w->parentWidget()->width()
                                                    : (screen ? screen->availableGeometry().width() : 0);
        if (w->width() < needed && needed <= room && w->maximumWidth() >= needed) {
            w->resize(needed, w->height());
        }
        return false;
    }
};

// A message box as wide as its caption needs (a box holds a layout of its own and sizes itself).
void roomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    const int needed = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

GuiPrompter::GuiPrompter(std::function<void()> endProgram)
    : m_endProgram(endProgram ? std::move(endProgram) : std::function<void()>(defaultEnd)) {
    if (qApp) {
        static auto* const titles = new WholeTitles(qApp);
        qApp->installEventFilter(titles);
    }
}

QWidget* GuiPrompter::parent() const {
    // Over the window that asks: a dialog in front of the frame (Preferences, say) would otherwise
    // cover a box shown over the frame.
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return m_parent;
}

namespace {

// Where the keyboard was when a box was shown, so that it goes back there when the box closes:
// the window that asked, not whichever window of the workspace the frame hands the focus to on its
// own (the first one opened, a maximised browse behind a form, say). The window that asked is the
// child window of the workspace holding the focus, or the window in front of it (a progress window
// of a form), or else the child window the workspace had active.
class FocusKeeper {
public:
    explicit FocusKeeper(QWidget* frame)
        : m_focus(QApplication::focusWidget()), m_window(QApplication::activeWindow()) {
        m_sub = childWindowOf(m_focus ? m_focus.data() : m_window.data());
        if (!m_sub && frame) {
            if (auto* area = frame->findChild<QMdiArea*>()) {
                m_sub = area->currentSubWindow();
            }
        }
    }
    FocusKeeper(const FocusKeeper&) = delete;
    FocusKeeper& operator=(const FocusKeeper&) = delete;
    ~FocusKeeper() {
        if (m_window && m_window->isVisible() && !m_window->isActiveWindow()) {
            m_window->activateWindow();
        }
        if (m_sub && m_sub->isVisible() && m_sub->mdiArea()) {
            m_sub->mdiArea()->setActiveSubWindow(m_sub);
            focusInside(m_sub, m_focus);
        } else if (usable(m_focus)) {
            m_focus->setFocus(Qt::OtherFocusReason);
        }
    }

private:
    static bool usable(QWidget* w) { return w && w->isVisible() && w->isEnabled(); }
    // The workspace's child window holding `w`, across the windows a form opens in front of it.
    static QMdiSubWindow* childWindowOf(QWidget* w) {
        for (; w; w = w->parentWidget()) {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
                return sub;
            }
        }
        return nullptr;
    }
    // The focus into the child window: where it was, or where the form had it last, or its first
    // control that takes the focus.
    static void focusInside(QMdiSubWindow* sub, QWidget* preferred) {
        if (usable(preferred) && sub->isAncestorOf(preferred) && preferred->window() == sub->window()) {
            preferred->setFocus(Qt::OtherFocusReason);
            return;
        }
        QWidget* inner = sub->widget();
        if (!inner) {
            return;
        }
        if (QWidget* last = inner->focusWidget(); usable(last)) {
            last->setFocus(Qt::OtherFocusReason);
            return;
        }
        for (QWidget* w = inner->nextInFocusChain(); w && w != inner; w = w->nextInFocusChain()) {
            if (inner->isAncestorOf(w) && usable(w) && (w->focusPolicy() & Qt::TabFocus) &&
                w->window() == inner->window()) {
                w->setFocus(Qt::TabFocusReason);
                return;
            }
        }
        inner->setFocus(Qt::OtherFocusReason);
    }

    QPointer<QWidget> m_focus;
    QPointer<QWidget> m_window;
    QPointer<QMdiSubWindow> m_sub;
};

} // namespace

int GuiPrompter::message(const PromptMessage& m) {
    const FocusKeeper keeper(m_parent);
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
    roomForTitle(box);
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

QString GuiPrompter::chooseFolder(const QString& caption, const QString& directory) {
    std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent(), caption, directory, {}, QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog->selectedFiles().constFirst();
    rememberFileDialogFolder(chosen + QStringLiteral("/."));
    return chosen;
}

QStringList GuiPrompter::chooseOpenFiles(const QString& caption, const QString& directory, const QString& filter) {
    std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent(), caption, directory, filter, QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    const QStringList chosen = dialog->selectedFiles();
    rememberFileDialogFolder(chosen.constFirst());
    return chosen;
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
