// The Find Duplicates window.
#include "survey/ui/duplicate_window.h"

#include "data/app_paths.h"
#include "data/pictures.h"
#include "process/ui/process_window.h"
#include "survey/duplicate_actions.h"
#include "survey/duplicate_names.h"
#include "ui/widget_geometry.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr std::initializer_list<TableId> kTables = {TableId::Tunarium, TableId::Album, TableId::PlaylistMaster,
                                                    TableId::PlaylistDetails};
constexpr int kRowRole = Qt::UserRole;
constexpr int kMergeableRole = Qt::UserRole + 1;
// Groups shown open when there are no more than these; beyond, each opens when the user asks.
constexpr qsizetype kOpenGroups = 400;

const QString kCaption = QStringLiteral("Find Duplicates");

QString songName(const SongRecord& s) {
    return QStringLiteral("%1 \u2013 %2").arg(s.artist.trimmed(), s.title.trimmed());
}

QString count(qsizetype n, const char* one, const char* many) {
    return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one)) : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
}

} // namespace

DuplicateWindow* DuplicateWindow::open(const ProcedureContext& context) {
    auto* window = new DuplicateWindow(context.db, context.prompter, positionFilePath(context.db.collectionDir()),
                                       context.workspace);
    window->m_tables = TableLease(context.db, kTables);
    if (!window->m_tables) {
        delete window;
        return nullptr;
    }
    if (context.workspace) {
        QMdiSubWindow* sub = context.workspace->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    window->find();
    return window;
}

DuplicateWindow::DuplicateWindow(Database& db, Prompter& prompter, QString positionFile, QMdiArea* workspace)
    : m_db(db), m_prompter(prompter), m_positionFile(std::move(positionFile)), m_workspace(workspace) {
    setWindowTitle(kCaption);
    setObjectName(QString::fromLatin1(procedure::kFindDuplicates));
    build();
}

DuplicateWindow::~DuplicateWindow() {
    // (Only when the program ends during a search: Close waits for it.) The progress window
    // closes by itself once its search has stopped; it tells this window nothing more.
    if (m_progress) {
        QObject::disconnect(m_progress, &ProcessWindow::finished, nullptr, nullptr);
        m_progress->process().stopNow();
    }
}

void DuplicateWindow::build() {
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    layout->addWidget(m_summary);
    m_list = new QTreeWidget(this);
    m_list->setHeaderLabels({QStringLiteral("Artist"), QStringLiteral("Title"), QStringLiteral("Mix"),
                             QStringLiteral("Album"), QStringLiteral("File Number"), QStringLiteral("Side"),
                             QStringLiteral("Track"), QStringLiteral("Time")});
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView* header = m_list->header();
    header->setStretchLastSection(false);
    const int widths[] = {180, 230, 90, 170, 80, 40, 45, 55};
    for (int i = 0; i < 8; ++i) {
        header->resizeSection(i, widths[i]);
    }
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> captions[] = {
        {"&Find", "Look through the collection again"},
        {"&Keep", "Set this group aside: nothing is changed"},
        {"&Delete", "Delete this song"},
        {"&Merge into", "Keep this song: the others of its group move their playlist entries to it and are deleted"},
        {"&Close", "Close this window"}};
    for (const auto& [caption, tip] : captions) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setToolTip(QString::fromUtf8(tip));
        buttons->addWidget(button);
        m_buttons << button;
    }
    buttons->insertStretch(1);
    buttons->insertStretch(5);
    layout->addLayout(buttons);
    connect(button(QStringLiteral("Find")), &QPushButton::clicked, this, &DuplicateWindow::find);
    connect(button(QStringLiteral("Keep")), &QPushButton::clicked, this, &DuplicateWindow::keep);
    connect(button(QStringLiteral("Delete")), &QPushButton::clicked, this, &DuplicateWindow::deleteSong);
    connect(button(QStringLiteral("Merge into")), &QPushButton::clicked, this, &DuplicateWindow::mergeInto);
    connect(button(QStringLiteral("Close")), &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, &DuplicateWindow::updateButtons);
    updateButtons();
}

QPushButton* DuplicateWindow::button(const QString& caption) const {
    for (QPushButton* b : m_buttons) {
        if (QString(b->text()).remove(u'&') == caption) {
            return b;
        }
    }
    return nullptr;
}

void DuplicateWindow::find() {
    if (busy()) {
        return;
    }
    auto process = std::make_unique<DuplicateSearch>(m_db);
    DuplicateSearch* search = process.get();
    setEnabled(false);
    const auto done = [this, search](bool completed) {
        setEnabled(true);
        if (search->error()) {
            tell(QStringLiteral("The collection could not be read: %1").arg(search->error().describe()));
        } else if (completed) {
            showReport(search->report());
        }
        emit searched();
    };
    m_progress = m_workspace ? runProcessWindow(m_workspace, std::move(process), done)
                             : runProcessWindowOver(this, std::move(process), done);
}

QTreeWidgetItem* DuplicateWindow::section(const QString& caption, qsizetype groups) {
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(0, QStringLiteral("%1 (%2)").arg(caption, count(groups, "group", "groups")));
    item->setData(0, kRowRole, int(Row::Section));
    item->setFirstColumnSpanned(true);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}

void DuplicateWindow::addSongGroup(QTreeWidgetItem* parent, const QString& caption, const SongGroup& group,
                                   bool mergeable) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, QStringLiteral("%1 (%2)").arg(caption, count(group.songs.size(), "song", "songs")));
    item->setData(0, kRowRole, int(Row::Group));
    item->setData(0, kMergeableRole, mergeable);
    item->setFirstColumnSpanned(true);
    for (const SongRecord& s : group.songs) {
        auto* row = new QTreeWidgetItem(item, {s.artist.trimmed(), s.title.trimmed(), s.mix.trimmed(),
                                               s.album.trimmed(), s.fileNumber.trimmed(),
                                               s.side ? QString::number(s.side) : QString(),
                                               s.trackNumber ? QString::number(s.trackNumber) : QString(),
                                               formatPicture(s.time, u"@t9b").trimmed()});
        row->setData(0, kRowRole, int(Row::Song));
        row->setTextAlignment(5, Qt::AlignRight);
        row->setTextAlignment(6, Qt::AlignRight);
        row->setTextAlignment(7, Qt::AlignRight);
        m_songs.insert(row, s);
    }
}

void DuplicateWindow::addAlbumGroup(QTreeWidgetItem* parent, const AlbumGroup& group) {
    const QString what = group.match == AlbumMatch::CdIdentifier ? QStringLiteral("CD identifier")
                         : group.match == AlbumMatch::DiscId     ? QStringLiteral("Disc ID")
                                                                 : QStringLiteral("Sound file");
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, QStringLiteral("%1 %2 (%3)").arg(what, group.value, count(group.albums.size(), "album", "albums")));
    item->setData(0, kRowRole, int(Row::Group));
    item->setData(0, kMergeableRole, false);
    item->setFirstColumnSpanned(true);
    for (const AlbumRecord& a : group.albums) {
        auto* row = new QTreeWidgetItem(item, {a.artist.trimmed(), QString(), QString(), a.album.trimmed(),
                                               a.fileNumber.trimmed()});
        row->setData(0, kRowRole, int(Row::Album));
    }
}

void DuplicateWindow::showReport(const DuplicateReport& report) {
    m_list->clear();
    m_songs.clear();
    const qsizetype groups = report.songs.size() + report.places.size() + report.albums.size();
    m_summary->setText(QStringLiteral("%1 and %2 looked through: %3.")
                           .arg(count(report.songsRead, "song", "songs"), count(report.albumsRead, "album", "albums"),
                                groups == 0 ? QStringLiteral("nothing is there twice")
                                            : count(groups, "group of duplicates", "groups of duplicates")));
    QTreeWidgetItem* songs = section(QStringLiteral("Songs with the same artist and title"), report.songs.size());
    for (const SongGroup& g : report.songs) {
        addSongGroup(songs, songName(g.songs.first()), g, true);
    }
    QTreeWidgetItem* places = section(QStringLiteral("Songs at the same place on a carrier"), report.places.size());
    for (const SongGroup& g : report.places) {
        const SongRecord& s = g.songs.first();
        const QString carrier = s.fileNumber.trimmed().isEmpty() ? s.album.trimmed() : s.fileNumber.trimmed();
        addSongGroup(places,
                     QStringLiteral("%1, side %2, track %3").arg(carrier).arg(std::max<qint64>(s.side, 1)).arg(s.trackNumber),
                     g, true);
    }
    const std::pair<AlbumMatch, const char*> albumSections[] = {
        {AlbumMatch::CdIdentifier, "Albums with the same CD identifier"},
        {AlbumMatch::DiscId, "Albums with the same disc ID"},
        {AlbumMatch::SoundFile, "Albums with the same sound file"}};
    for (const auto& [match, caption] : albumSections) {
        qsizetype n = 0;
        for (const AlbumGroup& g : report.albums) {
            n += g.match == match;
        }
        QTreeWidgetItem* albums = section(QString::fromUtf8(caption), n);
        for (const AlbumGroup& g : report.albums) {
            if (g.match == match) {
                addAlbumGroup(albums, g);
            }
        }
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = m_list->topLevelItem(i);
        top->setExpanded(top->childCount() > 0);
        if (groups <= kOpenGroups) {
            for (int j = 0; j < top->childCount(); ++j) {
                top->child(j)->setExpanded(true);
            }
        }
    }
    m_list->setCurrentItem(m_list->topLevelItem(0));
    updateButtons();
}

DuplicateWindow::Row DuplicateWindow::rowOf(const QTreeWidgetItem* item) {
    return item ? static_cast<Row>(item->data(0, kRowRole).toInt()) : Row::Section;
}

QTreeWidgetItem* DuplicateWindow::currentGroup() const {
    QTreeWidgetItem* item = m_list->currentItem();
    switch (rowOf(item)) {
    case Row::Group:
        return item;
    case Row::Song:
    case Row::Album:
        return item->parent();
    case Row::Section:
        break;
    }
    return nullptr;
}

void DuplicateWindow::updateButtons() {
    const bool onSong = rowOf(m_list->currentItem()) == Row::Song;
    const QTreeWidgetItem* group = currentGroup();
    button(QStringLiteral("Keep"))->setEnabled(group != nullptr);
    const bool mergeable = onSong && group && group->data(0, kMergeableRole).toBool();
    button(QStringLiteral("Delete"))->setEnabled(mergeable);
    button(QStringLiteral("Merge into"))->setEnabled(mergeable && group->childCount() > 1);
}

void DuplicateWindow::takeGroup(QTreeWidgetItem* group) {
    for (int i = 0; i < group->childCount(); ++i) {
        m_songs.remove(group->child(i));
    }
    QTreeWidgetItem* sectionItem = group->parent();
    delete group;
    if (sectionItem) {
        // "Songs with the same artist and title (3 groups)" counts what is left.
        QString caption = sectionItem->text(0);
        caption.truncate(caption.lastIndexOf(QLatin1String(" (")));
        sectionItem->setText(
            0, QStringLiteral("%1 (%2)").arg(caption, count(sectionItem->childCount(), "group", "groups")));
    }
    updateButtons();
}

void DuplicateWindow::takeSong(QTreeWidgetItem* item) {
    QTreeWidgetItem* group = item->parent();
    m_songs.remove(item);
    delete item;
    // A song alone is no one's duplicate any more.
    if (group && group->childCount() < 2) {
        takeGroup(group);
    }
    updateButtons();
}

void DuplicateWindow::keep() {
    if (QTreeWidgetItem* group = currentGroup()) {
        takeGroup(group);
    }
}

void DuplicateWindow::deleteSong() {
    QTreeWidgetItem* item = m_list->currentItem();
    if (rowOf(item) != Row::Song || !m_songs.contains(item)) {
        return;
    }
    const SongRecord song = m_songs.value(item);
    const QString where = song.fileNumber.trimmed().isEmpty()
                              ? QString()
                              : QStringLiteral(" (file number %1)").arg(song.fileNumber.trimmed());
    if (!ask(QStringLiteral("Delete the song \"%1\"%2?").arg(songName(song), where))) {
        return;
    }
    if (deleteDuplicate(m_db, song) == kRoutineDone) {
        takeSong(item);
    }
}

void DuplicateWindow::mergeInto() {
    QTreeWidgetItem* item = m_list->currentItem();
    QTreeWidgetItem* group = currentGroup();
    if (rowOf(item) != Row::Song || !group || !m_songs.contains(item)) {
        return;
    }
    const SongRecord kept = m_songs.value(item);
    QVector<SongRecord> others;
    for (int i = 0; i < group->childCount(); ++i) {
        if (group->child(i) != item) {
            others << m_songs.value(group->child(i));
        }
    }
    if (!ask(QStringLiteral("Keep \"%1\" and merge %2 into it? Their playlist entries move to it, and they are "
                            "deleted.")
                 .arg(songName(kept), count(others.size(), "other song", "other songs")))) {
        return;
    }
    const MergeOutcome outcome = tunarium::mergeInto(m_db, kept, others);
    if (outcome.done) {
        takeGroup(group);
    } else if (!outcome.problem.isEmpty()) {
        tell(QStringLiteral("Nothing was merged: %1").arg(outcome.problem));
    }
}

bool DuplicateWindow::ask(const QString& text) {
    return m_prompter.message({kCaption, text, PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo}) == kButtonYes;
}

void DuplicateWindow::tell(const QString& text) {
    m_prompter.message({kCaption, text, PromptIcon::Exclamation, kButtonOk, kButtonOk});
}

void DuplicateWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_restored) {
        m_restored = true;
        restoreWidgetPosition(this, QString::fromLatin1(procedure::kFindDuplicates), m_positionFile);
    }
}

void DuplicateWindow::closeEvent(QCloseEvent* event) {
    if (busy()) {
        event->ignore();
        return;
    }
    saveWidgetPosition(this, QString::fromLatin1(procedure::kFindDuplicates), m_positionFile);
    event->accept();
}

} // namespace tunarium
