// The catalogue's windows that other windows start by procedure name.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

// Registers "BrowseSongs" (Browse › Songs), "BrowseCategories" (Browse › Categories) and
// "BrowseMedia" (Browse › Media Formats).
void registerCatalogueProcedures(ProcedureRegistry& registry);

} // namespace tunarium
