// The application frame: the main window with the workspace that holds every other window, the
// menu bar and the toolbar with the logo picture. It keeps Album, Media and the songs open while
// it lives, saves its position as "Main", and closes every window in order when it closes.
#pragma once

#include "process/process_runner.h"
#include "shell/frame_commands.h"
#include "shell/frame_session.h"
#include "shell/ui/printer_setup.h"
#include "shell/ui/splash_window.h"
#include "ui/help_window.h"
#include "ui/procedure_registry.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QToolBar;

namespace tunarium {

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    MainFrame(Database& db, Settings& settings, Prompter& prompter, const ProcedureRegistry& procedures,
              QWidget* parent = nullptr);
    ~MainFrame() override;

    // Opens the frame's tables and shows the frame where it was last: media seeding, version,
    // settings, the logo, and the album question. False when the program is ending.
    bool open();
    // Shows the splash window; when it closes, the setup wizard, the tips and the start-up windows
    // follow as the settings ask.
    void showSplash();
    // Closes the splash window early (the user used the frame).
    void closeSplash();
    bool splashShown() const { return !m_splash.isNull(); }

    QAction* action(FrameCommand command) const { return m_actions.value(command); }
    // Runs a command as if the user had chosen it; a disabled command does nothing.
    void trigger(FrameCommand command);
    QMdiArea* workspace() const { return m_workspace; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLabel* logoPicture() const { return m_logo; }
    FrameSession& session() { return m_session; }
    HelpWindow* helpWindow() const { return m_help; }
    // Runs a process in a progress window in the workspace; `done` learns whether it completed.
    void runProcess(std::unique_ptr<Process> process, std::function<void(bool)> done = {});
    // Enables each command whose window exists, following the settings (the browse style).
    void refreshCommands();
    QString positionFile() const;

signals:
    // The frame closed: every window is closed and the tables too.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildRecordButtons();
    void updateEditCommands();
    void listWindows(QMenu* menu);
    void updateRecordButtons();
    QAction* makeAction(const MenuEntry& entry);
    void run(FrameCommand command);
    void startProcedure(const QString& name);
    bool available(FrameCommand command) const;
    void showLogo(const std::optional<QString>& file);
    void askAlbumQuestion();
    void afterSplash();
    void openHelp(FrameCommand command);
    void openAbout();
    void printSetup();
    ProcedureContext context();
    QHash<int, QAction*> m_recordButtons;
    QPointer<QWidget> m_editTarget;
    QList<QAction*> m_windowEntries;
    QPointer<QMdiSubWindow> m_recordTarget;

    Database& m_db;
    Settings& m_settings;
    Prompter& m_prompter;
    const ProcedureRegistry& m_procedures;
    FrameSession m_session;
    QMdiArea* m_workspace;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_logo = nullptr;
    QHash<FrameCommand, QAction*> m_actions;
    QPointer<SplashWindow> m_splash;
    QPointer<HelpWindow> m_help;
    PrinterSetup m_printer;
    bool m_closed = false;
};

} // namespace tunarium
