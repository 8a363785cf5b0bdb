// Import and export in the program's registry.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

// Registers "ImportSongs" (File › Import, the songs browse's &Import) and "ExportSongs" (File ›
// Export, the songs browse's &Export). Their windows open window-modal over the caller.
void registerExchangeProcedures(ProcedureRegistry& registry);

} // namespace tunarium
