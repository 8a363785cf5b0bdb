// The playlist files from the playlists browse: ExportPlaylistFile (the playlist given as the
// argument, as M3U8 or, chosen by the file's type, as a Rekordbox XML library holding it),
// ExportSearchFile (the songs the saved search given as the argument finds now, as M3U8) and
// ImportPlaylistFile (an M3U8, M3U, PLS or Rekordbox XML file into new playlists). Each asks for
// its file, does its work and tells what it did under its caption.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

void exportPlaylistFileFrom(const ProcedureContext& context);
void exportSearchFileFrom(const ProcedureContext& context);
void importPlaylistFileFrom(const ProcedureContext& context);

void registerInterchangeProcedures(ProcedureRegistry& registry);

} // namespace tunarium
