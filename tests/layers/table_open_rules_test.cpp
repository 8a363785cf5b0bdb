// No table opened or closed by hand outside src/data, over the whole source tree; and the rule
// that judges a line, on what it must catch and what it must leave alone.
#include "table_open_rules.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

const QString kSourceRoot = QStringLiteral(TUNARIUM_SOURCE_DIR "/src");

TEST(TableOpenRules, NoTableOpenedByHandOutsideTheDataRoom) {
    ASSERT_TRUE(QDir(kSourceRoot).exists()) << kSourceRoot.toStdString();
    const QStringList found = tableOpenViolations(kSourceRoot);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST(TableOpenRules, AManualOpenIsCaughtOnAnyObjectButTheBulkLoadsStore) {
    const struct {
        const char* line;
        const char* found; // the operation named; empty: the line is clean
    } cases[] = {
        {"    if (!m_db.openTable(t)) {", "openTable"},
        {"    context.db.closeTables({TableId::Album});", "closeTables"},
        {"    m_context.db . openTables(kTables)", "openTables"},
        {"    db->closeTable(TableId::Tunarium);", "closeTable"},
        {"    program->database().openSongsAlias();", "openSongsAlias"},
        {"    m_db.closeEventLog();", "closeEventLog"},
        {"    e = m_reader->openTable(table);", "openTable"},
        {"    db.store().openTable(TableId::Tunarium);", "openTable"},
        // The bulk load's connection, leases, other opens, comments and texts.
        {"    if (bulk->openTable(TableId::Tunarium) ||", ""},
        {"    m_bulk->closeTable(TableId::Categories);", ""},
        {"    m_tables = TableLease(m_db, {TableId::Tunarium});", ""},
        {"    if (!m_cursor.open(m_context.settings.tip())) {", ""},
        {"    m_reader->close();", ""},
        {"    bool openTables();", ""},
        {"    // db.openTable(t) in a comment", ""},
        {"    message(\"db.closeTable(t) in a text\");", ""},
    };
    for (const auto& c : cases) {
        bool inComment = false;
        const QString found = tableOpenIn(QString::fromLatin1(c.line), inComment);
        if (*c.found == '\0') {
            EXPECT_TRUE(found.isEmpty()) << c.line << " -> " << found.toStdString();
        } else {
            EXPECT_TRUE(found.contains(QStringLiteral("(%1)").arg(QLatin1String(c.found))))
                << c.line << " -> " << found.toStdString();
        }
    }
}

} // namespace
