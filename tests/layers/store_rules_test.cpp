// SQL only in the store's files and no record written through the store outside src/data, over
// the whole source tree; and the rules that judge a line, on what they must catch and what they
// must leave alone.
#include "store_rules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

const QString kSourceRoot = QStringLiteral(TUNARIUM_SOURCE_DIR "/src");

TEST(StoreRules, NoSqlOutsideTheStoresFiles) {
    ASSERT_TRUE(QDir(kSourceRoot).exists()) << kSourceRoot.toStdString();
    const QStringList found = sqlViolations(kSourceRoot);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST(StoreRules, NoRecordWrittenThroughTheStoreOutsideTheDataRoom) {
    const QStringList found = storeWriteViolations(kSourceRoot);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST(StoreRules, NoRoomAboveTheDataRoomNamesTheStoresImplementation) {
    const QStringList found = storeImplementationViolations(kSourceRoot);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST(StoreRules, TheStoresFilesAreKnownByPrefixInTheDataRoom) {
    const struct {
        const char* path;
        bool store;
    } cases[] = {
        {"data/store.cpp", true},
        {"data/store.h", true},
        {"data/store_reads.cpp", true},
        {"data/store_survey.cpp", true},
        {"data/schema_sql.cpp", true},
        {"data/schema_sql_lookup.h", true},
        {"data/filter_expression.cpp", false},
        {"data/storefront.cpp", false},
        {"data/database.cpp", false},
        {"catalogue/store_pages.cpp", false},
        {"data/ui/store_window.cpp", false},
        {"exchange/import_process.cpp", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isStoreFile(QString::fromLatin1(c.path)), c.store) << c.path;
    }
}

struct LineCase {
    const char* line;
    const char* found; // a part of what the rule says; empty: the line is clean
};

TEST(StoreRules, TheStoresImplementationIsCaughtByItsNamesAndHeaders) {
    const LineCase cases[] = {
        {"    SqliteStore fresh;", "SqliteStore"},
        {"    auto s = std::make_unique<SqliteSurvey>(store);", "SqliteSurvey"},
        {"    static_cast<SqliteStore&>(db.store()).exec(text);", "SqliteStore"},
        {"    Connection& c = connectionOf(store);", "Connection"},
        {"    Statement* read = cached(text);", "Statement"},
        {"#include \"data/store_sqlite.h\"", "store_sqlite.h"},
        {"#  include \"data/store_connection.h\"", "store_connection.h"},
        {"    PgStore server;", "PgStore"},
        {"#include \"data/store_pg.h\"", "store_pg.h"},
        // The interface, Qt's connections, words in texts and comments.
        {"    const std::unique_ptr<Store> made = makeStore(dir);", ""},
        {"    std::unique_ptr<StoreSurvey> survey = store.openSurvey();", ""},
        {"    connect(a, &A::done, this, &B::go, Qt::QueuedConnection);", ""},
        {"    QMetaObject::Connection m_watch;", ""},
        {"    SqliteStoreHelper x;", ""},
        {"#include \"data/store.h\"", ""},
        {"#include \"data/store_survey.h\"", ""},
        {"    // a SqliteStore in a comment", ""},
        {"    message(\"Statement of account\");", ""},
    };
    for (const LineCase& c : cases) {
        bool inComment = false;
        const QString found = storeImplementationIn(QString::fromLatin1(c.line), inComment);
        if (*c.found == '\0') {
            EXPECT_TRUE(found.isEmpty()) << c.line << " -> " << found.toStdString();
        } else {
            EXPECT_TRUE(found.contains(QString::fromLatin1(c.found)))
                << c.line << " -> " << found.toStdString();
        }
    }
}

TEST(StoreRules, SqlIsCaughtByItsShapeNotByItsWords) {
    const LineCase cases[] = {
        // SQLite's interface in code.
        {"    sqlite3_open_v2(\":memory:\", &db, flags, nullptr);", "sqlite3_open_v2"},
        {"    sqlite3* db = nullptr;", "sqlite3"},
        {"#include <sqlite3.h>", "<sqlite3.h>"},
        // libpq's, the server's.
        {"    auto* r = PQexec(conn, text);", "PQexec("},
        {"    PGresult* r = nullptr;", "PGresult"},
        {"#include <libpq-fe.h>", "<libpq-fe.h>"},
        // Statements in literals, whole or begun.
        {"    exec(QStringLiteral(\"PRAGMA cache_size=-%1\").arg(kb));", "PRAGMA"},
        {"    const char* q = \"SELECT rec FROM songs WHERE id = ?\";", "SELECT"},
        {"    QStringLiteral(\"UPDATE \") + quoted(t.label) + QStringLiteral(\" SET \")", "UPDATE"},
        {"    text = \"INSERT OR REPLACE INTO t VALUES (?)\";", "INSERT"},
        {"    QStringLiteral(\"DELETE FROM \") + name", "DELETE"},
        {"    QStringLiteral(\"COALESCE((SELECT \") + column", "(SELECT"},
        {"    \"CREATE UNIQUE INDEX \" + name", "CREATE"},
        {"    where + \" ORDER BY x\"; const char* s = \"BEGIN IMMEDIATE\";", "BEGIN"},
        {"    \"he said \\\"SELECT a FROM b\\\"\"", "SELECT a FROM"},
        // Captions, messages and comments.
        {"    addButton(QStringLiteral(\"&Update\"));", ""},
        {"    QStringLiteral(\"Update Album\"), QStringLiteral(\"Delete from Playlist\")", ""},
        {"    message(\"Select a song from the list\");", ""},
        {"    // SELECT ... FROM in a comment is no SQL; nor is sqlite3_open here", ""},
        {"    x = 1; /* PRAGMA in a comment */ y = 2;", ""},
        {"    QStringLiteral(\" AND \") + QStringLiteral(\"tunarium_fold(\")", ""},
        {"    const QChar quote = '\"'; text(\"Updated\");", ""},
        {"    QStringLiteral(\"PRAGMATIC\")", ""},
    };
    for (const LineCase& c : cases) {
        bool inComment = false;
        const QString found = sqlIn(QString::fromLatin1(c.line), inComment);
        if (*c.found == '\0') {
            EXPECT_TRUE(found.isEmpty()) << c.line << " -> " << found.toStdString();
        } else {
            EXPECT_TRUE(found.contains(QString::fromLatin1(c.found)))
                << c.line << " -> " << found.toStdString();
        }
    }
}

TEST(StoreRules, AStoreWriteIsCaughtOnAnyStoreAndNoOtherObject) {
    const LineCase cases[] = {
        {"    if (StoreError e = store.update(row)) {", "update"},
        {"    m_db.store().remove(reservation);", "remove"},
        {"    db->store().update(song);", "update"},
        {"    m_store . rewriteField(TableId::Tunarium, meta, field, value);", "rewriteField"},
        {"    bulkStore->exec(text);", "exec"},
        {"    store.replaceInKey(t, key, old, now, changed);", "replaceInKey"},
        // Through the routines, the named writes, an insert of a new record, other objects.
        {"    m_db.update(row, false);", ""},
        {"    db.remove(added);", ""},
        {"    rewriteUnlinked(store, row);", ""},
        {"    store.insert(song);", ""},
        {"    viewport()->update();", ""},
        {"    m_engine->remove();", ""},
        {"    text.remove(u'&');", ""},
        {"    restore.remove(path);", ""},
        {"    // store.update(row) in a comment", ""},
        {"    message(\"store.update(row) in a text\");", ""},
    };
    for (const LineCase& c : cases) {
        bool inComment = false;
        const QString found = storeWriteIn(QString::fromLatin1(c.line), inComment);
        if (*c.found == '\0') {
            EXPECT_TRUE(found.isEmpty()) << c.line << " -> " << found.toStdString();
        } else {
            EXPECT_TRUE(found.contains(QString::fromLatin1(c.found)))
                << c.line << " -> " << found.toStdString();
        }
    }
}

TEST(StoreRules, ViolationsNameTheFileAndLineAcrossBlockComments) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&dir](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(dir.filePath(path)).absolutePath());
        QFile f(dir.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("data/store_reads.cpp", "auto q = \"SELECT a FROM b\"; store.update(row);\n");
    write("data/filter_probe.cpp", "/* a comment\n   sqlite3_open(...) inside it\n*/ sqlite3_close(db);\n");
    write("albums/album_rules.cpp", "/* store.update(x) */\n\n  store.remove(added);\n");
    EXPECT_EQ(sqlViolations(dir.path()),
              QStringList({"src/data/filter_probe.cpp:3: */ sqlite3_close(db);: SQLite's interface "
                           "(sqlite3_close) outside the store's files"}));
    const QStringList writes = storeWriteViolations(dir.path());
    ASSERT_EQ(writes.size(), 1) << writes.join(u'\n').toStdString();
    EXPECT_TRUE(writes.first().startsWith("src/albums/album_rules.cpp:3: store.remove(added);: "))
        << writes.first().toStdString();
}

} // namespace
