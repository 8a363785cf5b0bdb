// The survey room's windows in the program's registry: "CollectionStatistics".
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

void registerSurveyProcedures(ProcedureRegistry& registry);

} // namespace tunarium
