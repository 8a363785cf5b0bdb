// The labels' procedures.
#include "reports/ui/label_procedures.h"

#include "data/table_lease.h"
#include "reports/procedure_names.h"
#include "reports/ui/binder_pages_window.h"
#include "reports/ui/favorite_fonts_window.h"
#include "reports/ui/label_output.h"
#include "reports/ui/label_wizard_window.h"
#include "reports/ui/labels_browse_window.h"
#include "reports/ui/update_label_window.h"

namespace tunarium {

namespace {

// The album the context's argument names; false (after saying so) when it is not there.
bool readAlbum(const ProcedureContext& context, const QString& caption, Row& album) {
    const qint64 id = context.argument.toLongLong();
    TableLease albums(context.db, {TableId::Album});
    if (!albums) {
        return false;
    }
    album = Row(TableId::Album);
    const bool found = id > 0 && context.db.store().get(TableId::Album, alb::kKeyAlbumId, {id}, album).ok();
    albums.release();
    if (!found) {
        context.prompter.message({caption, QStringLiteral("The album is no longer in the collection."),
                                  PromptIcon::Exclamation, kButtonOk, kButtonOk});
    }
    return found;
}

} // namespace

void createLabelForAlbum(const ProcedureContext& context) {
    Row album;
    if (!readAlbum(context, QStringLiteral("Create Label"), album)) {
        return;
    }
    auto* form = new UpdateLabelWindow(context, Request::Insert, Row(TableId::Labels), {});
    if (form->start(context.workspace)) {
        form->fillFromAlbum(album);
    }
}

void quickCdInsert(const ProcedureContext& context) {
    Row album;
    if (!readAlbum(context, QStringLiteral("Quick CD Insert"), album)) {
        return;
    }
    const QString fileNumber = trimTrailingBlanks(album.text(alb::kFileNumber));
    if (fileNumber.isEmpty()) {
        context.prompter.message(
            {QStringLiteral("Quick CD Insert"),
             QStringLiteral("The album has no file number: its flap page is printed by its "
                            "file number."),
             PromptIcon::Exclamation, kButtonOk, kButtonOk});
        return;
    }
    runBinderPages(context, BinderStyle::Flap, {fileNumber, fileNumber});
}

void registerLabelProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kBrowseLabels),
                 [](const ProcedureContext& context) { LabelsBrowseWindow::openLabels(context); });
    registry.add(QString::fromLatin1(procedure::kSelectFont),
                 [](const ProcedureContext& context) { FavoriteFontsWindow::openFonts(context); });
    registry.add(QString::fromLatin1(procedure::kCdBinderPages),
                 [](const ProcedureContext& context) { BinderPagesWindow::openBinderPages(context); });
    registry.add(QString::fromLatin1(procedure::kLabelWizard),
                 [](const ProcedureContext& context) { LabelWizardWindow::openWizard(context); });
    registry.add(QString::fromLatin1(procedure::kCreateLabel), createLabelForAlbum);
    registry.add(QString::fromLatin1(procedure::kQuickCdInsert), quickCdInsert);
}

} // namespace tunarium
