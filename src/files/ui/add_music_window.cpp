// The "Add Music Files" window and the scan behind it.
#include "files/ui/add_music_window.h"

#include "albums/album_files.h"
#include "files/music_scan.h"
#include "files/procedure_names.h"
#include "process/ui/process_window.h"
#include "ui/ok_cancel_row.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {

const QString kCaption = QStringLiteral("Add Music Files");

// Told once the progress window that ends has closed: the summary does not stand over a window
// that says "Process Completed".
void tellSummary(Prompter& prompter, const QStringList& lines, bool troubled) {
    PromptMessage m;
    m.caption = kCaption;
    m.text = lines.join(u'\n');
    m.icon = troubled ? PromptIcon::Exclamation : PromptIcon::Information;
    QTimer::singleShot(0, [&prompter, m] { prompter.message(m); });
}

} // namespace

AddMusicWindow* AddMusicWindow::open(const ProcedureContext& context) {
    auto* window = new AddMusicWindow(context.db, context.prompter, context.workspace);
    if (context.workspace) {
        QMdiSubWindow* sub = context.workspace->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(560, 340);
        sub->show();
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    return window;
}

AddMusicWindow::AddMusicWindow(Database& db, Prompter& prompter, QMdiArea* workspace)
    : m_db(db), m_prompter(prompter), m_workspace(workspace) {
    setWindowTitle(kCaption);
    setObjectName(QString::fromLatin1(procedure::kAddMusicFiles));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Songs are made from the audio files (MP3, FLAC, Ogg Vorbis, Opus, "
                                            "M4A, WAV, AIFF) of these folders, and of every folder in them, and "
                                            "from the files chosen. Files added before are read again only when "
                                            "they changed."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_list, 1);
    auto* folder = new QPushButton(QStringLiteral("Add &Folder..."), this);
    auto* files = new QPushButton(QStringLiteral("Add F&iles..."), this);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    connect(folder, &QPushButton::clicked, this, &AddMusicWindow::chooseFolder);
    connect(files, &QPushButton::clicked, this, &AddMusicWindow::chooseFiles);
    connect(m_remove, &QPushButton::clicked, this, &AddMusicWindow::removeChosen);
    const OkCancelRow row = makeOkCancelRow(
        this, [this] { accept(); }, [this] { closeWindow(); }, QStringLiteral("Cancel"), {folder, files, m_remove});
    m_ok = row.ok;
    layout->addLayout(row.layout);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &AddMusicWindow::updateButtons);
    updateButtons();
}

QStringList AddMusicWindow::paths() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i) {
        out << m_list->item(i)->text();
    }
    return out;
}

void AddMusicWindow::addPaths(const QStringList& chosen) {
    const QStringList known = paths();
    for (const QString& path : chosen) {
        const QString clean = QDir::cleanPath(path);
        if (!clean.isEmpty() && !known.contains(clean)) {
            m_list->addItem(clean);
        }
    }
    updateButtons();
}

void AddMusicWindow::chooseFolder() {
    const QString folder = m_prompter.chooseFolder(QStringLiteral("Add a Folder of Music"), {});
    if (!folder.isEmpty()) {
        addPaths({folder});
    }
}

void AddMusicWindow::chooseFiles() {
    addPaths(m_prompter.chooseOpenFiles(QStringLiteral("Add Music Files"), {},
                                        QString::fromLatin1(kSoundFileFilter)));
}

void AddMusicWindow::removeChosen() {
    qDeleteAll(m_list->selectedItems());
    updateButtons();
}

void AddMusicWindow::updateButtons() {
    m_remove->setEnabled(!m_list->selectedItems().isEmpty());
    m_ok->setEnabled(m_list->count() > 0);
}

void AddMusicWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
    } else {
        close();
    }
}

void AddMusicWindow::accept() {
    const QStringList chosen = paths();
    if (chosen.isEmpty()) {
        return;
    }
    Database& db = m_db;
    Prompter& prompter = m_prompter;
    QMdiArea* workspace = m_workspace;
    closeWindow();
    scanMusic(db, prompter, workspace, chosen);
}

void scanMusic(Database& db, Prompter& prompter, QMdiArea* workspace, const QStringList& paths) {
    auto scan = std::make_unique<MusicScan>(db, paths);
    MusicScan* running = scan.get();
    auto window = std::make_shared<QPointer<ProcessWindow>>();
    *window = runProcessWindow(workspace, std::move(scan), [&db, &prompter, workspace, running, window](bool) {
        // The scan is still there while its window tells it has ended.
        const QStringList lines = running->summary();
        const bool troubled = !running->skipped().isEmpty() || !running->cuts().isEmpty();
        const QHash<qint64, QString> covers = running->covers();
        std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfterScan(db, *running);
        if (running->stoppedByFailure() || db.halted()) {
            return;
        }
        if (!albums) {
            tellSummary(prompter, lines, troubled);
            return;
        }
        runProcessWindow(workspace, std::move(albums), [&db, &prompter, lines, troubled, covers](bool) {
            QStringList all = lines;
            if (const int given = giveAlbumsCovers(db, covers); given > 0) {
                all << coversGivenLine(given);
            }
            tellSummary(prompter, all, troubled);
        });
    });
}

void registerFilesProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kAddMusicFiles),
                 [](const ProcedureContext& context) { AddMusicWindow::open(context); });
}

} // namespace tunarium
