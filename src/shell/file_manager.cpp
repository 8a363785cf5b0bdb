// The File Manager's rows, tags and maintenance actions.
#include "shell/file_manager.h"

#include "data/app_paths.h"
#include "data/settings.h"
#include "data/table_lease.h"
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
    // Each table shows the count the store keeps of its records (read at once, whatever its
    // size); an action reads it again.
    for (const TableDef& t : allTables()) {
        m_rows.push_back({false, t.label, QString::number(m_db.store().count(t.id)), {}, t.id});
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
        run(MaintenanceAction::Fix, rowOf(t->label));
    }
    writeBadFile(QString(), m_profile);
    return true;
}

void FileManager::beginRun(const QVector<int>& rows) {
    m_packed = false;
    m_released = false;
    m_inRun = true;
    m_runRows = rows;
    m_runDone.clear();
    m_refused = false;
    m_runFailed = false;
    m_sizeBefore = -1;
    m_fixed.reset();
}

QString FileManager::tableList(const QStringList& labels) {
    if (labels.size() <= 1) {
        return labels.value(0);
    }
    return labels.mid(0, labels.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           labels.last();
}

QList<TableId> FileManager::runTables(int row) const {
    QList<TableId> tables;
    for (int r : m_runRows.isEmpty() ? QVector<int>{row} : m_runRows) {
        if (r >= 0 && r < m_rows.size() && m_rows[r].id && !tables.contains(*m_rows[r].id)) {
            tables << *m_rows[r].id;
        }
    }
    return tables;
}

QString FileManager::runSummary(MaintenanceAction action) const {
    if (m_runDone.isEmpty()) {
        return {};
    }
    const QString tables = tableList(m_runDone);
    const auto megabytes = [](qint64 bytes) {
        return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / 1e6, 0, 'f', 1);
    };
    switch (action) {
    case MaintenanceAction::Build:
        return QStringLiteral("The keys of %1 were rebuilt.").arg(tables);
    case MaintenanceAction::Pack: {
        const qint64 after = QFileInfo(m_db.store().filePath()).size();
        // The tables share the collection file, which is packed as a whole.
        QString text = QStringLiteral("%1 %2 packed")
                           .arg(tables, m_runDone.size() > 1 ? QStringLiteral("were") : QStringLiteral("was"));
        if (m_sizeBefore >= 0 && after > 0) {
            text += QStringLiteral(": the collection file was %1, it is %2 now")
                        .arg(megabytes(m_sizeBefore), megabytes(after));
        }
        return text + u'.';
    }
    case MaintenanceAction::Release:
        return QStringLiteral("The held records of %1 were released: the log is in the collection file.")
            .arg(tables);
    case MaintenanceAction::Fix: {
        if (!m_fixed) {
            return {};
        }
        switch (m_fixed->outcome) {
        case FixResult::Outcome::Sound:
            return QStringLiteral("No damage was found in ") + tables + u'.';
        case FixResult::Outcome::KeysRebuilt: {
            QStringList rebuilt;
            for (TableId t : m_fixed->rebuilt) {
                rebuilt << tableDef(t).label;
            }
            QStringList sound = m_runDone;
            for (const QString& label : std::as_const(rebuilt)) {
                sound.removeAll(label);
            }
            QString text = QStringLiteral("The keys of ") + tableList(rebuilt) + QStringLiteral(" were rebuilt");
            if (!sound.isEmpty()) {
                text += QStringLiteral("; no damage was found in ") + tableList(sound);
            }
            return text + u'.';
        }
        case FixResult::Outcome::Salvaged:
            return m_lastRepair ? m_lastRepair->summary() : QString();
        case FixResult::Outcome::NotOurs:
            return m_fixed->error.describe() + QStringLiteral("; it is left as it is.");
        case FixResult::Outcome::KeysFailed:
        case FixResult::Outcome::NeedsExclusive:
            break;
        }
        return {};
    }
    case MaintenanceAction::Info:
        break; // the list shows what it found
    }
    return {};
}

void FileManager::endRun(MaintenanceAction action) {
    if (!m_inRun) {
        return;
    }
    m_inRun = false;
    const QString text = runSummary(action);
    if (text.isEmpty()) {
        return;
    }
    const bool lost = action == MaintenanceAction::Fix && m_fixed &&
                      m_fixed->outcome == FixResult::Outcome::Salvaged && m_lastRepair &&
                      !m_lastRepair->nothingLost();
    const QString caption = QString(actionCaption(action)).remove(u'&');
    report(caption, text, lost || m_runFailed ? PromptIcon::Exclamation : PromptIcon::Information);
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
    // The tables share one file: what refuses one refuses them all, and the user is told once.
    if (m_refused) {
        return false;
    }
    m_refused = true;
    report(
        QStringLiteral("File Access Error"),
        QStringLiteral(
            "This option requires exclusive file access.\nPlease ensure no other users are in the system."),
        PromptIcon::Exclamation);
    return false;
}

void FileManager::finishRow(int row, TableId table) {
    m_rows[row].records = QString::number(m_db.store().count(table));
    m_rows[row].file = m_db.store().filePath();
}

void FileManager::maintain(MaintenanceAction action, int row, TableId table) {
    const TableLease lease(m_db, {table});
    if (!lease) {
        m_rows[row].records = QStringLiteral("?");
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
            m_sizeBefore = QFileInfo(m_db.store().filePath()).size();
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
    if (e) {
        m_runFailed = true;
    } else {
        m_runDone << tableDef(table).label;
    }
    finishRow(row, table);
}

void FileManager::run(MaintenanceAction action, int row) {
    if (row < 0 || row >= m_rows.size() || !m_rows[row].id) {
        return;
    }
    const bool own = !m_inRun;
    if (own) {
        beginRun({row});
    }
    const TableId table = *m_rows[row].id;
    if (action == MaintenanceAction::Fix) {
        fix(row, table);
    } else if (action == MaintenanceAction::Info) {
        info(row, table);
    } else if (exclusive()) {
        maintain(action, row, table);
    }
    if (own) {
        endRun(action);
    }
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

// A run's Fix checks the file once, and the keys of every table of the run, at its first row; the
// run's message tells what it found.
void FileManager::fix(int row, TableId table) {
    Store& store = m_db.store();
    if (!m_fixed) {
        m_fixed = fixCollection(store, m_db.collectionDir(), runTables(row));
        switch (m_fixed->outcome) {
        case FixResult::Outcome::KeysFailed:
            reportError(QStringLiteral("rebuilding the keys of"), m_fixed->failedTable, m_fixed->error);
            break;
        case FixResult::Outcome::NeedsExclusive:
            exclusive();
            break;
        case FixResult::Outcome::Salvaged:
            m_lastRepair = m_fixed->repair;
            break;
        case FixResult::Outcome::NotOurs:
            m_runFailed = true;
            break;
        case FixResult::Outcome::Sound:
        case FixResult::Outcome::KeysRebuilt:
            break;
        }
    }
    if (m_fixed->outcome == FixResult::Outcome::KeysFailed ||
        m_fixed->outcome == FixResult::Outcome::NeedsExclusive || m_fixed->outcome == FixResult::Outcome::NotOurs) {
        return;
    }
    m_runDone << tableDef(table).label;
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
    m_manager.beginRun(m_rows);
    return !m_rows.isEmpty();
}

void MaintenanceProcess::end() {
    m_manager.endRun(m_action);
}

bool MaintenanceProcess::handleNext() {
    m_manager.run(m_action, m_rows[m_next]);
    ++m_next;
    showCurrent();
    return m_next < m_rows.size();
}

} // namespace tunarium
