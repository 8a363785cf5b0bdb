// The playlists browse.
#include "playlists/ui/playlists_browse_window.h"

#include "catalogue/procedure_names.h"
#include "data/app_paths.h"
#include "playlists/playlist_forms.h"
#include "playlists/procedure_names.h"
#include "playlists/ui/generate_playlist_window.h"
#include "playlists/ui/saved_searches_panel.h"
#include "playlists/ui/update_playlist_window.h"

#include <QBoxLayout>
#include <QMdiSubWindow>
#include <QPushButton>

namespace tunarium {

namespace {

BrowseOptions playlistsOptions(const ProcedureContext& context) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kBrowsePlayLists);
    o.positionFile = positionFilePath(context.db.collectionDir());
    o.titleWithCount = false;
    o.designFormat = QString::fromLatin1(kPlaylistsListFormat);
    o.listName = QStringLiteral("?Browse");
    o.listTip = QStringLiteral("Right-Click for Options");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(170, 120);
    o.openingSizeIsMinimum = true;
    return o;
}

} // namespace

PlaylistsBrowseWindow::PlaylistsBrowseWindow(const ProcedureContext& context)
    : BrowseWindow(context.db, playlistsListDefinition(), playlistsOptions(context), Request::None, nullptr,
                   {}),
      m_context(context) {
    addButton(BrowseAction::Add, QStringLiteral("&Add"));
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    startButtonRow();
    m_print = addButton(QStringLiteral("&Print"), [this] { startReport(procedure::kReportPlaylist); });
    m_print->setToolTip(QStringLiteral("Print playlist (basic format)"));
    m_top40 = addButton(QStringLiteral("&Top 40"), [this] { startReport(procedure::kReportPlaylistTop40); });
    m_top40->setToolTip(QStringLiteral("Print playlist in a top-?? chart format"));
    m_export = addButton(QStringLiteral("&Export..."), [this] { exportFile(); });
    m_export->setToolTip(QStringLiteral("Write the playlist as an M3U8 or Rekordbox XML file"));
    m_import = addButton(QStringLiteral("&Import..."), [this] { importFile(); });
    m_import->setToolTip(QStringLiteral("Make a new playlist of an M3U8, M3U, PLS or Rekordbox XML file"));
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
    // A playlist a freeze made shows selected in the list above.
    QPointer<PlaylistsBrowseWindow> self(this);
    m_searches = new SavedSearchesPanel(context, [self](qint64 playlistId) {
        if (self) {
            Row made(TableId::PlaylistMaster);
            made.setNumber(pld::kPlaylistId, playlistId);
            self->engine().showRecord(made);
        }
    });
    static_cast<QBoxLayout*>(layout())->addWidget(m_searches, 1);
}

PlaylistsBrowseWindow* PlaylistsBrowseWindow::openPlaylists(const ProcedureContext& context) {
    auto* window = new PlaylistsBrowseWindow(context);
    if (!window->open(context.workspace)) {
        return nullptr;
    }
    if (!window->m_searches->open()) {
        window->finish(Response::Cancelled);
        return nullptr;
    }
    return window;
}

void PlaylistsBrowseWindow::activated() {
    BrowseWindow::activated();
    if (isEnabled()) {
        m_searches->refresh();
    }
}

void PlaylistsBrowseWindow::closed() {
    m_searches->close();
    BrowseWindow::closed();
}

void PlaylistsBrowseWindow::pageShown() {
    const bool rows = engine().rowCount() > 0;
    m_print->setEnabled(rows &&
                        m_context.procedures.contains(QString::fromLatin1(procedure::kReportPlaylist)));
    m_top40->setEnabled(rows &&
                        m_context.procedures.contains(QString::fromLatin1(procedure::kReportPlaylistTop40)));
    m_export->setEnabled(rows &&
                         m_context.procedures.contains(QString::fromLatin1(procedure::kExportPlaylistFile)));
    m_import->setEnabled(m_context.procedures.contains(QString::fromLatin1(procedure::kImportPlaylistFile)));
}

void PlaylistsBrowseWindow::exportFile() {
    if (engine().rowCount() > 0) {
        m_context.procedures.start(QString::fromLatin1(procedure::kExportPlaylistFile),
                                   m_context.calledFrom(this).with(engine().record().number(pld::kPlaylistId)));
    }
}

// The import asks and tells through modal dialogs: when it returns, the new playlist is there.
void PlaylistsBrowseWindow::importFile() {
    m_context.procedures.start(QString::fromLatin1(procedure::kImportPlaylistFile), m_context.calledFrom(this));
    engine().setForceRefresh();
    engine().focusGained();
}

void PlaylistsBrowseWindow::startReport(const char* name) {
    if (engine().rowCount() == 0) {
        return;
    }
    m_context.procedures.start(QString::fromLatin1(name),
                               m_context.calledFrom(this).with(engine().record().number(pld::kPlaylistId)));
}

QVector<PopupEntry> PlaylistsBrowseWindow::popupExtras() const {
    return {{QStringLiteral("Generate Play List"), true, false},
            {QStringLiteral("Export Play List..."), m_export->isEnabled(), true},
            {QStringLiteral("Import Play List..."), m_import->isEnabled(), false}};
}

void PlaylistsBrowseWindow::extraPopupChosen(int entry) {
    if (entry == 4) {
        generate();
    } else if (entry == 5 && m_export->isEnabled()) {
        exportFile();
    } else if (entry == 6 && m_import->isEnabled()) {
        importFile();
    }
}

void PlaylistsBrowseWindow::generate() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QPointer<PlaylistsBrowseWindow> self(this);
    GeneratePlaylistWindow::run(m_context.db, m_context.settings, options().positionFile,
                                sub ? sub->mdiArea() : nullptr, this, [self](qint64 playlistId) {
                                    if (!self || playlistId == 0) {
                                        return;
                                    }
                                    Row made(TableId::PlaylistMaster);
                                    made.setNumber(pld::kPlaylistId, playlistId);
                                    self->engine().showRecord(made);
                                });
}

void PlaylistsBrowseWindow::openForm(Request request, const Row& record) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QPointer<PlaylistsBrowseWindow> self(this);
    auto* form = new UpdatePlaylistWindow(m_context.calledFrom(this), request, record,
                                          [self](Response response, const Row& answered) {
                                              if (self) {
                                                  self->engine().formAnswered(response, answered);
                                              }
                                          });
    form->start(sub ? sub->mdiArea() : nullptr);
}

} // namespace tunarium
