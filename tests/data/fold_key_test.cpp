// Folded keys: names sort and are found as a person reads them, diacritics aside, while keys stay
// exact; collections folded by an earlier version get their keys rebuilt once.
#include "data/database.h"
#include "data/fold_key.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

using namespace tunarium;

namespace {

QString key(const QString& prefix, const QString& folded = {}) {
    return folded.isEmpty() ? prefix : prefix + QChar(kFoldSeparator) + folded;
}

TEST(FoldKey, DropsDiacriticsCaseAndTrailingBlanksAndKeepsTheExactText) {
    const std::pair<QString, QString> cases[] = {
        {"ABBA", key("abba")},
        {"abba   ", key("abba")},
        {"   ", key("")},
        {" Leading", key(" leading")},
        {"Électrique", key("electrique", "électrique")},
        {"CAFÉ", key("cafe", "café")},
        {"Straße", key("strasse", "straße")},
        {"Ørsted", key("orsted", "ørsted")},
        {"Æther", key("aether", "æther")},
        {"Łódź", key("lodz", "łódź")},
        {"Þór", key("thor", "þór")},
        {"Ｆｕｌｌ", key("full", "ｆｕｌｌ")},
        {"Άλφα", key("αλφα", "άλφα")},
        {"Ёлка", key("елка", "ёлка")},
        {"Йога", key("йога")},
        {"東京", key("東京")},
        {"がっこう", key("がっこう")},
        {"한국", key("한국")},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(foldKey(text), expected) << text.toStdString();
        // The locator's part is the key up to its separator.
        EXPECT_EQ(foldKeyPrefix(text), expected.section(QChar(kFoldSeparator), 0, 0)) << text.toStdString();
    }
    EXPECT_EQ(caseFold("CAFÉ  "), "café");
    EXPECT_EQ(withoutDiacritics("Ørsted Åkesson"), "Orsted Akesson");
}

class FoldedStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Categories).ok());
    }

    void addAll(const QStringList& names) {
        qint64 id = store.count(TableId::Categories);
        for (const QString& name : names) {
            CategoryRecord c{++id, name, {}};
            ASSERT_TRUE(store.insert(c).ok()) << name.toStdString();
        }
    }

    QStringList inKeyOrder() {
        QVector<Row> rows;
        EXPECT_TRUE(store.read(TableId::Categories, byName, {}, Direction::Forward, true, 1000, rows).ok());
        QStringList names;
        for (const Row& r : rows) {
            names << r.text(name);
        }
        return names;
    }

    // The first name at or after what a user typed.
    QString located(const QString& typed) {
        KeyPosition at;
        at.values = {typed};
        at.partialText = true;
        QVector<Row> rows;
        EXPECT_TRUE(store.read(TableId::Categories, byName, at, Direction::Forward, true, 1, rows).ok());
        return rows.isEmpty() ? QString() : rows.first().text(name);
    }

    test::TempCollection dir;
    SqliteStore store;
    const int byName = tableDef(TableId::Categories).keyIndex(u"KeyCategory");
    const int name = tableDef(TableId::Categories).fieldIndex(u"Category");
};

// The order a reader expects, whatever order the names were added in.
const QStringList kReadingOrder = {
    " Leading Blank", "10cc",   "2Pac",     "ABBA",       "Åkesson",  "Cafe",  "Café",
    "Cafe Noir",      "Eagles", "Electric", "Électrique", "Elvis",    "Émile", "Ørsted",
    "Oxygène",        "Straße", "Strauss",  "Zz Top",     "Άλφα",     "Βήτα",  "Елена",
    "Ёлка",           "Жара",   "Иван",     "Йога",       "がっこう", "東京",  "한국",
};

TEST_F(FoldedStoreTest, NamesSortAsAPersonReadsThem) {
    QStringList shuffled = kReadingOrder;
    std::reverse(shuffled.begin(), shuffled.end());
    std::shuffle(shuffled.begin(), shuffled.end(), *QRandomGenerator::global());
    addAll(shuffled);
    EXPECT_EQ(inKeyOrder(), kReadingOrder);
    // A second collection filled in another order sorts the same.
    test::TempCollection other;
    SqliteStore second;
    ASSERT_TRUE(second.open(other.dir()).ok());
    ASSERT_TRUE(second.openTable(TableId::Categories).ok());
    qint64 id = 0;
    for (const QString& n : kReadingOrder) {
        CategoryRecord c{++id, n, {}};
        ASSERT_TRUE(second.insert(c).ok());
    }
    QVector<Row> rows;
    ASSERT_TRUE(second.read(TableId::Categories, byName, {}, Direction::Forward, true, 1000, rows).ok());
    ASSERT_EQ(rows.size(), kReadingOrder.size());
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].text(name), kReadingOrder[i]);
    }
}

TEST_F(FoldedStoreTest, KeysStayExact) {
    addAll({"Café", "Cafe"});
    CategoryRecord upper{3, "CAFÉ", {}};
    EXPECT_EQ(store.insert(upper).code, code::kDuplicateKey);
    CategoryRecord found;
    ASSERT_TRUE(store.get(byName, {QString("cafe")}, found).ok());
    EXPECT_EQ(found.category, "Cafe");
    ASSERT_TRUE(store.get(byName, {QString("CAFÉ")}, found).ok());
    EXPECT_EQ(found.category, "Café");
}

TEST_F(FoldedStoreTest, ATypedBeginningFindsNamesWithOrWithoutDiacritics) {
    addAll(kReadingOrder);
    const std::pair<const char*, const char*> cases[] = {
        {"e", "Eagles"},          {"E", "Eagles"},         {"el", "Electric"},
        {"é", "Eagles"},          {"électri", "Electric"}, {"electriq", "Électrique"},
        {"ÉLECTRIQUEZ", "Elvis"}, {"em", "Émile"},         {"a", "ABBA"},
        {"ak", "Åkesson"},        {"cafe ", "Cafe"},       {"cafe n", "Cafe Noir"},
        {"o", "Ørsted"},          {"ox", "Oxygène"},       {"stras", "Straße"},
        {"strau", "Strauss"},     {"е", "Елена"},          {"ё", "Елена"},
        {"ёл", "Елена"},          {"ёлк", "Ёлка"},         {"й", "Йога"},
        {"zzz", "Άλφα"},          {"한", "한국"},
    };
    for (const auto& [typed, expected] : cases) {
        EXPECT_EQ(located(QString::fromUtf8(typed)), QString::fromUtf8(expected)) << typed;
    }
}

// A collection whose keys an earlier version folded (case only) has them rebuilt when the program
// opens it, after a dated backup, without asking.
TEST(FoldUpgrade, KeysFoldedByAnEarlierVersionAreRebuiltOnce) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Categories).ok());
        qint64 id = 0;
        for (const char* n : {"Elvis", "Électrique", "Electric", "Zebra"}) {
            CategoryRecord c{++id, QString::fromUtf8(n), {}};
            ASSERT_TRUE(store.insert(c).ok());
        }
        // As the earlier version left it: keys case-folded only, no fold version.
        ASSERT_TRUE(store.exec("UPDATE \"Categories\" SET \"CategoryKey\" = lower(\"Category\")").ok());
        ASSERT_TRUE(
            store.exec("UPDATE \"Categories\" SET \"CategoryKey\" = 'électrique' WHERE \"CategoryID\" = 2")
                .ok());
        ASSERT_TRUE(store.exec("DELETE FROM \"_structure\" WHERE label LIKE '%/fold'").ok());
        EXPECT_EQ(store.tableState(TableId::Categories), TableState::KeysOutdated);
    }
    RecordingPrompter prompter;
    Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(db.openTable(TableId::Categories));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(db.store().tableState(TableId::Categories), TableState::Current);
    EXPECT_EQ(db.store().checkKeys(TableId::Categories).code, code::kOk);
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).size(), 1);
    const int byName = tableDef(TableId::Categories).keyIndex(u"KeyCategory");
    QVector<Row> rows;
    ASSERT_TRUE(db.store().read(TableId::Categories, byName, {}, Direction::Forward, true, 10, rows).ok());
    QStringList names;
    for (const Row& r : rows) {
        names << r.text(1);
    }
    EXPECT_EQ(names, QStringList({"Electric", "Électrique", "Elvis", "Zebra"}));
    db.closeAll();

    // Once: the next open finds nothing to do.
    Database again(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(again.openTable(TableId::Categories));
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).size(), 1);
}

} // namespace
