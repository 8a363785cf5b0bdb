// Reading a file offered as a collection without writing to it.
#include "data/store_file_kind.h"

#include "data/dictionary.h"
#include "data/schema_sql.h"
#include "data/store_read_only.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace tunarium {

namespace {

// The mark every collection file carries (PRAGMA application_id), as the schema side writes it.
constexpr int kCollectionMark = 0x544E5250;
constexpr int kReadLockTimeoutMs = 2000;

} // namespace

ReadOnlyFile::ReadOnlyFile(const QString& path) {
    // A log that holds pages belongs to the file: immutable would read past it.
    const bool liveLog = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    if (!liveLog) {
        uri += "?immutable=1";
    }
    m_code = sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    // A live collection may be locked by a writer for a moment (a checkpoint).
    sqlite3_busy_timeout(m_db, kReadLockTimeoutMs);
}

ReadOnlyFile::~ReadOnlyFile() {
    sqlite3_close_v2(m_db);
}

std::optional<QString> ReadOnlyFile::first(const char* sql) {
    if (!db()) {
        return std::nullopt;
    }
    sqlite3_stmt* stmt = nullptr;
    std::optional<QString> value;
    m_lastCode = sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr);
    if (m_lastCode == SQLITE_OK) {
        m_lastCode = sqlite3_step(stmt);
        if (m_lastCode == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            value = text ? QString::fromUtf8(text) : QString();
            m_lastCode = SQLITE_OK;
        } else if (m_lastCode == SQLITE_DONE) {
            m_lastCode = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return value;
}

QString newerStructureText(const QString& path, const QString& table, int structure, int readsUpTo) {
    return QStringLiteral("%1 was made by a newer version of Tunarium Pro: structure %2, this version reads "
                          "up to %3 (the %4 table)")
        .arg(path)
        .arg(structure)
        .arg(readsUpTo)
        .arg(table);
}

QString CollectionFileState::describe() const {
    switch (kind) {
    case CollectionFileKind::Missing:
        return QStringLiteral("%1 does not exist").arg(path);
    case CollectionFileKind::NotRegular:
        return QFileInfo(path).isDir() ? QStringLiteral("%1 is a folder, not a collection file").arg(path)
                                       : QStringLiteral("%1 is not a regular file").arg(path);
    case CollectionFileKind::Unreadable:
        return QStringLiteral("%1 cannot be read: %2").arg(path, detail);
    case CollectionFileKind::Empty:
        return QStringLiteral("%1 is empty: it holds no collection").arg(path);
    case CollectionFileKind::NotDatabase:
        return QStringLiteral("%1 is not a Tunarium collection (not a database file)").arg(path);
    case CollectionFileKind::NotCollection:
        return QStringLiteral("%1 is not a Tunarium collection").arg(path);
    case CollectionFileKind::Newer:
        return newerStructureText(path, table, structure, readsUpTo);
    case CollectionFileKind::Damaged:
        return detail.isEmpty() ? QStringLiteral("%1 is a damaged collection").arg(path)
                                : QStringLiteral("%1 is a damaged collection (%2)").arg(path, detail);
    case CollectionFileKind::Sound:
        break;
    }
    return QStringLiteral("%1 is a sound collection").arg(path);
}

CollectionFileState inspectCollectionFile(const QString& path, PageCheck pages) {
    CollectionFileState state;
    state.path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        return state;
    }
    if (!info.isFile()) {
        state.kind = CollectionFileKind::NotRegular;
        return state;
    }
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            state.kind = CollectionFileKind::Unreadable;
            state.detail = probe.errorString();
            return state;
        }
    }
    if (info.size() == 0) {
        state.kind = CollectionFileKind::Empty;
        return state;
    }
    ReadOnlyFile file(path);
    const auto damaged = [&state](int code) {
        state.kind = CollectionFileKind::Damaged;
        state.detail = QString::fromUtf8(sqlite3_errstr(code));
        return state;
    };
    const std::optional<QString> mark = file.first("PRAGMA application_id");
    if (!mark) {
        if ((file.code() & 0xff) == SQLITE_CORRUPT) {
            return damaged(file.code());
        }
        if ((file.code() & 0xff) == SQLITE_NOTADB || file.code() == SQLITE_OK) {
            state.kind = CollectionFileKind::NotDatabase;
            return state;
        }
        state.kind = CollectionFileKind::Unreadable;
        state.detail = QString::fromUtf8(sqlite3_errstr(file.code()));
        return state;
    }
    if (mark->toInt() != kCollectionMark) {
        const bool unmarked = mark->toInt() == 0 && file.first("PRAGMA user_version").value_or(QString()) == u"0" &&
                              file.first("SELECT COUNT(*) FROM sqlite_schema").value_or(QString()) == u"0";
        state.kind = unmarked ? CollectionFileKind::Empty : CollectionFileKind::NotCollection;
        return state;
    }
    const std::optional<QString> tables = file.first(
        "SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('_structure', '_counts')");
    if (!tables) {
        return damaged(file.code());
    }
    if (tables->toInt() != 2) {
        state.kind = CollectionFileKind::NotCollection;
        return state;
    }
    // The structure of every table the file has against what this version lays out.
    sqlite3_stmt* structures = nullptr;
    int rc = sqlite3_prepare_v2(file.db(), "SELECT label, version FROM \"_structure\"", -1, &structures, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(structures)) == SQLITE_ROW) {
        const QString label = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(structures, 0)));
        const int version = sqlite3_column_int(structures, 1);
        for (const TableDef& t : allTables()) {
            if (t.label == label && version > t.version && state.kind != CollectionFileKind::Newer) {
                state.kind = CollectionFileKind::Newer;
                state.table = label;
                state.structure = version;
                state.readsUpTo = t.version;
            }
        }
        rc = SQLITE_OK;
    }
    sqlite3_finalize(structures);
    if (state.kind == CollectionFileKind::Newer) {
        return state;
    }
    if (rc != SQLITE_DONE) {
        return damaged(rc);
    }
    if (pages == PageCheck::Quick) {
        const std::optional<QString> check = file.first("PRAGMA quick_check(1)");
        if (!check) {
            return damaged(file.code());
        }
        if (*check != QLatin1String("ok")) {
            state.kind = CollectionFileKind::Damaged;
            state.detail = QString(*check).remove(QStringLiteral("*** in database main ***\n"));
            return state;
        }
    }
    state.kind = CollectionFileKind::Sound;
    return state;
}

QString copyCollectionFile(const QString& from, const QString& to) {
    // An empty file of that name is the caller's, made to hold the name (and a lock) for the copy.
    if (const QFileInfo target(to); target.isSymLink() || (target.exists() && (!target.isFile() || target.size() > 0))) {
        return QStringLiteral("%1 exists already").arg(to);
    }
    ReadOnlyFile source(from);
    if (!source.db()) {
        return QStringLiteral("%1 cannot be read: %2").arg(from, QString::fromUtf8(sqlite3_errstr(source.code())));
    }
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(to).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString failure;
    if (rc == SQLITE_OK) {
        // The copy is committed with the file synced (a rollback journal, synchronous FULL).
        sqlite3_exec(target, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source.db(), "main")) {
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) {
                failure = QString::fromUtf8(sqlite3_errstr(rc));
            }
        } else {
            failure = QString::fromUtf8(sqlite3_errmsg(target));
        }
    } else {
        failure = QString::fromUtf8(sqlite3_errstr(rc));
    }
    if (sqlite3_close(target) != SQLITE_OK && failure.isEmpty()) {
        failure = QStringLiteral("the copy could not be closed");
    }
    if (!failure.isEmpty()) {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            QFile::remove(to + QLatin1String(suffix));
        }
        return QStringLiteral("%1 could not be copied to %2: %3").arg(from, to, failure);
    }
    return {};
}

} // namespace tunarium
