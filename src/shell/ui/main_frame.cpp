// The application frame.
#include "shell/ui/main_frame.h"

#include "catalogue/ui/browse_toolbar.h"

#include "albums/album_entries.h"
#include "data/app_paths.h"
#include "process/ui/process_window.h"
#include "shell/startup.h"
#include "shell/ui/about_window.h"
#include "shell/ui/frame_actions.h"
#include "shell/ui/shell_resources.h"
#include "shell/ui/splash_window.h"
#include "ui/dialog_units.h"
#include "ui/help_guide.h"
#include "ui/help_window.h"
#include "ui/widget_geometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace tunarium {

namespace {

constexpr int kLogoHeight = 40;
// The frame's size at its first start, in dialog units; a smaller screen gets a smaller frame.
constexpr QSize kDesignSize(620, 440);

} // namespace

MainFrame::MainFrame(Database& db, Settings& settings, Prompter& prompter,
                     const ProcedureRegistry& procedures, QWidget* parent)
    : QMainWindow(parent), m_db(db), m_settings(settings), m_prompter(prompter), m_procedures(procedures),
      m_session(db, settings), m_workspace(new QMdiArea(this)) {
    initShellResources();
    // A collection on a read-only disc or folder is shown, and never written: the title says so.
    setWindowTitle(frameTitle(m_db));
    setWindowIcon(QIcon(QStringLiteral(":/images/tunarium.png")));
    m_workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A maximized window stays maximized while others open and close in front of it.
    m_workspace->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(m_workspace);
    buildMenus();
    buildToolBar();
    statusBar();
    refreshCommands();
    resize(DialogUnits(this).toPixels(kDesignSize));
}

MainFrame::~MainFrame() {
    // Child windows closing as the frame goes must not reach the record buttons, which go first.
    disconnect(m_workspace, nullptr, this, nullptr);
    m_session.close();
}

QString MainFrame::positionFile() const {
    return positionFilePath(m_db.collectionDir());
}

QAction* MainFrame::makeAction(const MenuEntry& entry) {
    auto* action = new QAction(entry.caption, this);
    action->setStatusTip(entry.prompt);
    action->setToolTip(entry.prompt.isEmpty() ? QString(entry.caption).remove(u'&') : entry.prompt);
    const FrameCommand command = entry.command;
    connect(action, &QAction::triggered, this, [this, command] { run(command); });
    m_actions.insert(command, action);
    return action;
}

void MainFrame::buildMenus() {
    const std::function<void(QMenu*, const QVector<MenuEntry>&)> fill =
        [&](QMenu* menu, const QVector<MenuEntry>& entries) {
            for (const MenuEntry& e : entries) {
                if (e.separatorBefore) {
                    menu->addSeparator();
                }
                if (e.isSubmenu()) {
                    fill(menu->addMenu(e.caption), e.entries);
                } else {
                    menu->addAction(makeAction(e));
                }
            }
        };
    for (const MenuEntry& top : frameMenu()) {
        QMenu* menu = menuBar()->addMenu(top.caption);
        fill(menu, top.entries);
        if (menu->actions().contains(m_actions.value(FrameCommand::Cut))) {
            connect(menu, &QMenu::aboutToShow, this, &MainFrame::updateEditCommands);
        }
        if (menu->actions().contains(m_actions.value(FrameCommand::Tile))) {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { listWindows(menu); });
        }
    }
    // The control the clipboard commands act on: the one that had the focus before the menu did.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && !qobject_cast<QMenu*>(now) && !qobject_cast<QMenuBar*>(now)) {
            m_editTarget = now;
        }
    });
    m_actions.value(FrameCommand::Cut)->setShortcut(QKeySequence::Cut);
    m_actions.value(FrameCommand::Copy)->setShortcut(QKeySequence::Copy);
    m_actions.value(FrameCommand::Paste)->setShortcut(QKeySequence::Paste);
    m_actions.value(FrameCommand::HelpContents)->setShortcut(QKeySequence::HelpContents);
    // The clipboard keys belong to the focused control; the menu entries only show them.
    for (FrameCommand c : {FrameCommand::Cut, FrameCommand::Copy, FrameCommand::Paste}) {
        m_actions.value(c)->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(menuBar(), &QMenuBar::triggered, this, &MainFrame::closeSplash);
}

void MainFrame::updateEditCommands() {
    for (FrameCommand c : {FrameCommand::Cut, FrameCommand::Copy, FrameCommand::Paste}) {
        m_actions.value(c)->setEnabled(clipboardActionAvailable(c, m_editTarget));
    }
}

// The Window menu lists the open windows after its own commands, the active one ticked; choosing
// one brings it to the front.
void MainFrame::listWindows(QMenu* menu) {
    for (QAction* a : std::as_const(m_windowEntries)) {
        menu->removeAction(a);
        a->deleteLater();
    }
    m_windowEntries.clear();
    const QList<QMdiSubWindow*> windows = m_workspace->subWindowList(QMdiArea::CreationOrder);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        if (!window->isVisible() && !window->isMinimized()) {
            continue;
        }
        if (m_windowEntries.isEmpty()) {
            m_windowEntries << menu->addSeparator();
        }
        ++number;
        QString title = window->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        auto* entry = menu->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        entry->setCheckable(true);
        entry->setChecked(window == m_workspace->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(window)] {
            if (target) {
                if (target->isMinimized()) {
                    target->showNormal();
                }
                m_workspace->setActiveSubWindow(target);
            }
        });
        m_windowEntries << entry;
    }
}

void MainFrame::buildToolBar() {
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("FrameToolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const ToolbarButton& b : frameToolbar()) {
        const MenuEntry* entry = menuEntry(b.command);
        auto* button = new QAction(b.caption, this);
        button->setStatusTip(entry ? entry->prompt : QString());
        button->setToolTip(entry && !entry->prompt.isEmpty() ? entry->prompt : b.caption);
        QAction* menuAction = m_actions.value(b.command);
        // The button acts as its menu command and is available exactly when that command is.
        button->setEnabled(menuAction->isEnabled());
        connect(menuAction, &QAction::enabledChanged, button, &QAction::setEnabled);
        connect(button, &QAction::triggered, menuAction, &QAction::trigger);
        m_toolBar->addAction(button);
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this, &MainFrame::closeSplash);
    buildRecordButtons();
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    m_logo = new QLabel;
    m_logo->setObjectName(QStringLiteral("FrameLogo"));
    m_toolBar->addWidget(m_logo);
    showLogo(std::nullopt);
}

// The record buttons serve whichever child window is active: a browse's navigation and its Add,
// Change and Delete, a form's history button. They are disabled while no such window is active.
void MainFrame::buildRecordButtons() {
    struct Button {
        ToolbarButtonId id;
        const char* caption;
        const char* tip;
    };
    static const Button buttons[] = {
        {ToolbarButtonId::FirstPage, "|<", "Go to the First Page"},
        {ToolbarButtonId::PriorPage, "<<", "Go to the Prior Page"},
        {ToolbarButtonId::PriorRecord, "<", "Go to the Prior Record"},
        {ToolbarButtonId::NextRecord, ">", "Go to the Next Record"},
        {ToolbarButtonId::NextPage, ">>", "Go to the Next Page"},
        {ToolbarButtonId::LastPage, ">|", "Go to the Last Page"},
        {ToolbarButtonId::Locate, "Locate", "Locate a record"},
        {ToolbarButtonId::Insert, "Insert", "Insert a new Record"},
        {ToolbarButtonId::Change, "Change", "Change the Record"},
        {ToolbarButtonId::Delete, "Delete", "Delete the Record"},
        {ToolbarButtonId::History, "History", "Recall the previous values"},
    };
    m_toolBar->addSeparator();
    for (const Button& b : buttons) {
        auto* action = new QAction(QString::fromLatin1(b.caption), this);
        action->setToolTip(QString::fromLatin1(b.tip));
        action->setStatusTip(QString::fromLatin1(b.tip));
        action->setEnabled(false);
        const ToolbarButtonId id = b.id;
        connect(action, &QAction::triggered, this, [this, id] {
            if (ToolbarTarget* target = toolbarTargetOf(m_workspace->activeSubWindow())) {
                target->toolbarPressed(id);
            }
        });
        m_toolBar->addAction(action);
        m_recordButtons.insert(static_cast<int>(id), action);
    }
    connect(m_workspace, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (ToolbarTarget* previous = toolbarTargetOf(m_recordTarget)) {
            previous->setToolbarObserver({});
        }
        m_recordTarget = window;
        if (ToolbarTarget* target = toolbarTargetOf(window)) {
            target->setToolbarObserver([this] { updateRecordButtons(); });
        }
        updateRecordButtons();
    });
}

void MainFrame::updateRecordButtons() {
    ToolbarTarget* target = toolbarTargetOf(m_workspace->activeSubWindow());
    for (ToolbarButtonId id : kToolbarButtons) {
        QAction* action = m_recordButtons.value(static_cast<int>(id));
        if (!action) {
            continue;
        }
        action->setEnabled(target && target->toolbarEnabled(id));
        const QString tip = toolbarToolTip(id);
        if (!tip.isEmpty()) {
            action->setToolTip(tip);
        }
    }
}

bool MainFrame::available(FrameCommand command) const {
    switch (command) {
    case FrameCommand::PrintSetup:
        return PrinterSetup::available();
    case FrameCommand::CdPlayer:
        // There is no CD player window: the command and its toolbar button stay greyed.
        return false;
    case FrameCommand::Exit:
    case FrameCommand::Cut:
    case FrameCommand::Copy:
    case FrameCommand::Paste:
    case FrameCommand::Tile:
    case FrameCommand::Cascade:
    case FrameCommand::ArrangeIcons:
    case FrameCommand::HelpContents:
    case FrameCommand::HelpSearch:
    case FrameCommand::HelpHowToUse:
    case FrameCommand::HelpAbout:
        return true;
    default:
        return m_procedures.contains(commandProcedure(command, m_settings));
    }
}

void MainFrame::refreshCommands() {
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        it.value()->setEnabled(available(it.key()));
    }
}

void MainFrame::trigger(FrameCommand command) {
    QAction* a = m_actions.value(command);
    if (a && a->isEnabled()) {
        a->trigger();
    }
}

void MainFrame::showLogo(const std::optional<QString>& file) {
    // A picture file that cannot be read leaves the picture empty, without a word.
    QPixmap picture(file ? *file : QStringLiteral(":/images/logo.png"));
    if (!picture.isNull() && picture.height() > kLogoHeight) {
        picture = picture.scaledToHeight(kLogoHeight, Qt::SmoothTransformation);
    }
    m_logo->setPixmap(picture);
}

bool MainFrame::open() {
    if (!m_session.open()) {
        return false;
    }
    // Where no place is kept (the first start): centred on the screen, with room around it for the
    // window manager's frame, which the window does not know before it is shown.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        resize(size().boundedTo(area.size() - QSize(area.width() / 20, area.height() / 10)));
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    fitWidgetWindow(this);
    restoreWidgetPosition(this, QStringLiteral("Main"), positionFile());
    refreshCommands();
    askAlbumQuestion();
    showLogo(m_session.logoFile());
    return !m_db.halted();
}

void MainFrame::askAlbumQuestion() {
    if (!m_session.albumQuestionApplies() || !m_session.askAlbumQuestion(m_prompter)) {
        return;
    }
    m_session.rememberAlbumEntries();
    runProcess(std::make_unique<AlbumEntriesProcess>(m_db));
}

void MainFrame::runProcess(std::unique_ptr<Process> process, std::function<void(bool)> done) {
    runProcessWindow(m_workspace, std::move(process), std::move(done));
}

void MainFrame::showSplash() {
    if (m_splash) {
        return;
    }
    m_splash = new SplashWindow(m_session.versionText());
    connect(m_splash, &SplashWindow::closed, this,
            [this] { QTimer::singleShot(0, this, &MainFrame::afterSplash); });
    m_splash->adjustSize();
    m_splash->move(geometry().center() - m_splash->rect().center());
    m_splash->show();
}

void MainFrame::closeSplash() {
    if (m_splash) {
        m_splash->close();
    }
}

void MainFrame::afterSplash() {
    if (m_closed) {
        return;
    }
    const ProcedureContext c = context();
    if (!m_settings.setupWizardComplete()) {
        m_procedures.start(QString::fromLatin1(procedure::kSetupWizard), c);
    }
    if (m_settings.showTips()) {
        if (m_settings.dbgMode()) {
            if (m_procedures.contains(QString::fromLatin1(procedure::kTipEditor))) {
                PromptMessage m;
                m.caption = QStringLiteral("Introduction");
                m.text = QStringLiteral("Add Tips");
                m.icon = PromptIcon::Information;
                m_prompter.message(m);
                m_procedures.start(QString::fromLatin1(procedure::kTipEditor), c);
            }
        } else {
            m_procedures.start(QString::fromLatin1(procedure::kTipOfTheDay), c);
        }
    }
    const std::pair<bool, FrameCommand> startUp[] = {
        {m_settings.suSongs(), FrameCommand::BrowseSongs},
        {m_settings.suAlbums(), FrameCommand::BrowseAlbums},
        {m_settings.suPlaylists(), FrameCommand::BrowsePlayLists},
        {m_settings.suLabels(), FrameCommand::BrowseLabels},
    };
    for (const auto& [wanted, command] : startUp) {
        if (wanted) {
            trigger(command);
        }
    }
}

ProcedureContext MainFrame::context() {
    return {m_db, m_settings, m_prompter, m_workspace, this, m_procedures};
}

void MainFrame::startProcedure(const QString& name) {
    m_procedures.start(name, context());
}

void MainFrame::run(FrameCommand command) {
    switch (command) {
    case FrameCommand::PrintSetup:
        m_printer.showDialog(this);
        break;
    case FrameCommand::CdPlayer:
        // The CD player procedure returns at once and opens no window.
        break;
    case FrameCommand::Exit:
        close();
        break;
    case FrameCommand::Cut:
    case FrameCommand::Copy:
    case FrameCommand::Paste:
        clipboardAction(command, m_editTarget ? m_editTarget.data() : QApplication::focusWidget());
        break;
    case FrameCommand::Tile:
        m_workspace->tileSubWindows();
        break;
    case FrameCommand::Cascade:
        m_workspace->cascadeSubWindows();
        break;
    case FrameCommand::ArrangeIcons:
        arrangeIcons(m_workspace);
        break;
    case FrameCommand::HelpContents:
    case FrameCommand::HelpSearch:
    case FrameCommand::HelpHowToUse:
        openHelp(command);
        break;
    case FrameCommand::HelpAbout:
        openAbout();
        break;
    default:
        startProcedure(commandProcedure(command, m_settings));
    }
}

void MainFrame::openHelp(FrameCommand command) {
    if (!m_help) {
        m_help = new HelpWindow(this);
        m_help->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (command == FrameCommand::HelpSearch) {
        m_help->showSearch();
    } else if (command == FrameCommand::HelpHowToUse) {
        m_help->showContents();
        m_help->showTopic(QString::fromLatin1(kHowToUseHelpPage));
    } else {
        m_help->showContents();
    }
}

void MainFrame::openAbout() {
    auto* about = new AboutWindow(m_session.versionText(), m_db.collectionDir());
    connect(about, &AboutWindow::guideRequested, this, [this] { openHelp(FrameCommand::HelpContents); });
    connect(about, &AboutWindow::compileInfoRequested, this,
            [this] { startProcedure(QStringLiteral("CompileDate")); });
    QMdiSubWindow* sub = m_workspace->addSubWindow(about);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    fitWidgetWindow(sub);
    about->okButton()->setFocus();
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        refreshCommands();
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    closeSplash();
    m_workspace->closeAllSubWindows();
    const QList<QMdiSubWindow*> left = m_workspace->subWindowList();
    if (std::any_of(left.begin(), left.end(), [](QMdiSubWindow* w) { return w->isVisible(); })) {
        // A window refused to close (it is asking the user something): the frame stays.
        event->ignore();
        return;
    }
    if (m_help) {
        m_help->close();
    }
    saveWidgetPosition(this, QStringLiteral("Main"), positionFile());
    m_session.close();
    m_closed = true;
    event->accept();
    emit closed();
}

} // namespace tunarium
