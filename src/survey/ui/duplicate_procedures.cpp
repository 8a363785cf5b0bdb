// Registering "Find Duplicates".
#include "survey/ui/duplicate_procedures.h"

#include "survey/duplicate_names.h"
#include "survey/ui/duplicate_window.h"

namespace tunarium {

void registerDuplicateProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kFindDuplicates),
                 [](const ProcedureContext& context) { DuplicateWindow::open(context); });
}

} // namespace tunarium
