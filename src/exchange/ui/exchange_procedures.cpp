// Import and export started by procedure name.
#include "exchange/ui/exchange_procedures.h"

#include "catalogue/procedure_names.h"
#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"

namespace tunarium {

void registerExchangeProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kImport), [](const ProcedureContext& context) {
        startImport(context.db, context.prompter, context.workspace, context.caller);
    });
    registry.add(QString::fromLatin1(procedure::kExport), [](const ProcedureContext& context) {
        startExport(context.db, context.prompter, context.workspace, context.caller);
    });
}

} // namespace tunarium
