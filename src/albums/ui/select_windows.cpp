// The album and file-number selection lists.
#include "albums/ui/select_windows.h"

#include "albums/albums_browse.h"
#include "catalogue/procedure_names.h"
#include "catalogue/ui/categories_windows.h"
#include "data/app_paths.h"

#include <QPushButton>

namespace tunarium {

namespace {

BrowseOptions selectOptions(const Database& db, const Settings& settings, const char* procedure,
                            const char* format, QStringList tabs) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure);
    o.positionFile = positionFilePath(db.collectionDir());
    o.designFormat = QString::fromLatin1(format);
    o.listName = QStringLiteral("?Browse");
    o.datePicture = settings.datePicture();
    o.tabs = std::move(tabs);
    o.locatorPrompt = QStringLiteral("Quick Locator (select list box and type to locate):");
    o.listTip = QStringLiteral("Double-click or press Enter to select");
    o.listStatus = QStringLiteral("Selecting a Record");
    o.listSize = QSize(400, 180);
    o.minimumSize = QSize(300, 150);
    return o;
}

BrowseWindow::Answer answerOf(const ProcedureContext& context) {
    return [answer = context.answer](Response response, const Row& chosen) {
        if (answer) {
            answer(static_cast<int>(response), chosen);
        }
    };
}

// The record a list opens on: the one the caller named by its number, blank when none.
Row recordToOpenOn(Database& db, TableId table, const QVariant& number) {
    Row found(table);
    const qint64 id = number.toLongLong();
    if (id != 0) {
        if (!db.store().get(table, tableDef(table).primaryKey, {id}, found).ok()) {
            found = Row(table);
        }
    }
    return found;
}

} // namespace

SelectFileNumberWindow::SelectFileNumberWindow(const ProcedureContext& context, Answer answer)
    : BrowseWindow(context.db, selectFileNumberListDefinition(),
                   selectOptions(context.db, context.settings, procedure::kSelectFileNumber,
                                 kSelectFileNumberDesignFormat, selectFileNumberTabCaptions()),
                   Request::Select, context.caller, std::move(answer)),
      m_context(context.calledFrom(this)) {
    setWindowTitle(QStringLiteral("Select File Number"));
    addButton(BrowseAction::Select, QStringLiteral("&Select"));
    m_selectCategory = addButton(QStringLiteral("&Select Category"), [this] { chooseCategory(); });
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
}

void SelectFileNumberWindow::openForm(Request request, const Row& record) {
    (void)request;
    // A selection list adds, changes and deletes nothing.
    engine().formAnswered(Response::Cancelled, record);
}

QVector<PopupEntry> SelectFileNumberWindow::popupExtras() const {
    return {{QStringLiteral("&Select"), engine().changeEnabled(), true}};
}

void SelectFileNumberWindow::extraPopupChosen(int entry) {
    if (entry == 4) {
        press(BrowseAction::Select);
    }
}

void SelectFileNumberWindow::pageShown() {
    m_selectCategory->setVisible(engine().sortOrder() == kPickByCategory);
    // The list chooses; it never opens the song form.
    for (BrowseAction a : {BrowseAction::Add, BrowseAction::Change, BrowseAction::Delete}) {
        if (QPushButton* b = button(a)) {
            b->setEnabled(false);
        }
    }
}

void SelectFileNumberWindow::setCategory(qint64 categoryId) {
    engine().setRangeValue(kPickByCategory, {categoryId});
    engine().refresh();
}

void SelectFileNumberWindow::chooseCategory() {
    CategoryRecord current;
    current.categoryId = engine().rangeValue(kPickByCategory).value(0).toLongLong();
    if (current.categoryId == 0 && engine().rowCount() > 0) {
        current.categoryId = engine().record().number(tun::kCategoryId);
    }
    QPointer<SelectFileNumberWindow> self(this);
    selectCategory(m_context.db, options().positionFile, m_context.workspace, this, current,
                   [self](bool chosen, const CategoryRecord& category) {
                       if (self && chosen) {
                           self->setCategory(category.categoryId);
                       }
                   });
}

SelectAlbumWindow::SelectAlbumWindow(const ProcedureContext& context, Answer answer)
    : BrowseWindow(
          context.db, selectAlbumListDefinition(),
          [&] {
              BrowseOptions o = selectOptions(context.db, context.settings, procedure::kSelectAlbum,
                                              kSelectAlbumDesignFormat, selectAlbumTabCaptions());
              o.titleWithCount = false;
              return o;
          }(),
          Request::Select, context.caller, std::move(answer)) {
    setWindowTitle(QStringLiteral("Select An Album"));
    addButton(BrowseAction::Select, QStringLiteral("&Select"));
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
}

void SelectAlbumWindow::openForm(Request request, const Row& record) {
    (void)request;
    engine().formAnswered(Response::Cancelled, record);
}

QVector<PopupEntry> SelectAlbumWindow::popupExtras() const {
    return {{QStringLiteral("&Select"), engine().changeEnabled(), true}};
}

void SelectAlbumWindow::extraPopupChosen(int entry) {
    if (entry == 4) {
        press(BrowseAction::Select);
    }
}

SelectAlbumWindow* openSelectAlbum(const ProcedureContext& context) {
    auto* window = new SelectAlbumWindow(context, answerOf(context));
    if (!window->open(context.workspace, recordToOpenOn(context.db, TableId::Album, context.argument))) {
        return nullptr;
    }
    return window;
}

SelectFileNumberWindow* openSelectFileNumber(const ProcedureContext& context) {
    auto* window = new SelectFileNumberWindow(context, answerOf(context));
    if (!window->open(context.workspace, recordToOpenOn(context.db, TableId::Tunarium, context.argument))) {
        return nullptr;
    }
    return window;
}

} // namespace tunarium
