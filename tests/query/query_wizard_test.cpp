// The wizard session: finishing, refusing, and saved queries kept in the collection's NTRQUERY file,
// including files that are damaged.
#include "catalogue/query_wizard.h"
#include "query_fixture.h"

#include <QFile>

using namespace tunarium;
using namespace tunarium::test;

namespace {

using Op = QueryOperator;

class QueryWizardTest : public ::testing::Test {
protected:
    QueryWizard wizard(const QString& filter = {}) {
        return QueryWizard(fields, dir.dir(), prompter, filter);
    }

    void writeFile(const QByteArray& bytes) {
        QFile f(dir.path("NTRQUERY"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QStringList descriptions(const QueryWizard& w) {
        QStringList out;
        for (const SavedQuery& q : w.savedQueries()) {
            out << q.description;
        }
        return out;
    }

    TempCollection dir;
    RecordingPrompter prompter;
    QueryFieldList fields = loadQueryFields(songsQueryFieldsText(), "SONGS", TableId::Tunarium).list;
};

TEST_F(QueryWizardTest, FinishGivesTheFilterOrRefusesWithInvalidQuery) {
    QueryWizard w = wizard("TUN:Live");
    EXPECT_TRUE(w.query().manual);
    EXPECT_EQ(w.result().filter, "TUN:Live");
    EXPECT_FALSE(w.result().ran);

    w.newQuery();
    EXPECT_EQ(w.currentText().text, "All Records");
    w.addElement(QueryJoin::And);
    w.query().elements[0] = element("TUN:BeatsPerMinute", Op::IsEqualTo, "fast");
    EXPECT_FALSE(w.finish());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Invalid Query");
    EXPECT_TRUE(prompter.messages[0].text.startsWith(
        "The query you have designed is invalid.\nPlease review your query and correct the problem.\n\n"));
    EXPECT_TRUE(prompter.messages[0].text.contains("\"fast\" is not a valid value"));
    EXPECT_EQ(w.result().filter, "TUN:Live");
    EXPECT_FALSE(w.result().ran);

    w.query().elements[0].value = "120";
    w.addElement(QueryJoin::Or);
    w.query().elements[1] =
        element("TUN:Live", Op::IsChecked, {}, QueryValueSource::Constant, false, QueryJoin::Or);
    w.setManual(true);
    EXPECT_EQ(w.query().manualText, "(TUN:BeatsPerMinute = 120) OR (TUN:Live <> 0)");
    w.query().manualText += " AND TUN:Skips";
    ASSERT_TRUE(w.finish());
    EXPECT_EQ(w.result().filter, "(TUN:BeatsPerMinute = 120) OR (TUN:Live <> 0) AND TUN:Skips");
    EXPECT_TRUE(w.result().ran);
}

TEST_F(QueryWizardTest, AnEmptyQueryRunsAsEveryRecord) {
    QueryWizard w = wizard("  ");
    EXPECT_FALSE(w.query().manual);
    ASSERT_TRUE(w.finish());
    EXPECT_EQ(w.result().filter, "");
    EXPECT_TRUE(w.result().ran);
}

TEST_F(QueryWizardTest, SavedQueriesRoundTripThroughTheFile) {
    const QVector<SavedQuery> queries = {
        {"SONGS",
         "Björk's \"best\" \\ 100%",
         {false,
          {},
          {element("TUN:Artist", Op::Contains, kDropTable, QueryValueSource::Constant, true),
           element("TUN:Live", Op::IsNotChecked, {}, QueryValueSource::Constant, false, QueryJoin::Or)}}},
        {"SONGS", "By hand", {true, "TUN:Artist = 'a\nb'", {}}},
        {"ALBUMS", "Other list", {true, "ALB:Album = 'x'", {}}},
    };
    ASSERT_TRUE(writeSavedQueries(savedQueryFilePath(dir.dir()), queries));
    EXPECT_TRUE(QFile::exists(dir.path("NTRQUERY")));
    const SavedQueryFile back = readSavedQueries(dir.path("NTRQUERY"));
    EXPECT_FALSE(back.damaged);
    EXPECT_EQ(back.queries, queries);

    QueryWizard w = wizard();
    w.reloadSavedQueries();
    EXPECT_EQ(descriptions(w), (QStringList{queries[0].description, "By hand"}));
    ASSERT_TRUE(w.editSavedQuery("BY HAND"));
    EXPECT_EQ(w.query(), queries[1].query);
    ASSERT_TRUE(w.runSavedQuery(queries[0].description));
    EXPECT_TRUE(w.result().ran);
    EXPECT_TRUE(w.result().filter.startsWith("(INSTRING(" + filterLiteral(kDropTable)));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(QueryWizardTest, AddingOverAnExistingQueryAsksFirst) {
    QueryWizard w = wizard();
    w.addElement(QueryJoin::And);
    w.query().elements[0] = element("TUN:Artist", Op::IsEqualTo, "Abba");
    ASSERT_TRUE(w.addSavedQuery("  Abba songs "));
    EXPECT_TRUE(prompter.messages.isEmpty());

    w.query().elements[0].value = "Zappa";
    prompter.answers = {kButtonNo};
    EXPECT_FALSE(w.addSavedQuery("ABBA SONGS"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Overwrite Query");
    EXPECT_EQ(prompter.messages[0].text, "Do you want to overwrite the query you are editing?");
    EXPECT_EQ(prompter.messages[0].defaultButton, kButtonNo);
    EXPECT_EQ(readSavedQueries(dir.path("NTRQUERY")).queries[0].query.elements[0].value, "Abba");

    prompter.answers = {kButtonYes};
    EXPECT_TRUE(w.addSavedQuery("ABBA SONGS"));
    const SavedQueryFile file = readSavedQueries(dir.path("NTRQUERY"));
    ASSERT_EQ(file.queries.size(), 1);
    EXPECT_EQ(file.queries[0].description, "ABBA SONGS");
    EXPECT_EQ(file.queries[0].query.elements[0].value, "Zappa");

    // An invalid query is not saved; a blank description is refused.
    w.query().elements[0].field = "TUN:Nothing";
    EXPECT_FALSE(w.addSavedQuery("Broken"));
    EXPECT_EQ(prompter.messages.last().caption, "Invalid Query");
    EXPECT_FALSE(w.addSavedQuery("   "));
    EXPECT_EQ(readSavedQueries(dir.path("NTRQUERY")).queries.size(), 1);

    prompter.answers = {kButtonYes};
    EXPECT_TRUE(w.removeSavedQuery("abba songs"));
    EXPECT_TRUE(w.savedQueries().isEmpty());
    EXPECT_TRUE(readSavedQueries(dir.path("NTRQUERY")).queries.isEmpty());
}

TEST_F(QueryWizardTest, QueriesSavedByAnotherWindowAreKept) {
    QueryWizard first = wizard();
    QueryWizard second = wizard();
    ASSERT_TRUE(first.addSavedQuery("One"));
    ASSERT_TRUE(second.addSavedQuery("Two"));
    first.reloadSavedQueries();
    EXPECT_EQ(descriptions(first), (QStringList{"One", "Two"}));
}

TEST_F(QueryWizardTest, QueryNamingAFieldNoLongerListedIsRefusedToRun) {
    ASSERT_TRUE(writeSavedQueries(
        dir.path("NTRQUERY"), {{"SONGS", "Old", {false, {}, {element("TUN:Tempo", Op::IsEqualTo, "1")}}}}));
    QueryWizard w = wizard("TUN:Live");
    w.reloadSavedQueries();
    EXPECT_FALSE(w.runSavedQuery("Old"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Query No Longer Valid");
    EXPECT_TRUE(prompter.messages[0].text.contains("TUN:Tempo"));
    EXPECT_FALSE(w.result().ran);
    EXPECT_EQ(w.result().filter, "TUN:Live");
    // Editing takes it in anyway, so that it can be corrected.
    EXPECT_TRUE(w.editSavedQuery("Old"));
    EXPECT_EQ(w.query().elements[0].field, "TUN:Tempo");
    EXPECT_EQ(prompter.messages.size(), 2);
}

TEST_F(QueryWizardTest, DamagedFilesAreReadAsFarAsTheyGo) {
    const QByteArray good =
        R"({"list":"SONGS","description":"Good","manual":true,"text":"TUN:Live","elements":[]})";
    const QByteArray element =
        R"({"join":"AND","field":"TUN:Live","operator":11,"source":1,"value":"","caseSensitive":false})";
    auto withElement = [&](QByteArray e) {
        return R"({"queries":[{"list":"SONGS","description":"Bad","manual":false,"text":"","elements":[)" +
               e + "]}," + good + "]}";
    };
    const QVector<QByteArray> damaged = {
        "",
        "garbage",
        "{",
        "[]",
        QByteArray("\x00\xff\xfe{\"queries\":[]}", 17),
        R"({"queries":5})",
        R"({"queries":[5, "x", null]})",
        R"({"queries":[{"description":5}]})",
        R"({"queries":[{"list":"SONGS","description":"  ","manual":true,"text":"","elements":[]}]})",
        withElement(QByteArray(element).replace("AND", "XOR")),
        withElement(QByteArray(element).replace("11", "13")),
        withElement(QByteArray(element).replace("11", "1e300")),
        withElement(QByteArray(element).replace("11", "-1e300")),
        withElement(QByteArray(element).replace("11", "2.5")),
        withElement(QByteArray(element).replace(R"("source":1)", R"("source":"1")")),
        withElement(QByteArray(element).replace("false", "0")),
        withElement("[]"),
        R"({"queries":[)" + good + "," + good + "]}",
    };
    for (const QByteArray& bytes : damaged) {
        writeFile(bytes);
        const SavedQueryFile file = readSavedQueries(dir.path("NTRQUERY"));
        EXPECT_TRUE(file.damaged) << bytes.toStdString();
        EXPECT_LE(file.queries.size(), 1) << bytes.toStdString();
        for (const SavedQuery& q : file.queries) {
            EXPECT_EQ(q.description, "Good");
        }
    }

    prompter.messages.clear();
    writeFile(withElement(QByteArray(element).replace("AND", "XOR")));
    QueryWizard w = wizard();
    w.reloadSavedQueries();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "ErrorLoadingQuery");
    EXPECT_EQ(prompter.messages[0].text,
              "An error has prevented the Query Wizard from loading your query at this time.");
    EXPECT_EQ(descriptions(w), QStringList{"Good"});

    // Saving over a damaged file keeps the damaged one aside.
    ASSERT_TRUE(w.addSavedQuery("New"));
    EXPECT_FALSE(readSavedQueries(dir.path("NTRQUERY")).damaged);
    EXPECT_EQ(descriptions(w), (QStringList{"Good", "New"}));
    QFile aside(dir.path("NTRQUERY.damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), withElement(QByteArray(element).replace("AND", "XOR")));
}

TEST_F(QueryWizardTest, AFileThatCannotBeWrittenIsReported) {
    QueryWizard w(fields, dir.path("missing/deeper"), prompter, {});
    EXPECT_FALSE(w.addSavedQuery("Anything"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("The saved queries could not be written"));
    EXPECT_TRUE(w.savedQueries().isEmpty());
}

} // namespace
