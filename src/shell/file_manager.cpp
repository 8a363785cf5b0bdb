// The File Manager's rows, tags and maintenance actions.
#include "shell/file_manager.h"

#include "data/app_paths.h"
#include "data/settings.h"
#include "shell/collection_maintenance.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tunarium {

namespace {

const QString kEventLogRow = QStringLiteral("EventLog");

} // namespace

QString actionCaption(MaintenanceAction action) {
    switch (action) {
    case MaintenanceAction::Build:
        return QStringLiteral("&Build");
    case MaintenanceAction::Pack:
        return QStringLiteral("&Pack");
    case MaintenanceAction::Release:
        return QStringLiteral("&Release");
    case MaintenanceAction::Fix:
        return QStringLiteral("&Fix");
    case MaintenanceAction::Info:
        return QStringLiteral("&Info");
    }
    return {};
}

FileManager::FileManager(Database& db, QString profilePath) : m_db(db), m_profile(std::move(profilePath)) {
    for (const TableDef& t : allTables()) {
        m_rows.push_back({false, t.label, QStringLiteral("?"), {}, t.id});
    }
    m_rows.push_back({false, kEventLogRow, QStringLiteral("?"), {}, std::nullopt});
    std::sort(m_rows.begin(), m_rows.end(),
              [](const FileManagerRow& a, const FileManagerRow& b) { return a.table < b.table; });
}

int FileManager::rowOf(const QString& table) const {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].table.compare(table, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void FileManager::setTagged(int row, bool tagged) {
    if (row >= 0 && row < m_rows.size()) {
        m_rows[row].tagged = tagged;
    }
}

void FileManager::tagAll() {
    for (FileManagerRow& r : m_rows) {
        r.tagged = true;
    }
}

void FileManager::untagAll() {
    for (FileManagerRow& r : m_rows) {
        r.tagged = false;
    }
}

QVector<int> FileManager::targets(int highlighted) const {
    QVector<int> rows;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].tagged) {
            rows << i;
        }
    }
    if (rows.isEmpty() && highlighted >= 0 && highlighted < m_rows.size()) {
        rows << highlighted;
    }
    return rows;
}

bool FileManager::askAboutBadFile() {
    const QString file = readBadFile(m_profile);
    if (file.isEmpty()) {
        return false;
    }
    PromptMessage question;
    question.caption = QStringLiteral("Warning");
    question.text = QStringLiteral("Warning : The program may have crashed attempting to open the file ") +
                    file + QStringLiteral(". Do you wish to have the program attempt ") +
                    QStringLiteral("to fix the file ? ");
    question.icon = PromptIcon::Exclamation;
    question.buttons = kButtonYes | kButtonNo;
    question.defaultButton = kButtonYes;
    if (m_db.prompter().message(question) != kButtonYes) {
        return false;
    }
    report(QStringLiteral("Information"),
           QStringLiteral(
               "This program needs to close while the Fix Utility attempts to fix the file. When the fix "
               "program finishes running you can run this application again."),
           PromptIcon::Information);
    const TableDef* t = findTable(file);
    if (t) {
        beginRun();
        run(MaintenanceAction::Fix, rowOf(t->label));
    }
    writeBadFile(QString(), m_profile);
    return true;
}

void FileManager::beginRun() {
    m_packed = false;
    m_released = false;
}

void FileManager::report(const QString& caption, const QString& text, PromptIcon icon) {
    PromptMessage m;
    m.caption = caption;
    m.text = text;
    m.icon = icon;
    m_db.prompter().message(m);
}

void FileManager::reportError(const QString& doing, TableId table, const StoreError& error) {
    report(QStringLiteral("Error"),
           QStringLiteral("Error: (") + error.describe() + QStringLiteral(") ") + doing + u' ' +
               tableDef(table).label + u'.',
           PromptIcon::Stop);
}

bool FileManager::exclusive() {
    if (otherCopiesOpen(m_db.collectionDir()) == 0) {
        return true;
    }
    report(
        QStringLiteral("File Access Error"),
        QStringLiteral(
            "This option requires exclusive file access.\nPlease ensure no other users are in the system."),
        PromptIcon::Exclamation);
    return false;
}

bool FileManager::openFor(int row, TableId table) {
    if (!m_db.openTable(table)) {
        m_rows[row].records = QStringLiteral("?");
        return false;
    }
    return true;
}

void FileManager::finishRow(int row, TableId table) {
    m_rows[row].records = QString::number(m_db.store().count(table));
    m_rows[row].file = m_db.store().filePath();
    m_db.closeTable(table);
}

void FileManager::run(MaintenanceAction action, int row) {
    if (row < 0 || row >= m_rows.size() || !m_rows[row].id) {
        return;
    }
    const TableId table = *m_rows[row].id;
    if (action == MaintenanceAction::Fix) {
        fix(row, table);
        return;
    }
    if (action == MaintenanceAction::Info) {
        info(row, table);
        return;
    }
    if (action != MaintenanceAction::Info && !exclusive()) {
        return;
    }
    if (!openFor(row, table)) {
        return;
    }
    StoreError e;
    switch (action) {
    case MaintenanceAction::Build:
        e = m_db.store().rebuildKeys(table);
        if (e) {
            reportError(QStringLiteral("rebuilding the keys of"), table, e);
        }
        break;
    case MaintenanceAction::Pack:
        // The tables share one file: it is compacted once for all the tables of a run.
        if (!m_packed) {
            m_packed = true;
            e = compactCollection(m_db.store());
        }
        if (e) {
            reportError(QStringLiteral("packing"), table, e);
        }
        break;
    case MaintenanceAction::Release:
        if (!m_released) {
            m_released = true;
            e = releaseCollection(m_db.store());
        }
        if (e) {
            reportError(QStringLiteral("releasing"), table, e);
        }
        break;
    default:
        break;
    }
    finishRow(row, table);
}

// Info reads the table as it stands: nothing is created, upgraded or repaired to show a count, and
// a table that cannot be read says so with the file manager's own message.
void FileManager::info(int row, TableId table) {
    Store& store = m_db.store();
    StoreError e;
    if (!store.isOpen()) {
        const QString file = QDir(m_db.collectionDir()).filePath(QString::fromLatin1(kCollectionFileName));
        e = QFileInfo::exists(file) ? store.open(m_db.collectionDir()) : StoreError::of(code::kFileNotFound);
    }
    if (!e) {
        switch (store.tableState(table)) {
        case TableState::Missing:
            e = StoreError::of(code::kFileNotFound);
            break;
        case TableState::Older:
        case TableState::Different:
        case TableState::Newer:
            e = StoreError::of(code::kLayoutDiffers);
            break;
        case TableState::Current:
        case TableState::KeysDamaged:
        case TableState::KeysOutdated:
            break;
        }
    }
    if (e) {
        m_rows[row].records = QStringLiteral("?");
        m_db.warnings().stop(infoErrorText(tableDef(table).label, e));
        return;
    }
    m_rows[row].records = QString::number(store.count(table));
    m_rows[row].file = store.filePath();
}

QString FileManager::infoErrorText(const QString& table, const StoreError& error) {
    return QStringLiteral("Error opening file : ") + table + QStringLiteral(" Error : ") + error.text;
}

void FileManager::fix(int row, TableId table) {
    Store& store = m_db.store();
    const QString label = tableDef(table).label;
    const FixResult result = fixCollection(store, m_db.collectionDir(), {table});
    switch (result.outcome) {
    case FixResult::Outcome::Sound:
        report(QStringLiteral("Fix"), QStringLiteral("No damage was found in ") + label + u'.',
               PromptIcon::Information);
        break;
    case FixResult::Outcome::KeysRebuilt:
        report(QStringLiteral("Fix"),
               QStringLiteral("The keys of ") + label + QStringLiteral(" were rebuilt."),
               PromptIcon::Information);
        break;
    case FixResult::Outcome::KeysFailed:
        reportError(QStringLiteral("rebuilding the keys of"), table, result.error);
        return;
    case FixResult::Outcome::NeedsExclusive:
        exclusive();
        return;
    case FixResult::Outcome::Salvaged:
        m_lastRepair = result.repair;
        report(QStringLiteral("Fix"), m_lastRepair->summary(),
               m_lastRepair->repaired && m_lastRepair->totalLost() == 0 ? PromptIcon::Information
                                                                        : PromptIcon::Exclamation);
        break;
    }
    if (store.isOpen()) {
        m_rows[row].records = QString::number(store.count(table));
        m_rows[row].file = store.filePath();
    }
}

MaintenanceProcess::MaintenanceProcess(FileManager& manager, MaintenanceAction action, QVector<int> rows)
    : Process(QString(actionCaption(action)).remove(u'&'), QString(), 1), m_manager(manager),
      m_action(action), m_rows(std::move(rows)) {
    showCurrent();
}

QString MaintenanceProcess::currentFileText() const {
    const bool any = m_next < m_rows.size();
    return QStringLiteral("Current File : ") + (any ? m_manager.rows()[m_rows[m_next]].table : QString());
}

QString MaintenanceProcess::filesLeftText() const {
    return QStringLiteral("Files Left     : ") + QString::number(m_rows.size() - m_next);
}

void MaintenanceProcess::showCurrent() {
    setMessage(currentFileText());
    setProgress(m_next, m_rows.size());
}

bool MaintenanceProcess::begin() {
    m_manager.beginRun();
    return !m_rows.isEmpty();
}

bool MaintenanceProcess::handleNext() {
    m_manager.run(m_action, m_rows[m_next]);
    ++m_next;
    showCurrent();
    return m_next < m_rows.size();
}

} // namespace tunarium
