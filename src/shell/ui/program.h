// The program's main procedure: the help file, the maintenance window first when the last run
// stopped while opening a table, the registration of every table, the query wizard's setup, and
// then the frame, which runs until the user closes it.
#pragma once

#include "data/database.h"
#include "data/settings.h"
#include "shell/ui/file_manager_window.h"
#include "ui/procedure_registry.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace tunarium {

class MainFrame;

// Registers every window of the program that is started by name: each subsystem's procedures.
void registerProgramProcedures(ProcedureRegistry& registry);

class Program : public QObject {
    Q_OBJECT
public:
    // The collection in `collectionDir`; the maintenance flag in `profilePath`; the preferences
    // in `settingsPath`.
    Program(const QString& collectionDir, Prompter& prompter,
            const QString& profilePath = defaultProfilePath(),
            const QString& settingsPath = settingsFilePath(), QObject* parent = nullptr);
    ~Program() override;

    // Runs the main procedure up to the frame (or the maintenance window before it).
    void start();
    // Without the splash window (tests).
    void setShowSplash(bool show) { m_showSplash = show; }

    MainFrame* frame() const { return m_frame.get(); }
    FileManagerWindow* maintenanceWindow() const { return m_maintenance; }
    Database& database() { return m_db; }
    Settings& settings() { return m_settings; }
    ProcedureRegistry& procedures() { return m_procedures; }

signals:
    // The frame is open.
    void frameOpened(MainFrame* frame);
    // The program is done: the frame closed, or the program ends after the maintenance window
    // fixed a file, or a table could not be opened.
    void finished();

private:
    void openFrame();

    Prompter& m_prompter;
    QString m_profile;
    Database m_db;
    Settings m_settings;
    ProcedureRegistry m_procedures;
    QPointer<FileManagerWindow> m_maintenance;
    std::unique_ptr<MainFrame> m_frame;
    bool m_showSplash = true;
};

} // namespace tunarium
