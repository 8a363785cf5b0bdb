// The main procedure.
#include "shell/ui/program.h"

#include "albums/ui/albums_procedures.h"
#include "catalogue/query_wizard_setup.h"
#include "catalogue/ui/catalogue_procedures.h"
#include "exchange/ui/exchange_procedures.h"
#include "files/ui/add_music_window.h"
#include "interchange/ui/playlist_file_procedures.h"
#include "playlists/ui/playlist_procedures.h"
#include "reports/ui/report_procedures.h"
#include "shell/startup.h"
#include "shell/tips.h"
#include "shell/ui/file_manager_window.h"
#include "shell/ui/main_frame.h"
#include "shell/ui/shell_procedures.h"
#include "shell/ui/upgrade_progress_window.h"
#include "survey/ui/survey_procedures.h"
#include "survey/ui/duplicate_procedures.h"

#include <QTimer>

namespace tunarium {

void registerProgramProcedures(ProcedureRegistry& registry) {
    // The browses, forms, wizards, reports, preferences and tips register here as their windows
    // are built.
    registerCatalogueProcedures(registry);
    registerAlbumsProcedures(registry);
    registerFilesProcedures(registry);
    registerPlaylistProcedures(registry);
    registerExchangeProcedures(registry);
    registerInterchangeProcedures(registry);
    registerReportProcedures(registry);
    registerSurveyProcedures(registry);
    registerDuplicateProcedures(registry);
    registerShellProcedures(registry);
}

Program::Program(const QString& collectionDir, Prompter& prompter, const QString& profilePath,
                 const QString& settingsPath, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_profile(profilePath),
      m_db(prompter, collectionDir, profilePath), m_settings(settingsPath) {
    registerProgramProcedures(m_procedures);
}

Program::~Program() {
    delete m_maintenance;
    m_frame.reset();
}

void Program::start() {
    setApplicationHelpFile(QString::fromLatin1(kHelpFileName));
    // The tables are registered once per process; the maintenance flag is looked at before, so
    // that a table the last run could not open is not opened again before the user decides.
    if (!tablesRegistered() && !pendingMaintenanceFile(m_profile).isEmpty()) {
        auto* window = new FileManagerWindow(m_db, m_profile);
        if (window->askAboutBadFile()) {
            delete window;
            emit finished();
            return;
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        m_maintenance = window;
        connect(window, &FileManagerWindow::closed, this,
                [this] { QTimer::singleShot(0, this, &Program::openFrame); });
        window->show();
        return;
    }
    openFrame();
}

void Program::openFrame() {
    if (m_frame) {
        return;
    }
    bool registered = false;
    {
        // A collection of an earlier version is upgraded here, under its progress window.
        UpgradeProgressDisplay upgrading;
        registered = registerTables(m_db);
    }
    if (!registered || m_db.halted()) {
        emit finished();
        return;
    }
    initialiseQueryWizard();
    seedTipsAtStart(m_db, m_settings);
    m_frame = std::make_unique<MainFrame>(m_db, m_settings, m_prompter, m_procedures);
    connect(m_frame.get(), &MainFrame::closed, this, &Program::finished);
    if (!m_frame->open()) {
        emit finished();
        return;
    }
    emit frameOpened(m_frame.get());
    if (m_showSplash) {
        QTimer::singleShot(0, m_frame.get(), &MainFrame::showSplash);
    }
}

} // namespace tunarium
