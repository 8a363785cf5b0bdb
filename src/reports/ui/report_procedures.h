// The reports in the program's registry, each under its procedure name (catalogue/procedure_names.h).
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

void registerReportProcedures(ProcedureRegistry& registry);

} // namespace tunarium
