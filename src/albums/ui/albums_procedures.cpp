// The albums' procedures in the program's registry.
#include "albums/ui/albums_procedures.h"

#include "albums/procedure_names.h"
#include "albums/ui/add_wizard_window.h"
#include "albums/ui/album_wizard_window.h"
#include "albums/ui/albums_browse_window.h"
#include "albums/ui/select_windows.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/procedure_names.h"

namespace tunarium {

void registerAlbumsProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kAddSingleArtist), [](const ProcedureContext& context) {
        AddWizardWindow::openWizard(context, WizardKind::SingleArtist);
    });
    registry.add(QString::fromLatin1(procedure::kAddCompilation), [](const ProcedureContext& context) {
        AddWizardWindow::openWizard(context, WizardKind::Compilation);
    });
    registry.add(QString::fromLatin1(procedure::kUpdateAlbum), &UpdateAlbumWindow::openAlbum);
    registry.add(QString::fromLatin1(procedure::kBrowseAlbums),
                 [](const ProcedureContext& context) { AlbumsBrowseWindow::openAlbums(context); });
    registry.add(QString::fromLatin1(procedure::kAlbumWizard),
                 [](const ProcedureContext& context) { AlbumWizardWindow::openWizard(context); });
    registry.add(QString::fromLatin1(procedure::kSelectAlbum),
                 [](const ProcedureContext& context) { openSelectAlbum(context); });
    registry.add(QString::fromLatin1(procedure::kSelectFileNumber),
                 [](const ProcedureContext& context) { openSelectFileNumber(context); });
}

} // namespace tunarium
