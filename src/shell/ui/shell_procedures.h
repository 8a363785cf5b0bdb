// The shell's own windows by procedure name: Preferences, the setup wizard, the tip of the day,
// the tip editor and the compile information.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

void registerShellProcedures(ProcedureRegistry& registry);

} // namespace tunarium
