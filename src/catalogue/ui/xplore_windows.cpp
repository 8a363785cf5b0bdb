// The explorer windows.
#include "catalogue/ui/xplore_windows.h"

#include "catalogue/procedure_names.h"
#include "data/app_paths.h"

#include <QPushButton>

namespace tunarium {

namespace {

BrowseOptions explorerOptions(const ExplorerDefinition& def, const ProcedureContext& context) {
    BrowseOptions o;
    o.procedure = def.procedure;
    o.positionFile = positionFilePath(context.db.collectionDir());
    o.designFormat = def.designFormat;
    o.datePicture = context.settings.datePicture();
    o.locatorPrompt = QStringLiteral("Locator:");
    o.listTip = QStringLiteral("Click on header to change order, or right-click for options");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = def.list.table == TableId::Tunarium ? QSize(440, 230) : QSize(380, 200);
    o.minimumSize = QSize(300, 150);
    return o;
}

template <class Window> Window* openWindow(Window* window, const ProcedureContext& context) {
    if (!window->open(context.workspace)) {
        return nullptr;
    }
    window->explorer().opened();
    return window;
}

} // namespace

XploreSongsWindow::XploreSongsWindow(const ProcedureContext& context)
    : SongsBrowseWindow(context.db, context.settings, context.prompter, context.workspace,
                        xploreSongsDefinition().list, explorerOptions(xploreSongsDefinition(), context),
                        [this] { m_explorer.showProperties(); }),
      m_explorer(*this, xploreSongsDefinition(), positionFilePath(context.db.collectionDir()),
                 context.prompter) {
    setWindowTitle(m_explorer.definition().caption);
    setProcedures(context);
}

XploreSongsWindow* XploreSongsWindow::openExplorer(const ProcedureContext& context) {
    return openWindow(new XploreSongsWindow(context), context);
}

QString XploreSongsWindow::layoutAtOpening(const QString& design) {
    return m_explorer.restore(design, options().datePicture);
}

void XploreSongsWindow::keepLayout() {
    m_explorer.keep();
}

// The songs report in the explorer's order where there is one; by artist otherwise.
const char* XploreSongsWindow::printReportName() const {
    const ExplorerDefinition& def = m_explorer.definition();
    const int field = m_explorer.order().field();
    const QString name = field >= 0 && field < def.fields.size() ? def.fields[field].name : QString();
    if (name == QLatin1String("TUN:Title")) {
        return procedure::kReportSongsByTitle;
    }
    if (name == QLatin1String("TUN:Album")) {
        return procedure::kReportSongsByAlbum;
    }
    if (name == QLatin1String("TUN:Media")) {
        return procedure::kReportSongsByMedia;
    }
    if (name == QLatin1String("TUN:BeatsPerMinute")) {
        return procedure::kReportSongsByBpm;
    }
    if (name == QLatin1String("TUN:UserDefinedKeyField")) {
        return procedure::kReportSongsByUdk;
    }
    return procedure::kReportSongsByArtist;
}

XploreAlbumsWindow::XploreAlbumsWindow(const ProcedureContext& context)
    : BrowseWindow(context.db, xploreAlbumsDefinition().list,
                   explorerOptions(xploreAlbumsDefinition(), context), Request::None, nullptr, {}),
      m_context(context.calledFrom(this)),
      m_explorer(*this, xploreAlbumsDefinition(), positionFilePath(context.db.collectionDir()),
                 context.prompter) {
    setWindowTitle(m_explorer.definition().caption);
    m_add = addButton(BrowseAction::Add, QStringLiteral("&Add"));
    m_copy = addButton(QStringLiteral("Cop&y"), [this] {
        if (engine().rowCount() > 0 && registered(procedure::kUpdateAlbum)) {
            openForm(Request::Copy, engine().record());
        }
    });
    m_copy->setToolTip(QStringLiteral("Copy record"));
    m_change = addButton(BrowseAction::Change, QStringLiteral("&Change"));
    m_delete = addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    m_single =
        addButton(QStringLiteral("Single Artist Wi&zard"), [this] { start(procedure::kAddSingleArtist); });
    m_compilation =
        addButton(QStringLiteral("Compilation Wizard"), [this] { start(procedure::kAddCompilation); });
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
    auto* view = addButton(QStringLiteral("View &Properties"), [this] { m_explorer.showProperties(); });
    view->setToolTip(QStringLiteral("Re-format Columns of BrowseBox"));
    m_single->setEnabled(registered(procedure::kAddSingleArtist));
    m_compilation->setEnabled(registered(procedure::kAddCompilation));
}

XploreAlbumsWindow* XploreAlbumsWindow::openExplorer(const ProcedureContext& context) {
    return openWindow(new XploreAlbumsWindow(context), context);
}

QString XploreAlbumsWindow::layoutAtOpening(const QString& design) {
    return m_explorer.restore(design, options().datePicture);
}

void XploreAlbumsWindow::keepLayout() {
    m_explorer.keep();
}

bool XploreAlbumsWindow::registered(const char* name) const {
    return m_context.procedures.contains(QString::fromLatin1(name));
}

void XploreAlbumsWindow::start(const char* name) {
    if (registered(name)) {
        m_context.procedures.start(QString::fromLatin1(name), m_context);
    }
}

void XploreAlbumsWindow::startWithAlbum(const char* name) {
    if (registered(name) && engine().rowCount() > 0) {
        m_context.procedures.start(QString::fromLatin1(name),
                                   m_context.with(engine().record().value(alb::kAlbumId)));
    }
}

// The album form is the albums room's: it is started by name and answers the engine when done.
void XploreAlbumsWindow::openForm(Request request, const Row& record) {
    if (!registered(procedure::kUpdateAlbum)) {
        engine().formAnswered(Response::Cancelled, {});
        return;
    }
    ProcedureContext form = m_context.with(
        QVariantList{static_cast<int>(request),
                     request == Request::Insert ? QVariant(qint64(0)) : record.value(alb::kAlbumId)});
    QPointer<XploreAlbumsWindow> self(this);
    const bool copy = request == Request::Copy;
    form.answer = [self, copy](int response, const Row& saved) {
        if (!self) {
            return;
        }
        if (copy) {
            self->engine().focusGained(); // the copy is a new album: the list picks it up
        } else {
            self->engine().formAnswered(static_cast<Response>(response), saved);
        }
    };
    m_context.procedures.start(QString::fromLatin1(procedure::kUpdateAlbum), form);
}

QVector<PopupEntry> XploreAlbumsWindow::popupExtras() const {
    const bool rows = engine().rowCount() > 0;
    return {{QStringLiteral("Cop&y"), m_copy->isEnabled(), true},
            {QStringLiteral("Create Label..."), rows && registered(procedure::kCreateLabel), true},
            {QStringLiteral("Quick CD Insert"), rows && registered(procedure::kQuickCdInsert), false}};
}

void XploreAlbumsWindow::extraPopupChosen(int entry) {
    switch (entry) {
    case 4:
        m_copy->click();
        break;
    case 5:
        startWithAlbum(procedure::kCreateLabel);
        break;
    case 6:
        startWithAlbum(procedure::kQuickCdInsert);
        break;
    default:
        break;
    }
}

void XploreAlbumsWindow::pageShown() {
    const bool form = registered(procedure::kUpdateAlbum);
    const bool rows = engine().rowCount() > 0;
    m_add->setEnabled(form);
    m_copy->setEnabled(form && rows);
    m_change->setEnabled(form && rows);
    m_delete->setEnabled(form && rows);
}

void registerExplorerProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kXploreSongs),
                 [](const ProcedureContext& context) { XploreSongsWindow::openExplorer(context); });
    registry.add(QString::fromLatin1(procedure::kXploreAlbums),
                 [](const ProcedureContext& context) { XploreAlbumsWindow::openExplorer(context); });
}

} // namespace tunarium
