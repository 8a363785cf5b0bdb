// The catalogue's procedures in the program's registry.
#include "catalogue/ui/catalogue_procedures.h"

#include "catalogue/procedure_names.h"
#include "catalogue/ui/categories_windows.h"
#include "catalogue/ui/media_windows.h"
#include "catalogue/ui/songs_browse_window.h"
#include "catalogue/ui/xplore_windows.h"

#include <QLineEdit>

namespace tunarium {

void registerCatalogueProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kBrowseCategories), [](const ProcedureContext& context) {
        openBrowseCategories(context.db, positionFilePath(context.db.collectionDir()), context.workspace);
    });
    registry.add(QString::fromLatin1(procedure::kBrowseMedia), [](const ProcedureContext& context) {
        openBrowseMedia(context.db, positionFilePath(context.db.collectionDir()), context.workspace);
    });
    // The argument, when it is a text, is put in the search box: the songs of a slice another
    // window names in the box's syntax (a bar of the collection's statistics).
    registry.add(QString::fromLatin1(procedure::kBrowseSongs), [](const ProcedureContext& context) {
        SongsBrowseWindow* window = SongsBrowseWindow::openSongs(context);
        if (window && context.argument.typeId() == QMetaType::QString) {
            const QString search = context.argument.toString();
            window->searchBox()->field()->setText(search);
            window->searchFor(search);
        }
    });
    registerExplorerProcedures(registry);
}

} // namespace tunarium
