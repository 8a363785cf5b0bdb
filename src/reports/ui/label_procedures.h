// The label, favourite font and binder page windows in the program's registry, each under its
// procedure name (reports/procedure_names.h).
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

void registerLabelProcedures(ProcedureRegistry& registry);

// "Create Label...": the label form over a new label filled from the album whose ALB:AlbumID is
// the context's argument.
void createLabelForAlbum(const ProcedureContext& context);
// "Quick CD Insert": the flap page of the file number of the album whose ALB:AlbumID is the
// context's argument.
void quickCdInsert(const ProcedureContext& context);

} // namespace tunarium
