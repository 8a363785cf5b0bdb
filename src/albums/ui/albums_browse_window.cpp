// The albums browse window.
#include "albums/ui/albums_browse_window.h"

#include "albums/albums_browse.h"
#include "albums/procedure_names.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/categories_windows.h"
#include "data/app_paths.h"

#include <QPushButton>
#include <QShortcut>

namespace tunarium {

namespace {

BrowseOptions albumsOptions(const Database& db, const Settings& settings) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kBrowseAlbums);
    o.positionFile = positionFilePath(db.collectionDir());
    o.designFormat = QString::fromLatin1(kAlbumsDesignFormat);
    o.listName = QStringLiteral("?Browse");
    o.datePicture = settings.datePicture();
    o.tabs = albumsTabCaptions();
    // The tab kept is counted from 1; the design selects the first tab.
    o.tab = settings.saveLastTab() ? std::clamp(settings.albumTab(1) - 1, 0, 4) : 0;
    o.tabSettingsFile = settings.filePath();
    o.tabSettingKey = QStringLiteral("AlbumTab");
    o.locatorPrompt = QStringLiteral("Quick Locator (select list box and type to locate):");
    o.listTip = QStringLiteral("Right-Click for Options");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(440, 200);
    o.minimumSize = QSize(374, 170);
    return o;
}

} // namespace

AlbumsBrowseWindow::AlbumsBrowseWindow(const ProcedureContext& context)
    : BrowseWindow(context.db, albumsListDefinition(), albumsOptions(context.db, context.settings),
                   Request::None, nullptr, {}),
      m_context(context.calledFrom(this)) {
    setWindowTitle(QStringLiteral("Albums"));
    addButton(BrowseAction::Add, QStringLiteral("&Add"));
    m_copy = addButton(QStringLiteral("Cop&y"), [this] { copyAlbum(); });
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    m_selectCategory = addButton(QStringLiteral("Select Cate&gory"), [this] { chooseCategory(); });
    startButtonRow();
    m_print = addButton(QStringLiteral("&Print"), [this] { printReport(); });
    m_wizard = addButton(QStringLiteral("Album Wi&zard"), [this] { startWizard(); });
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    undo->setContext(Qt::WidgetWithChildrenShortcut);
    connect(undo, &QShortcut::activated, this, [this] { undoDelete(); });
    // The list is the browse's BrowseList.
    static_cast<BrowseList*>(list())->setPopupAction([this](QPoint at) {
        showPopupMenu(this, shownPopupText(), at, [this](int entry) {
            if (entry > 2 || registered(procedure::kUpdateAlbum)) {
                choosePopup(entry);
            }
        });
    });
}

QString AlbumsBrowseWindow::shownPopupText() const {
    QStringList entries = popupText().split(u'|');
    if (!registered(procedure::kUpdateAlbum)) {
        for (int i = 0; i < 2 && i < entries.size(); ++i) {
            if (!entries[i].startsWith(u'~')) {
                entries[i].prepend(u'~');
            }
        }
    }
    return entries.join(u'|');
}

AlbumsBrowseWindow* AlbumsBrowseWindow::openAlbums(const ProcedureContext& context) {
    auto* window = new AlbumsBrowseWindow(context);
    if (!window->open(context.workspace)) {
        return nullptr;
    }
    return window;
}

bool AlbumsBrowseWindow::registered(const char* name) const {
    return m_context.procedures.contains(QString::fromLatin1(name));
}

void AlbumsBrowseWindow::start(const char* name, const QVariant& argument,
                               std::function<void(int, const Row&)> answer) {
    ProcedureContext context = m_context.with(argument);
    context.answer = std::move(answer);
    m_context.procedures.start(QString::fromLatin1(name), context);
}

void AlbumsBrowseWindow::pageShown() {
    const bool rows = engine().rowCount() > 0;
    const bool form = registered(procedure::kUpdateAlbum);
    const int order = engine().sortOrder();
    button(BrowseAction::Add)->setEnabled(form);
    button(BrowseAction::Change)->setEnabled(form && rows);
    m_copy->setEnabled(form && rows);
    m_wizard->setEnabled(registered(procedure::kAlbumWizard));
    m_print->setEnabled(registered(albumsTabReport(order)));
    m_selectCategory->setVisible(albumsOrderHasCategory(order));
}

QVector<PopupEntry> AlbumsBrowseWindow::popupExtras() const {
    return albumsPopupExtras({engine().rowCount() > 0 && m_copy->isEnabled(), m_wizard->isEnabled(),
                              m_print->isEnabled(), registered(procedure::kCreateLabel),
                              registered(procedure::kQuickCdInsert), canUndoDelete()});
}

void AlbumsBrowseWindow::extraPopupChosen(int entry) {
    const QVector<PopupEntry> extras = popupExtras();
    const int index = entry - static_cast<int>(AlbumsPopupEntry::Copy);
    if (index < 0 || index >= extras.size() || !extras[index].enabled) {
        return;
    }
    const Row& album = engine().record();
    switch (static_cast<AlbumsPopupEntry>(entry)) {
    case AlbumsPopupEntry::Copy:
        copyAlbum();
        break;
    case AlbumsPopupEntry::Wizard:
        startWizard();
        break;
    case AlbumsPopupEntry::Print:
        printReport();
        break;
    case AlbumsPopupEntry::CreateLabel:
        start(procedure::kCreateLabel, album.number(alb::kAlbumId));
        break;
    case AlbumsPopupEntry::QuickCdInsert:
        start(procedure::kQuickCdInsert, album.number(alb::kAlbumId));
        break;
    case AlbumsPopupEntry::UndoDelete:
        undoDelete();
        break;
    }
}

void AlbumsBrowseWindow::openForm(Request request, const Row& record) {
    if (!registered(procedure::kUpdateAlbum)) {
        if (request == Request::Delete) {
            deleteAlbum(record);
        } else {
            engine().formAnswered(Response::Cancelled, record);
        }
        return;
    }
    QPointer<AlbumsBrowseWindow> self(this);
    const qint64 albumId = request == Request::Insert ? 0 : record.number(alb::kAlbumId);
    start(procedure::kUpdateAlbum, albumFormArgument({request, albumId}),
          [self](int response, const Row& album) {
              if (self) {
                  self->engine().formAnswered(static_cast<Response>(response), album);
              }
          });
}

void AlbumsBrowseWindow::deleteAlbum(const Row& record) {
    AlbumDeleteRules rules;
    FormSession session(m_context.db, rules, Request::Delete);
    Row album = record;
    session.start(album);
    engine().formAnswered(session.response(), album);
}

bool AlbumsBrowseWindow::canUndoDelete() const {
    const Database::Removal& last = m_context.db.lastRemoval();
    return last.table == TableId::Album && !last.records.isEmpty();
}

void AlbumsBrowseWindow::undoDelete() {
    if (!canUndoDelete()) {
        return;
    }
    // The album comes back with its songs; the list shows it where it stands.
    const Row album = m_context.db.lastRemoval().records.constLast();
    if (m_context.db.undoLastRemoval() == kRoutineDone) {
        Row restored;
        if (m_context.db.store().get(TableId::Album, alb::kKeyAlbumId, {album.value(alb::kAlbumId)}, restored).ok()) {
            engine().showRecord(restored);
        } else {
            engine().refresh();
        }
    }
}

void AlbumsBrowseWindow::copyAlbum() {
    if (engine().rowCount() == 0 || !registered(procedure::kUpdateAlbum)) {
        return;
    }
    // The copy is a new album: the list picks it up when the window regains the focus.
    QPointer<AlbumsBrowseWindow> self(this);
    start(procedure::kUpdateAlbum,
          albumFormArgument({Request::Copy, engine().record().number(alb::kAlbumId)}),
          [self](int, const Row&) {
              if (self) {
                  self->engine().focusGained();
              }
          });
}

void AlbumsBrowseWindow::startWizard() {
    QPointer<AlbumsBrowseWindow> self(this);
    start(procedure::kAlbumWizard, {}, [self](int, const Row&) {
        if (self) {
            self->engine().focusGained();
        }
    });
}

void AlbumsBrowseWindow::printReport() {
    const int order = engine().sortOrder();
    const QVariant argument =
        albumsOrderHasCategory(order) ? engine().rangeValue(order).value(0) : QVariant();
    start(albumsTabReport(order), argument);
}

void AlbumsBrowseWindow::setCategory(qint64 categoryId) {
    engine().setRangeValue(kAlbumsByCategory, {categoryId});
    engine().setRangeValue(kAlbumsByCategoryArtist, {categoryId});
    engine().refresh();
}

void AlbumsBrowseWindow::chooseCategory() {
    CategoryRecord current;
    current.categoryId = engine().rangeValue(engine().sortOrder()).value(0).toLongLong();
    if (current.categoryId == 0 && engine().rowCount() > 0) {
        current.categoryId = engine().record().number(alb::kCategoryId);
    }
    if (current.categoryId != 0) {
        CategoryRecord found;
        if (m_context.db.store()
                .get(tableDef(TableId::Categories).primaryKey, {current.categoryId}, found)
                .ok()) {
            current = found;
        }
    }
    QPointer<AlbumsBrowseWindow> self(this);
    selectCategory(m_context.db, options().positionFile, m_context.workspace, this, current,
                   [self](bool chosen, const CategoryRecord& category) {
                       if (self && chosen) {
                           self->setCategory(category.categoryId);
                       }
                   });
}

} // namespace tunarium
