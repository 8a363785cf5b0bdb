// Import and export in the frame's registry.
#pragma once

#include "shell/ui/procedure_registry.h"

namespace tunarium {

// Registers "ImportSongs" (File › Import) and "ExportSongs" (File › Export).
void registerExchangeProcedures(ProcedureRegistry& registry);

} // namespace tunarium
