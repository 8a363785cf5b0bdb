// The duplicate search's procedure in the program's registry.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

// FindDuplicates: the frame's Browse › Find Duplicates... starts it.
void registerDuplicateProcedures(ProcedureRegistry& registry);

} // namespace tunarium
