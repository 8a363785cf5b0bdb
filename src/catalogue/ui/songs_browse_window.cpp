// The songs browse window.
#include "catalogue/ui/songs_browse_window.h"

#include "catalogue/procedure_names.h"

#include "catalogue/songs_browse.h"
#include "catalogue/ui/categories_windows.h"
#include "catalogue/ui/media_windows.h"
#include "catalogue/ui/page_model.h"
#include "catalogue/ui/query_wizard_dialog.h"
#include "catalogue/ui/save_search.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>

namespace tunarium {

namespace {

BrowseOptions songsOptions(const Database& db, const Settings& settings) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kBrowseSongs);
    o.positionFile = positionFilePath(db.collectionDir());
    o.designFormat = QString::fromLatin1(kSongsDesignFormat);
    o.listName = QStringLiteral("?Browse");
    o.datePicture = settings.datePicture();
    o.tabs = songsTabCaptions(settings.udkPrompt());
    // The tab kept is counted from 1; the design selects the first tab.
    o.tab = settings.saveLastTab() ? std::clamp(settings.songTab(1) - 1, 0, kSongsTabCount - 1) : 0;
    o.tabSettingsFile = settings.filePath();
    o.tabSettingKey = QStringLiteral("SongTab");
    o.locatorPrompt = QStringLiteral("Quick Locator (select list box and type to locate):");
    o.listTip = QStringLiteral("Right-Click for Options");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(440, 230);
    o.minimumSize = QSize(374, 170);
    return o;
}

} // namespace

SongsBrowseWindow::SongsBrowseWindow(Database& db, const Settings& settings, Prompter& prompter,
                                     QMdiArea* area)
    : BrowseWindow(db, songsListDefinition(), songsOptions(db, settings), Request::None, nullptr, {}),
      m_db(db), m_settings(settings), m_prompter(prompter), m_area(area) {
    setWindowTitle(QStringLiteral("Browse Songs"));
    addCommonButtons(false);
}

SongsBrowseWindow::SongsBrowseWindow(Database& db, const Settings& settings, Prompter& prompter,
                                     QMdiArea* area, ListDefinition definition, BrowseOptions options,
                                     std::function<void()> properties)
    : BrowseWindow(db, std::move(definition), std::move(options), Request::None, nullptr, {}), m_db(db),
      m_settings(settings), m_prompter(prompter), m_area(area) {
    auto* view = addButton(QStringLiteral("View &Properties"), std::move(properties));
    view->setToolTip(QStringLiteral("Re-format Columns of BrowseBox"));
    addCommonButtons(true);
}

void SongsBrowseWindow::setProcedures(const ProcedureContext& context) {
    m_procedures.emplace(context);
    enableProcedureButtons();
}

// The buttons both song lists have; the browse puts the media and category choices among them.
void SongsBrowseWindow::addCommonButtons(bool explorer) {
    // Two rows: one row of eleven buttons would keep the window wider than its minimum.
    addButton(BrowseAction::Add, QStringLiteral("&Add"));
    m_copy = addButton(QStringLiteral("Cop&y"), [this] { copySong(); });
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    if (!explorer) {
        m_selectMedia = addButton(QStringLiteral("Se&lect Media"), [this] { chooseMedia(); });
        m_selectCategory = addButton(QStringLiteral("Se&lect Category"), [this] { chooseCategory(); });
    }
    startButtonRow();
    m_search = addButton(QStringLiteral("&Search"), [this] { search(); });
    m_reset = addButton(QStringLiteral("Reset Search"), [this] { resetSearch(); });
    // The reports are another room's windows: the one of the current order is started by name.
    m_print = addButton(QStringLiteral("&Print"), [this] { printReport(); });
    // Import and export are other rooms' windows: they are started by name, over this window.
    m_import = addButton(QStringLiteral("&Import"), [this] { startProcedure(procedure::kImport); });
    m_export = addButton(QStringLiteral("&Export"), [this] { startProcedure(procedure::kExport); });
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
    enableProcedureButtons();

    // The query wizard's field list; without it there is no search.
    m_fields = prepareSongsQueryFields(m_prompter);
    m_search->setEnabled(m_fields.has_value());
    m_reset->setEnabled(false);
    m_run = std::make_unique<SongSearchRun>(m_db, engine(), [this] { showFound(); });
    m_box = new SongSearchBox([this](const QString& typed) { searchFor(typed); },
                              [this] { list()->setFocus(Qt::OtherFocusReason); });
    m_saveSearch = new QPushButton(QString::fromUtf8(kSaveSearchCaption));
    m_saveSearch->setAutoDefault(false);
    m_saveSearch->setToolTip(QStringLiteral("Keep this search under a name: it shows among the playlists"));
    connect(m_saveSearch, &QPushButton::clicked, this, [this] { saveSearch(); });
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_box, 1);
    searchRow->addWidget(m_saveSearch, 0, Qt::AlignTop);
    static_cast<QBoxLayout*>(layout())->insertLayout(0, searchRow);
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, m_box, &SongSearchBox::focusSearch);
    list()->viewport()->installEventFilter(this);
    list()->installEventFilter(this);
    static_cast<PageModel*>(list()->model())->setMarked([this](const PageRow& row) {
        return m_marked.contains(row.record.number(tun::kId));
    });
}

SongsBrowseWindow* SongsBrowseWindow::openSongs(const ProcedureContext& context) {
    auto* window = new SongsBrowseWindow(context.db, context.settings, context.prompter, context.workspace);
    window->m_procedures.emplace(context);
    window->enableProcedureButtons();
    if (!window->open(context.workspace)) {
        return nullptr;
    }
    return window;
}

void SongsBrowseWindow::enableProcedureButtons() {
    const auto registered = [this](const char* name) {
        return m_procedures && m_procedures->procedures.contains(QString::fromLatin1(name));
    };
    m_import->setEnabled(registered(procedure::kImport));
    m_export->setEnabled(registered(procedure::kExport));
    m_print->setEnabled(registered(printReportName()));
}

const char* SongsBrowseWindow::tabReport(int sortOrder) {
    switch (sortOrder) {
    case kSongsByTitle:
        return procedure::kReportSongsByTitle;
    case kSongsByAlbum:
        return procedure::kReportSongsByAlbum;
    case kSongsByMedia:
        return procedure::kReportSongsByMedia;
    case kSongsByCategory:
        return procedure::kReportSongsByCategory;
    case kSongsByChart:
        return procedure::kReportSongsByChartNumber;
    case kSongsByBpm:
        return procedure::kReportSongsByBpm;
    case kSongsByUdk:
        return procedure::kReportSongsByUdk;
    default:
        return procedure::kReportSongsByArtist;
    }
}

void SongsBrowseWindow::printReport() {
    if (!m_procedures) {
        return;
    }
    // The category report opens its choice of category on the category of the tab.
    const char* report = printReportName();
    const QVariant argument = report == procedure::kReportSongsByCategory
                                  ? engine().rangeValue(kSongsByCategory).value(0)
                                  : QVariant();
    m_procedures->procedures.start(QString::fromLatin1(report),
                                   m_procedures->calledFrom(this).with(argument));
}

void SongsBrowseWindow::startProcedure(const char* name) {
    if (m_procedures) {
        m_procedures->procedures.start(QString::fromLatin1(name), m_procedures->calledFrom(this));
    }
}

void SongsBrowseWindow::pageShown() {
    if (m_run) {
        m_foundSuffix = m_run->suffix();
        setWindowTitle(windowTitle() + m_foundSuffix);
        m_run->recountWhenChanged();
    }
    const bool rows = engine().rowCount() > 0;
    m_copy->setEnabled(rows);
    m_reset->setEnabled(m_fields.has_value() && !m_filterText.trimmed().isEmpty());
    const int order = engine().sortOrder();
    if (m_selectMedia) {
        m_selectMedia->setVisible(order == kSongsByMedia);
        m_selectCategory->setVisible(order == kSongsByCategory);
    }
    m_print->setEnabled(m_procedures &&
                        m_procedures->procedures.contains(QString::fromLatin1(printReportName())));
}

QVector<PopupEntry> SongsBrowseWindow::popupExtras() const {
    QVector<PopupEntry> extras = songsPopupExtras(
        {m_print->isEnabled(), m_search->isEnabled(), m_import->isEnabled(), m_export->isEnabled()});
    extras.push_back({QString::fromUtf8(kSaveSearchCaption), true, true});
    return extras;
}

void SongsBrowseWindow::extraPopupChosen(int entry) {
    QPushButton* buttons[] = {m_print, m_search, m_import, m_export, m_saveSearch};
    if (entry >= 4 && entry <= 8 && buttons[entry - 4]->isEnabled()) {
        buttons[entry - 4]->click();
    }
}

void SongsBrowseWindow::saveSearch() {
    saveSearchAs(m_db, this, m_box->text(), engine().sortOrder());
}

void SongsBrowseWindow::openForm(Request request, const Row& record) {
    auto form = new SongFormWindow(m_db, m_settings, options().positionFile, request,
                                   fromRow<SongRecord>(record), {}, this, nullptr);
    QPointer<SongFormWindow> guard(form);
    if (m_procedures) {
        form->setProcedures(m_procedures->calledFrom(this));
    }
    // The form may outlive the browse (a workspace torn down with both open): then no one waits
    // for its answer.
    QPointer<SongsBrowseWindow> self(this);
    form->setDone([self, guard](Response response) {
        if (self) {
            self->engine().formAnswered(static_cast<Response>(response),
                                        guard ? guard->record() : Row(TableId::Tunarium));
        }
    });
    form->start(m_area);
}

void SongsBrowseWindow::copySong() {
    if (engine().rowCount() == 0) {
        return;
    }
    // The copy is a new song: the list picks it up when the window regains the focus.
    auto form = new SongFormWindow(m_db, m_settings, options().positionFile, Request::Copy,
                                   fromRow<SongRecord>(engine().record()), {}, this,
                                   [self = QPointer<SongsBrowseWindow>(this)](Response) {
                                       if (self) {
                                           self->engine().focusGained();
                                       }
                                   });
    form->start(m_area);
}

void SongsBrowseWindow::search() {
    if (!m_fields) {
        return;
    }
    QueryWizardDialog::run(*m_fields, m_db.collectionDir(), m_prompter, m_filterText, this,
                           [this](const QueryWizardResult& result) {
                               if (result.ran) {
                                   applySearch(result.filter);
                               }
                           });
}

void SongsBrowseWindow::applySearch(const QString& filterText) {
    m_filterText = filterText.left(1024);
    const CompiledFilter compiled = compileSongsSearch(m_filterText);
    if (!compiled.ok()) {
        // The list runs without the filter, as with any view that cannot be opened.
        m_db.warnings().setCurrentError(StoreError::driver(0, compiled.error.message()));
        m_db.warnings().show(warning::kViewOpenError);
    }
    m_wizardCondition = compiled.ok() ? compiled.condition : SqlCondition{};
    applyFilters();
}

void SongsBrowseWindow::resetSearch() {
    m_filterText.clear();
    m_wizardCondition = {};
    applyFilters();
}

void SongsBrowseWindow::searchFor(const QString& typed) {
    SongSearch search = parseSongSearch(typed);
    if (!search.ok()) {
        m_box->showProblem(search.error);
        return;
    }
    m_box->showProblem({});
    m_boxSearch = std::move(search);
    applyFilters();
}

void SongsBrowseWindow::applyFilters() {
    SongSearchPlan plan;
    if (!m_boxSearch.isEmpty()) {
        plan = planSongSearch(m_db.store(), m_boxSearch, m_wizardCondition);
        if (plan.error) {
            m_box->showProblem(
                QStringLiteral("The songs could not be searched: %1").arg(plan.error.describe()));
            return;
        }
    }
    // A new or changed search shows its first match: the songs before the one selected are not
    // hidden above it. Without a search the list stays on the song selected.
    const QString applied = m_boxSearch.filterText + QChar(0) + m_filterText;
    const bool searching = !m_boxSearch.isEmpty() || !m_wizardCondition.isEmpty();
    const bool fromTop = searching && applied != m_appliedSearch;
    m_appliedSearch = applied;
    engine().setUserFilter(m_boxSearch.isEmpty() ? m_wizardCondition : plan.condition, fromTop);
    m_run->begin(m_boxSearch, m_wizardCondition, plan);
    engine().setForceRefresh();
    engine().refresh();
    m_run->count();
}

void SongsBrowseWindow::showFound() {
    QString title = windowTitle();
    if (!m_foundSuffix.isEmpty() && title.endsWith(m_foundSuffix)) {
        title.chop(m_foundSuffix.size());
    }
    m_foundSuffix = m_run->suffix();
    setWindowTitle(title + m_foundSuffix);
}

void SongsBrowseWindow::chooseMedia() {
    const MediaRecord current =
        songsMediaToSelect(engine().rangeValue(kSongsByMedia).value(0).toString(), engine().record());
    selectMedia(m_db, options().positionFile, m_area, this, current,
                [this](bool chosen, const MediaRecord& media) {
                    if (chosen) {
                        engine().setRangeValue(kSongsByMedia, {media.media});
                        engine().refresh();
                    }
                });
}

void SongsBrowseWindow::chooseCategory() {
    const CategoryRecord current = songsCategoryToSelect(
        m_db.store(), engine().rangeValue(kSongsByCategory).value(0).toLongLong(), engine().record());
    selectCategory(m_db, options().positionFile, m_area, this, current,
                   [this](bool chosen, const CategoryRecord& category) {
                       if (chosen) {
                           engine().setRangeValue(kSongsByCategory, {category.categoryId});
                           engine().refresh();
                       }
                   });
}

void SongsBrowseWindow::toggleMark(qint64 songId) {
    if (!m_marked.removeOne(songId)) {
        m_marked << songId;
    }
    list()->viewport()->update();
}

void SongsBrowseWindow::clearMarks() {
    if (!m_marked.isEmpty()) {
        m_marked.clear();
        list()->viewport()->update();
    }
}

bool SongsBrowseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == u"/") {
            m_box->focusSearch();
            return true;
        }
        if (key->key() == Qt::Key_Space && key->modifiers().testFlag(Qt::ControlModifier)) {
            if (engine().rowCount() > 0) {
                toggleMark(engine().record().number(tun::kId));
            }
            return true;
        }
    }
    if (watched == list()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_pressed = mouse->button() == Qt::LeftButton;
            m_pressPos = mouse->position().toPoint();
            const int row = list()->rowAt(m_pressPos.y());
            if (m_pressed && row >= 0 && row < engine().rowCount()) {
                const qint64 song = engine().row(row).record.number(tun::kId);
                if (mouse->modifiers().testFlag(Qt::ControlModifier)) {
                    toggleMark(song);
                } else if (!m_marked.contains(song)) {
                    // A plain click elsewhere starts a new choice; on a marked song it starts a drag
                    // of them all.
                    clearMarks();
                }
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_pressed = false;
        } else if (event->type() == QEvent::MouseMove && m_pressed) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->position().toPoint() - m_pressPos).manhattanLength() >=
                QApplication::startDragDistance()) {
                m_pressed = false;
                startDrag();
                return true;
            }
        }
    }
    return BrowseWindow::eventFilter(watched, event);
}

QMimeData* SongsBrowseWindow::dragData() const {
    QVector<qint64> songs = m_marked;
    if (songs.isEmpty() && engine().rowCount() > 0) {
        songs << engine().record().number(tun::kId);
    }
    if (songs.isEmpty()) {
        return nullptr;
    }
    QByteArray ids;
    for (qint64 song : songs) {
        ids += QByteArray::number(song) + '\n';
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kSongIdMimeType), ids);
    mime->setText(QString::fromLatin1(ids));
    return mime;
}

void SongsBrowseWindow::startDrag() {
    QMimeData* mime = dragData();
    if (!mime) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

} // namespace tunarium
