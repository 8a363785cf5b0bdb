// Import and export started from the frame.
#include "exchange/ui/exchange_procedures.h"

#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"
#include "shell/frame_commands.h"
#include "shell/ui/main_frame.h"

namespace tunarium {

void registerExchangeProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kImport), [](FrameContext& context) {
        startImport(context.db, context.prompter, &context.workspace, &context.frame);
    });
    registry.add(QString::fromLatin1(procedure::kExport), [](FrameContext& context) {
        startExport(context.db, context.prompter, &context.workspace, &context.frame);
    });
}

} // namespace tunarium
