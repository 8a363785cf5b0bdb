// The catalogue's procedures in the frame's registry.
#include "catalogue/ui/catalogue_procedures.h"

#include "catalogue/ui/songs_browse_window.h"

#include "catalogue/ui/categories_windows.h"
#include "catalogue/ui/media_windows.h"
#include "shell/frame_commands.h"

namespace tunarium {

void registerCatalogueProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kBrowseCategories), [](FrameContext& context) {
        openBrowseCategories(context.db, positionFilePath(context.db.collectionDir()), &context.workspace);
    });
    registry.add(QString::fromLatin1(procedure::kBrowseMedia), [](FrameContext& context) {
        openBrowseMedia(context.db, positionFilePath(context.db.collectionDir()), &context.workspace);
    });
    registry.add(QString::fromLatin1(procedure::kBrowseSongs), [](FrameContext& context) {
        SongsBrowseWindow::openSongs(context.db, context.settings, context.prompter, &context.workspace);
    });
}

} // namespace tunarium
