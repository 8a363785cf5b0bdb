// The albums' procedures in the program's registry.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

// Registers "AddSingleArtist" (Browse › Wizards › Quick Single Artist Album) and "AddCompilation"
// (Browse › Wizards › Quick Compilation), which the song form starts too; "BrowseAlbums" (Browse ›
// Albums), "AlbumWizard" (Browse › Wizards › Add Album, and the albums browse), and the selection
// lists "SelectAlbum" and "SelectFileNumber".
void registerAlbumsProcedures(ProcedureRegistry& registry);

} // namespace tunarium
