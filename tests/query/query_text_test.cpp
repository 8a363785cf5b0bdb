// Wizard queries run against a real collection: every operator on every kind of field, values that
// look like SQL or filter syntax, and the queries the wizard refuses.
#include "query_fixture.h"

using namespace tunarium;
using namespace tunarium::test;

namespace {

using Op = QueryOperator;
using Src = QueryValueSource;

struct ElementCase {
    QueryElement element;
    Ids expected;
};

class QueryTextTest : public QueryCollection {
protected:
    void expectCases(const QVector<ElementCase>& cases) {
        for (const ElementCase& c : cases) {
            const QueryCheck one = queryElementFilter(c.element, fields.list);
            EXPECT_EQ(runElements({c.element}), c.expected) << one.text.toStdString();
        }
    }
};

TEST_F(QueryTextTest, TypedTextFields) {
    expectCases({
        {element("TUN:Artist", Op::IsEqualTo, "björk"), {1, 2}},
        {element("TUN:Artist", Op::IsEqualTo, "björk", Src::Constant, true), {}},
        {element("TUN:Artist", Op::IsEqualTo, "Björk", Src::Constant, true), {1}},
        {element("TUN:Artist", Op::IsNotEqualTo, "ABBA"), {1, 2, 4, 6}},
        {element("TUN:Artist", Op::IsGreaterThan, "o"), {4, 6}},
        {element("TUN:Artist", Op::IsLessThan, "b"), {3, 5}},
        {element("TUN:Artist", Op::IsGreaterThanOrEqualTo, "zappa"), {6}},
        {element("TUN:Artist", Op::IsLessThanOrEqualTo, "abba"), {3, 5}},
        {element("TUN:Artist", Op::BeginsWith, "bj"), {1, 2}},
        {element("TUN:Artist", Op::Contains, "ÖR"), {1, 2}},
        {element("TUN:Artist", Op::DoesNotBeginWith, "a"), {1, 2, 4, 6}},
        {element("TUN:Artist", Op::DoesNotContain, "b"), {6}},
        {element("TUN:Notes", Op::Contains, "SWANS"), {1}},
        {element("TUN:Mix", Op::IsEqualTo, ""), {1, 3, 4, 5, 6}},
        {element("CAT:Category", Op::Contains, "ock"), {3, 4, 6}},
        {element("CAT:Category", Op::IsEqualTo, "électro"), {1, 2}},
        {element("MED:Media", Op::IsEqualTo, "cd"), {1, 2, 5}},
    });
}

TEST_F(QueryTextTest, TypedNumberDateAndTimeFields) {
    expectCases({
        {element("TUN:BeatsPerMinute", Op::IsEqualTo, "120"), {1}},
        {element("TUN:BeatsPerMinute", Op::IsNotEqualTo, "0"), {1, 2, 3, 4}},
        {element("TUN:BeatsPerMinute", Op::IsGreaterThan, "100"), {1, 3, 4}},
        {element("TUN:BeatsPerMinute", Op::IsLessThan, " 100 "), {2, 5, 6}},
        {element("TUN:BeatsPerMinute", Op::IsGreaterThanOrEqualTo, "128"), {3, 4}},
        {element("TUN:BeatsPerMinute", Op::IsLessThanOrEqualTo, "95"), {2, 5, 6}},
        {element("TUN:BeatsPerMinute", Op::BeginsWith, "1"), {1, 3, 4}},
        {element("TUN:BeatsPerMinute", Op::Contains, "2"), {1, 4}},
        {element("TUN:BeatsPerMinute", Op::DoesNotBeginWith, "1"), {2, 5, 6}},
        {element("TUN:BeatsPerMinute", Op::DoesNotContain, "4"), {1, 2, 4, 5, 6}},
        {element("TUN:BeatsPerMinute", Op::IsEqualTo, ""), {5, 6}},
        {element("TUN:ReleaseDate", Op::IsEqualTo, "11/20/1995"), {1}},
        {element("TUN:ReleaseDate", Op::IsEqualTo, "1995"), {2}},
        {element("TUN:ReleaseDate", Op::IsGreaterThan, "01/01/1990"), {1}},
        {element("TUN:ReleaseDate", Op::IsLessThan, "4/7/1974"), {2, 3, 4, 5, 6}},
        {element("TUN:Time", Op::IsGreaterThan, "0:05:00"), {1}},
        {element("TUN:CategoryID", Op::IsEqualTo, "-0"), {5}},
    });
}

TEST_F(QueryTextTest, CheckBoxesAndChoiceLists) {
    expectCases({
        {element("TUN:Skips", Op::IsChecked), {2}},
        {element("TUN:Skips", Op::IsNotChecked), {1, 3, 4, 5, 6}},
        {element("TUN:Skips", Op::IsEqualTo, "1"), {2}},
        {element("TUN:Skips", Op::IsNotEqualTo, "1"), {1, 3, 4, 5, 6}},
        {element("TUN:Live", Op::IsChecked, "value ignored"), {3}},
        {element("TUN:DoNotPlay", Op::IsEqualTo, "0"), {1, 2, 3, 4, 6}},
        {element("TUN:EndType", Op::IsEqualTo, "Slow"), {1}},
        {element("TUN:EndType", Op::IsNotEqualTo, "Slow"), {2, 3, 4, 5, 6}},
        {element("TUN:EndType", Op::BeginsWith, "f"), {2}},
    });
}

TEST_F(QueryTextTest, ValuesFromAnotherFieldOrAnExpression) {
    expectCases({
        {element("TUN:Artist", Op::IsEqualTo, "TUN:Composer", Src::AnotherField), {3}},
        {element("TUN:Artist", Op::IsEqualTo, "tun:composer", Src::AnotherField, true), {}},
        {element("TUN:BeatsPerMinute", Op::IsEqualTo, "100 + 20", Src::Expression), {1}},
        {element("TUN:Artist", Op::BeginsWith, "LEFT('  ab')", Src::Expression), {3, 5}},
    });
}

TEST_F(QueryTextTest, HostileValuesAreSearchedAsText) {
    expectCases({
        {element("TUN:Title", Op::Contains, "%"), {4}},
        {element("TUN:Title", Op::Contains, "_"), {4}},
        {element("TUN:Title", Op::Contains, "%%"), {}},
        {element("TUN:Title", Op::BeginsWith, "100%"), {4}},
        {element("TUN:Title", Op::Contains, "e_L"), {4}},
        {element("TUN:Title", Op::Contains, "'"), {6}},
        {element("TUN:Title", Op::Contains, "\""), {6}},
        {element("TUN:Title", Op::Contains, "\\"), {6}},
        {element("TUN:Title", Op::Contains, "OR 1=1"), {6}},
        {element("TUN:Title", Op::IsEqualTo, kInjection, Src::Constant, true), {6}},
        {element("TUN:Artist", Op::IsEqualTo, "' OR ''='"), {}},
        {element("TUN:Artist", Op::IsEqualTo, "x' OR TUN:Artist <> 'x"), {}},
        {element("TUN:Notes", Op::IsEqualTo, kDropTable), {4}},
        {element("TUN:Notes", Op::Contains, "drop table"), {4}},
        {element("TUN:Artist", Op::Contains, "ö"), {1, 2}},
    });
    const QueryCheck check =
        checkQuery(Query{false, {}, {element("TUN:Notes", Op::IsEqualTo, kDropTable)}}, fields.list);
    const CompiledFilter compiled = compileFilter(check.text, TableId::Tunarium);
    EXPECT_FALSE(compiled.condition.sql.contains("DROP"));
    EXPECT_EQ(store.count(TableId::Tunarium), 6);
}

TEST_F(QueryTextTest, AndBindsCloserThanOr) {
    const QVector<QueryElement> elements = {
        element("TUN:Artist", Op::BeginsWith, "bj"),
        element("TUN:Skips", Op::IsChecked),
        element("TUN:Live", Op::IsChecked, {}, Src::Constant, false, QueryJoin::Or),
    };
    EXPECT_EQ(runElements(elements), (Ids{2, 3}));
    EXPECT_EQ(joinQueryElements(elements, fields.list).text,
              "(INSTRING(UPPER('bj'), UPPER(TUN:Artist), 1, 1) = 1) AND (TUN:Skips <> 0) OR (TUN:Live <> 0)");
    EXPECT_EQ(runElements({}), (Ids{1, 2, 3, 4, 5, 6}));
}

TEST(QueryChecks, QueriesThatCannotRunAreRefusedWithTheReason) {
    test::TempCollection dir;
    const QueryFieldList fields = loadQueryFields(songsQueryFieldsText(), "SONGS", TableId::Tunarium).list;
    struct Refused {
        Query query;
        const char* problem;
    };
    const QVector<Refused> cases = {
        {{false, {}, {element("TUN:BeatsPerMinute", Op::IsEqualTo, "fast")}},
         "Query element 1: \"fast\" is not a valid value for Beats Per Minute (BPM)."},
        {{false, {}, {element("TUN:ReleaseDate", Op::IsEqualTo, "someday")}},
         "is not a valid value for Release"},
        {{false, {}, {element("TUN:Artist", Op::IsChecked)}},
         "Artist cannot be compared with \"Is Checked\""},
        {{false, {}, {element("TUN:Skips", Op::Contains, "1")}},
         "Skips cannot be compared with \"Contains\""},
        {{false, {}, {element("TUN:Artst", Op::IsEqualTo, "x")}}, "The field TUN:Artst cannot be searched"},
        {{false, {}, {element("TUN:AlbumID", Op::IsEqualTo, "1")}},
         "The field TUN:AlbumID cannot be searched"},
        {{false, {}, {element("", Op::IsEqualTo, "x")}}, "Choose a field"},
        {{false, {}, {element("TUN:Title", Op::IsEqualTo, "", Src::Expression)}}, "Type an expression"},
        {{false, {}, {element("TUN:Title", Op::IsEqualTo, "TUN:Nothing", Src::Expression)}},
         "Unknown field TUN:Nothing"},
        {{false, {}, {element("TUN:Title", Op::IsEqualTo, "TUN:ID", Src::AnotherField)}}, "Choose the field"},
        {{false, {}, {element("TUN:Title", Op::Contains, QString(1000, u'x'))}},
         "a query can have at most 1024"},
        {{true, "TUN:Artst = 'x'", {}}, "Unknown field TUN:Artst at position 1"},
        {{true, "TUN:Artist =", {}}, "Expected a value"},
        {{true, "TUN:Artist = 'x", {}}, "Unterminated string"},
        {{true, "BRW1::Sort3:Reset:MED:Media = 'CD'", {}}, "Unknown name"},
        {{true, "TUN:Artist = '" + QString(1017, u'x') + "'  ", {}}, "1032 characters long"},
    };
    for (const Refused& c : cases) {
        const QueryCheck check = checkQuery(c.query, fields);
        EXPECT_FALSE(check.ok()) << c.problem;
        EXPECT_TRUE(check.problem.contains(QString::fromUtf8(c.problem))) << check.problem.toStdString();
        EXPECT_TRUE(check.text.isEmpty());
    }
    // Exactly at the limit is still a query.
    const QString longest = " TUN:Artist = '" + QString(kQueryTextWidth - 15, u'x') + "' ";
    EXPECT_EQ(checkQuery({true, longest, {}}, fields).text, longest.trimmed());
}

TEST(QueryChecks, OperatorTextsRoundTrip) {
    for (int n = 1; n <= 12; ++n) {
        const auto op = static_cast<QueryOperator>(n);
        EXPECT_EQ(queryOperatorFromText(queryOperatorText(op)), op);
    }
    EXPECT_EQ(queryOperatorText(QueryOperator::DoesNotBeginWith), "Does NOT Begin With");
    EXPECT_EQ(queryOperatorFromText(u" contains "), QueryOperator::Contains);
    EXPECT_FALSE(queryOperatorFromText(u"Is Like").has_value());
}

} // namespace
