// The media formats browse and form.
#include "catalogue/ui/media_windows.h"

#include "catalogue/procedure_names.h"

namespace tunarium {

LookupFormDecl mediaFormDecl() {
    LookupFormDecl f;
    f.procedure = QStringLiteral("UpdateMedia");
    f.designCaption = QStringLiteral("Update Media Format");
    f.insertCaption = QStringLiteral("Adding Media Format");
    f.changeCaption = QStringLiteral("Changing Media Format");
    f.prompt = QStringLiteral("&Media:");
    f.picture = formPicture(TableId::Media, med::kMedia);
    f.fieldName = tableDef(TableId::Media).field(med::kMedia).name;
    f.historyVirtualKey = 222;
    return f;
}

LookupBrowseDecl mediaBrowseDecl(const QString& positionFile) {
    LookupBrowseDecl s;
    s.definition = mediaListDefinition();
    s.options.procedure = QString::fromLatin1(procedure::kBrowseMedia);
    s.options.positionFile = positionFile;
    s.options.titleWithCount = false;
    s.options.designFormat = QString::fromLatin1(kMediaListFormat);
    s.options.listName = QStringLiteral("?Browse:1");
    s.options.listTip = QStringLiteral("Browsing Records");
    s.options.listSize = QSize(150, 130);
    s.options.openingSizeIsMinimum = true;
    s.buttons = {{BrowseAction::Add, QStringLiteral("&Add")},
                 {BrowseAction::Change, QStringLiteral("&Change")},
                 {BrowseAction::Delete, QStringLiteral("&Delete")},
                 {BrowseAction::Select, QStringLiteral("&Select")},
                 {BrowseAction::Close, QStringLiteral("E&xit")}};
    s.form = mediaFormDecl();
    s.rules = [](Database&) { return std::make_unique<MediaRules>(); };
    s.history = &mediaHistory();
    return s;
}

LookupBrowseWindow* openBrowseMedia(Database& db, const QString& positionFile, QMdiArea* area) {
    auto* w = new LookupBrowseWindow(db, mediaBrowseDecl(positionFile), Request::None, nullptr, {});
    return w->open(area) ? w : nullptr;
}

LookupBrowseWindow* selectMedia(Database& db, const QString& positionFile, QMdiArea* area, QWidget* caller,
                                const MediaRecord& current,
                                std::function<void(bool chosen, const MediaRecord& media)> chosen) {
    auto* w = new LookupBrowseWindow(
        db, mediaBrowseDecl(positionFile), Request::Select, caller,
        [chosen = std::move(chosen)](Response response, const Row& record) {
            const bool completed =
                response == Response::Completed && record.tableId() == TableId::Media && record.size() > 0;
            if (chosen) {
                chosen(completed, completed ? fromRow<MediaRecord>(record) : MediaRecord{});
            }
        });
    return w->open(area, toRow(current)) ? w : nullptr;
}

} // namespace tunarium
