// Registering the shell's windows.
#include "shell/ui/shell_procedures.h"

#include "data/app_paths.h"
#include "shell/frame_commands.h"
#include "shell/ui/compile_info_window.h"
#include "shell/ui/preferences_window.h"
#include "shell/ui/setup_wizard_window.h"
#include "shell/ui/tip_window.h"
#include "shell/ui/tips_browse_window.h"

namespace tunarium {

void registerShellProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kPreferences), startPreferences);
    registry.add(QString::fromLatin1(procedure::kSetupWizard), startSetupWizard);
    registry.add(QString::fromLatin1(procedure::kTipOfTheDay), startTipOfTheDay);
    registry.add(QString::fromLatin1(procedure::kTipEditor), startTipEditor);
    registry.add(QString::fromLatin1(kCompileDateProcedure), [](const ProcedureContext& c) {
        auto* window =
            new CompileInfoWindow(c.settings.datePicture(), positionFilePath(c.db.collectionDir()), c.caller);
        window->show();
    });
}

} // namespace tunarium
