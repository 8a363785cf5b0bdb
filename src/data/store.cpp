// The collection store: opening the collection, counted table opens, and the record writes.
#include "data/store.h"

#include "data/repair_swap.h"
#include "data/session_marker.h"
#include "data/store_connection.h"
#include "data/store_pg.h"
#include "data/store_sqlite.h"

#include "data/store_file_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include <unistd.h>

namespace tunarium {

namespace {

// "TNRP": marks a SQLite file as a Tunarium collection.
constexpr int kApplicationId = 0x544E5250;
static_assert(kApplicationId == 1414419024); // as the schema side writes it

// Whether the collection can only be read: the file, or the folder where its log files must be
// made or written, refuses writes (a read-only disc, mount or folder).
bool onlyReadable(const QString& file, const QString& dir) {
    const auto writable = [](const QString& path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; };
    if (!QFileInfo::exists(file)) {
        return false;
    }
    if (!writable(file)) {
        return true;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString log = file + QLatin1String(suffix);
        if ((!QFileInfo::exists(log) || !writable(log)) && !writable(dir)) {
            return true;
        }
    }
    return false;
}

// The longest name of a file part (a folder's or the file's own name) the system takes.
constexpr qsizetype kLongestName = 255;

// A path of the collection's files the system or SQLite cannot take: the whole too long, or the
// name of a part; empty when it can.
QString pathProblem(const QString& file) {
    const QByteArray path = QFile::encodeName(file);
    const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    // The log's name is the longest of the collection's files.
    const qsizetype longest = vfs ? vfs->mxPathname - qsizetype(sizeof "-wal") : 0;
    for (const QString& part : file.split(u'/', Qt::SkipEmptyParts)) {
        if (const qsizetype bytes = QFile::encodeName(part).size(); bytes > kLongestName) {
            return QStringLiteral("the name %1... is too long (%2 bytes; at most %3)")
                .arg(part.left(20))
                .arg(bytes)
                .arg(kLongestName);
        }
    }
    if (longest > 0 && path.size() > longest) {
        return QStringLiteral("the path of the collection file is too long (%1 bytes; at most %2)")
            .arg(path.size())
            .arg(longest);
    }
    return {};
}

// SQLite's "unable to open database file" says nothing of why: what the user can change is said
// after it (a folder that cannot be written, a path or a name too long, a file without rights).
void explainCannotOpen(StoreError& e, const QString& directory, const QString& file) {
    if (e.code != code::kDriverError || (e.driverCode & 0xff) != SQLITE_CANTOPEN) {
        return;
    }
    const QByteArray path = QFile::encodeName(file);
    QString why = pathProblem(file);
    const QByteArray dir = QFile::encodeName(directory);
    if (why.isEmpty() && ::access(dir.constData(), W_OK) != 0) {
        why = QStringLiteral("the folder %1 cannot be written (%2); the collection's file, its log and "
                             "its index are written there")
                  .arg(directory, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (why.isEmpty() && QFileInfo::exists(file) && ::access(path.constData(), R_OK | W_OK) != 0) {
        why = QStringLiteral("%1 cannot be read and written (%2)")
                  .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!why.isEmpty()) {
        e.driverMessage += QStringLiteral(": ") + why;
    }
}

} // namespace

SqliteStore::SqliteStore()
    : m_connection(std::make_unique<Connection>()), m_schema(*m_connection, m_directory),
      m_maintenance(*m_connection), m_bulk(*m_connection), m_log(*m_connection) {}

SqliteStore::~SqliteStore() {
    close();
}

bool SqliteStore::isOpen() const {
    return m_connection->isOpen();
}

QString SqliteStore::filePath() const {
    return m_directory + u'/' + QString::fromLatin1(kCollectionFileName);
}

StoreError SqliteStore::open(const QString& directory) {
    close();
    m_directory = QDir(directory).absolutePath();
    if (!QDir().mkpath(m_directory)) {
        const QString why = pathProblem(filePath());
        return StoreError::driver(SQLITE_CANTOPEN,
                                  QStringLiteral("Cannot create the collection directory %1").arg(m_directory) +
                                      (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
    // A repair cut short leaves its fresh file beside the collection: finished or undone first.
    settleLeftoverRepair(m_directory);
    // Another program's file, or a newer version's, is refused before a connection could make a
    // log beside it or a journal be rolled back into it.
    if (const CollectionFileState state = inspectCollectionFile(filePath(), PageCheck::No);
        state.kind == CollectionFileKind::NotCollection || state.kind == CollectionFileKind::NotDatabase ||
        state.kind == CollectionFileKind::Newer) {
        StoreError e = StoreError::of(state.kind == CollectionFileKind::Newer ? code::kLayoutDiffers
                                                                              : code::kInvalidDataFile);
        e.driverMessage = state.describe();
        if (state.kind == CollectionFileKind::NotDatabase) {
            e.driverCode = SQLITE_NOTADB; // no database at all: repair may still find records in it
        }
        return e;
    }
    const bool readOnly = onlyReadable(filePath(), m_directory);
    StoreError error = m_connection->open(filePath(), readOnly);
    if (error) {
        explainCannotOpen(error, m_directory, filePath());
        return error;
    }
    m_log.attach();
    int applicationId = 0;
    int userVersion = 0;
    error = m_connection->pragmaNumber("application_id", applicationId);
    if (!error) {
        error = m_connection->pragmaNumber("user_version", userVersion);
    }
    if (!error) {
        error = m_schema.load();
    }
    if (error.code == code::kInvalidDataFile) {
        // SQLite's "file is not a database", with the path.
        error.driverMessage = QStringLiteral("%1 is not a Tunarium collection (not a database file)").arg(filePath());
    }
    if (error) {
        close();
        explainCannotOpen(error, m_directory, filePath());
        return error;
    }
    // Only an empty file that no program has marked as its own becomes a collection.
    if (m_schema.isEmpty() && applicationId == 0 && userVersion == 0) {
        if (readOnly) {
            error = StoreError::of(code::kInvalidDataFile);
            error.driverMessage =
                QStringLiteral("%1 is read-only and holds no collection, so none can be made in it").arg(filePath());
        } else {
            error = m_schema.initializeFile();
        }
    } else if (applicationId != kApplicationId || !m_schema.hasCollectionTables()) {
        error = StoreError::of(code::kInvalidDataFile);
        error.driverMessage = QStringLiteral("%1 is not a Tunarium collection").arg(filePath());
    } else if (error = newerStructure(); !error && !readOnly) {
        error = m_connection->exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    if (!error) {
        error = m_connection->exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    if (error) {
        close();
        explainCannotOpen(error, m_directory, filePath());
    }
    return error;
}

StoreError SqliteStore::newerStructure() {
    // A table laid out by a newer version is never read, upgraded or written: not even the other
    // tables are touched, so that the newer version finds its file as it left it.
    for (const TableDef& t : allTables()) {
        if (m_schema.tableState(t.id) == TableState::Newer) {
            StoreError e = StoreError::of(code::kLayoutDiffers);
            e.driverMessage = newerStructureText(filePath(), t.label, m_schema.storedVersion(t.id), t.version);
            return e;
        }
    }
    return {};
}

bool SqliteStore::isReadOnly() const {
    return m_connection->isOpen() && m_connection->isReadOnly();
}

StoreError SqliteStore::writeRefusal() const {
    return isReadOnly() ? StoreError::driver(SQLITE_READONLY, Connection::readOnlyText()) : StoreError{};
}

void SqliteStore::close() {
    if (!m_connection->isOpen()) {
        return;
    }
    // The persistent log keeps the size of the largest change ever made (a bulk import's). When
    // no other copy of the program has the collection open (their session markers say so,
    // whatever became of their locks) it is emptied; a reader elsewhere only makes this give up.
    m_connection->close(otherCopiesOpen(m_directory) == 0);
    m_openCounts.fill(0);
    m_schema.clear();
}

StoreError SqliteStore::openTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count == 0) {
        StoreError e;
        switch (m_schema.tableState(table)) {
        case TableState::Current:
            break;
        case TableState::Missing:
            e = m_schema.createTable(table);
            break;
        case TableState::Older:
        case TableState::Different:
        case TableState::KeysOutdated:
            e = m_schema.upgradeTable(table);
            break;
        case TableState::Newer:
            e = StoreError::of(code::kLayoutDiffers);
            break;
        case TableState::KeysDamaged:
            e = StoreError::of(code::kRebuildKeys);
            break;
        }
        if (e) {
            return e;
        }
    }
    ++count;
    return {};
}

void SqliteStore::closeTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count > 0) {
        --count;
    }
}

StoreError SqliteStore::exec(const QString& sqlText) {
    return m_connection->exec(sqlText);
}

StoreError SqliteStore::validate(const Row& row) const {
    const TableDef& t = row.table();
    if (row.size() != t.fieldCount()) {
        return StoreError::driver(SQLITE_MISMATCH,
                                  QStringLiteral("A %1 record has the wrong number of fields").arg(t.label));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        const QVariant& v = row.value(i);
        if (f.isText()) {
            const qsizetype length = trimTrailingBlanks(v.toString()).size();
            if (length > f.width) {
                return StoreError::driver(
                    SQLITE_TOOBIG,
                    QStringLiteral("The text for %1 is %2 characters long; it holds at most %3")
                        .arg(t.qualifiedField(i))
                        .arg(length)
                        .arg(f.width));
            }
            continue;
        }
        bool ok = true;
        const qint64 n = v.toLongLong(&ok);
        if (!ok && !v.isNull()) {
            return StoreError::driver(SQLITE_MISMATCH,
                                      QStringLiteral("The value \"%1\" of %2 is not a number")
                                          .arg(v.toString(), t.qualifiedField(i)));
        }
        if (n < f.minValue() || n > f.maxValue()) {
            return StoreError::driver(SQLITE_RANGE, QStringLiteral("The value %1 does not fit %2 (%3 to %4)")
                                                        .arg(n)
                                                        .arg(t.qualifiedField(i))
                                                        .arg(f.minValue())
                                                        .arg(f.maxValue()));
        }
    }
    return {};
}

namespace {

// Binds the record's fields, then its folded key columns, from `firstParam` on.
void bindRow(Statement& statement, const Row& row, int firstParam) {
    const TableDef& t = row.table();
    int param = firstParam;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            statement.bindText(param++, trimTrailingBlanks(row.text(i)));
        } else {
            statement.bindInt(param++, row.number(i));
        }
    }
    for (int i : sql::statements(t).foldedFields) {
        statement.bindText(param++, foldKey(row.text(i)));
    }
}

} // namespace

StoreError SqliteStore::duplicateKeyError(const Row& row, const StoreError& failure) {
    StoreError e = StoreError::of(code::kDuplicateKey);
    e.driverCode = failure.driverCode;
    e.driverMessage = failure.driverMessage;
    const TableDef& t = row.table();
    for (int k = 0; k < t.keys.size(); ++k) {
        if (!t.key(k).unique) {
            continue;
        }
        QVector<QVariant> values;
        for (int field : t.key(k).components) {
            values << row.value(field);
        }
        Row other;
        if (get(t.id, k, values, other).ok() && other.meta.rec != row.meta.rec) {
            e.keyName = t.qualifiedKey(k);
            break;
        }
    }
    return e;
}

StoreError SqliteStore::insert(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    // The number and the record go in together; inside a caller's transaction they already do.
    std::optional<Transaction> tx;
    if (!inTransaction()) {
        tx.emplace(*this);
        if (!tx->ok()) {
            return tx->beginError();
        }
    }
    const sql::TableStatements& st = sql::statements(t);
    StoreError error;
    Statement* number = m_connection->cached(st.nextRec, error);
    if (!number) {
        return error;
    }
    qint64 rec = 0;
    {
        StatementScope scope(*number);
        number->bindText(1, t.label);
        const Statement::Step step = number->step();
        if (step != Statement::Step::Row) {
            return step == Statement::Step::Done ? StoreError::of(code::kFileNotFound) : number->error();
        }
        rec = number->integer(0);
        number->step();
    }

    Statement* add = m_connection->cached(st.insert, error);
    if (!add) {
        return error;
    }
    {
        StatementScope scope(*add);
        add->bindInt(1, rec);
        add->bindInt(2, rec);
        add->bindInt(3, 0);
        bindRow(*add, row, 4);
        if (add->step() != Statement::Step::Done) {
            const StoreError failure = add->error();
            if (add->brokeConstraint()) {
                add->reset();
                return duplicateKeyError(row, failure);
            }
            return failure;
        }
    }
    if (tx) {
        if (StoreError e = tx->commit()) {
            return e;
        }
    }
    row.meta.rec = rec;
    row.meta.version = 0;
    return {};
}

StoreError SqliteStore::update(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    StoreError error;
    Statement* rewrite = m_connection->cached(sql::statements(t).update, error);
    if (!rewrite) {
        return error;
    }
    StatementScope scope(*rewrite);
    bindRow(*rewrite, row, 1);
    const int last = rewrite->parameterCount();
    rewrite->bindInt(last - 1, row.meta.rec);
    rewrite->bindInt(last, row.meta.version);
    if (rewrite->step() != Statement::Step::Done) {
        const StoreError failure = rewrite->error();
        if (rewrite->brokeConstraint()) {
            rewrite->reset();
            return duplicateKeyError(row, failure);
        }
        return failure;
    }
    if (m_connection->changes() == 0) {
        Row current;
        return fetch(t.id, row.meta.rec, current).ok() ? StoreError::of(code::kChangedByOther)
                                                       : StoreError::of(code::kRecordNotFound);
    }
    ++row.meta.version;
    return {};
}

StoreError SqliteStore::remove(const Row& row) {
    const TableDef& t = row.table();
    StoreError error;
    Statement* erase = m_connection->cached(sql::statements(t).remove, error);
    if (!erase) {
        return error;
    }
    StatementScope scope(*erase);
    erase->bindInt(1, row.meta.rec);
    if (StoreError e = erase->run()) {
        return e;
    }
    return m_connection->changes() == 0 ? StoreError::of(code::kRecordNotFound) : StoreError{};
}

StoreError SqliteStore::rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value) {
    const TableDef& t = tableDef(table);
    if (field < 0 || field >= t.fieldCount()) {
        return StoreError::of(code::kInvalidKey);
    }
    Row probe(table);
    probe.setRaw(field, value);
    if (StoreError e = validate(probe)) {
        return e;
    }
    QStringList sets{sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = ?")};
    if (sql::hasFoldedColumn(t, field)) {
        sets << sql::quoted(sql::foldedColumn(t, field)) + QStringLiteral(" = ?");
    }
    const QString version = sql::quoted(QString::fromLatin1(sql::kVersionColumn));
    sets << version + QStringLiteral(" = ") + version + QStringLiteral(" + 1");
    StoreError error;
    Statement* rewrite =
        m_connection->cached(QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" SET ") +
                                 sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ? AND ") +
                                 version + QStringLiteral(" = ?"),
                             error);
    if (!rewrite) {
        return error;
    }
    StatementScope scope(*rewrite);
    int param = 1;
    if (t.field(field).isText()) {
        const QString text = trimTrailingBlanks(value.toString());
        rewrite->bindText(param++, text);
        if (sql::hasFoldedColumn(t, field)) {
            rewrite->bindText(param++, foldKey(text));
        }
    } else {
        rewrite->bindInt(param++, value.toLongLong());
    }
    rewrite->bindInt(param++, meta.rec);
    rewrite->bindInt(param, meta.version);
    if (rewrite->step() != Statement::Step::Done) {
        const StoreError failure = rewrite->error();
        if (rewrite->brokeConstraint()) {
            StoreError e = StoreError::of(code::kDuplicateKey);
            e.driverCode = failure.driverCode;
            e.driverMessage = failure.driverMessage;
            return e;
        }
        return failure;
    }
    if (m_connection->changes() == 0) {
        return StoreError::of(code::kChangedByOther);
    }
    ++meta.version;
    return {};
}

StoreError SqliteStore::begin() {
    return m_connection->begin();
}

StoreError SqliteStore::beginRead() {
    return m_connection->beginRead();
}

StoreError SqliteStore::commit() {
    return m_connection->commit();
}

void SqliteStore::rollback() {
    m_connection->rollback();
}

bool SqliteStore::inTransaction() const {
    return m_connection->depth() > 0;
}

qint64 SqliteStore::dataVersion() {
    return m_connection->dataVersion();
}

qint64 SqliteStore::ownChanges() const {
    return m_connection->ownChanges();
}

QStringList SqliteStore::explainQueryPlan(const QString& sqlText) {
    return m_connection->explainQueryPlan(sqlText);
}

std::unique_ptr<Store> makeStore(const QString& location) {
    if (isServerLocation(location)) {
        return std::make_unique<PgStore>();
    }
    return std::make_unique<SqliteStore>();
}

std::unique_ptr<StoreSurvey> SqliteStore::openSurvey() const {
    return std::make_unique<SqliteSurvey>(*this);
}

std::unique_ptr<DuplicateReader> SqliteStore::openDuplicateReader() const {
    return std::make_unique<SqliteDuplicateReader>(*this);
}

ReadTransaction::ReadTransaction(Store& store) : m_store(store) {
    m_beginError = m_store.beginRead();
    m_active = m_beginError.ok();
}

ReadTransaction::~ReadTransaction() {
    if (m_active) {
        m_store.rollback();
    }
}

Transaction::Transaction(Store& store) : m_store(&store) {
    m_beginError = store.begin();
    m_active = m_beginError.ok();
}

Transaction::Transaction(Connection& connection) : m_connection(&connection) {
    m_beginError = connection.begin();
    m_active = m_beginError.ok();
}

Transaction::~Transaction() {
    rollback();
}

StoreError Transaction::commit() {
    if (!m_active) {
        return StoreError::of(code::kNoTransaction);
    }
    m_active = false;
    return m_store ? m_store->commit() : m_connection->commit();
}

void Transaction::rollback() {
    if (m_active) {
        m_active = false;
        if (m_store) {
            m_store->rollback();
        } else {
            m_connection->rollback();
        }
    }
}

} // namespace tunarium
