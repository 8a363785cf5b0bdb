// The catalogue's windows that the frame starts by procedure name.
#pragma once

#include "shell/ui/procedure_registry.h"

namespace tunarium {

// Registers "BrowseCategories" (Browse › Categories) and "BrowseMedia" (Browse › Media Formats).
void registerCatalogueProcedures(ProcedureRegistry& registry);

} // namespace tunarium
