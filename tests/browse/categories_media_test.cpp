// The categories and media rules through the form pattern: numbering, reuse of the highest
// number, Cancel on a new record, duplicate names, and the history copy.
#include "catalogue/categories_media.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class CategoriesMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db->openTable(TableId::Categories));
        ASSERT_TRUE(db->openTable(TableId::Media));
    }

    // Adds a category through the form pattern: numbered at start, then named on OK (or
    // cancelled). Returns its number.
    qint64 addCategory(const QString& name, bool ok = true) {
        CategoryRules rules(*db);
        FormSession form(*db, rules, Request::Insert);
        Row record(TableId::Categories);
        EXPECT_TRUE(form.start(record));
        const qint64 id = record.number(0);
        record.setText(1, name);
        if (ok) {
            EXPECT_EQ(form.save(record), FormSession::SaveResult::Closed);
        } else {
            form.cancel();
        }
        form.close();
        return id;
    }

    QStringList names(TableId table, int field) {
        QVector<Row> rows;
        EXPECT_TRUE(db->store().read(table, 0, {}, Direction::Forward, true, 100, rows).ok());
        QStringList out;
        for (const Row& r : rows) {
            out << r.text(field);
        }
        return out;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
};

TEST_F(CategoriesMediaTest, CategoriesAreNumberedFromOneAndTheHighestNumberIsReused) {
    EXPECT_EQ(addCategory("Rock"), 1);
    EXPECT_EQ(addCategory("Jazz"), 2);
    EXPECT_EQ(addCategory("Blues"), 3);
    Row highest;
    ASSERT_TRUE(db->store().get(TableId::Categories, 0, {qint64(3)}, highest).ok());
    ASSERT_TRUE(db->store().remove(highest).ok());
    EXPECT_EQ(addCategory("Soul"), 3);
    EXPECT_EQ(db->store().count(TableId::Categories), 3);
}

TEST_F(CategoriesMediaTest, CancellingANewCategoryLeavesNothingAndFreesItsNumber) {
    CategoryRules rules(*db);
    FormSession form(*db, rules, Request::Insert);
    Row record(TableId::Categories);
    ASSERT_TRUE(form.start(record));
    // Added before the window opens: it holds its number while the form is open.
    EXPECT_EQ(db->store().count(TableId::Categories), 1);
    form.cancel();
    form.close();
    EXPECT_EQ(db->store().count(TableId::Categories), 0);
    EXPECT_EQ(addCategory("Rock"), 1);
}

TEST_F(CategoriesMediaTest, ANewMediaFormatIsAddedOnlyOnOk) {
    for (bool ok : {false, true}) {
        MediaRules rules;
        FormSession form(*db, rules, Request::Insert);
        Row record(TableId::Media);
        ASSERT_TRUE(form.start(record));
        EXPECT_EQ(db->store().count(TableId::Media), 0);
        record.setText(0, "MiniDisc");
        if (ok) {
            EXPECT_EQ(form.save(record), FormSession::SaveResult::Closed);
        } else {
            form.cancel();
        }
        form.close();
        EXPECT_EQ(db->store().count(TableId::Media), ok ? 1 : 0);
    }
}

TEST_F(CategoriesMediaTest, ADuplicateNameIsRefusedWithTheKeyNamedAndTheFormStaysOpen) {
    struct Case {
        TableId table;
        int nameField;
        std::function<std::unique_ptr<FormRules>()> rules;
        QString key;
    };
    const QVector<Case> cases = {
        {TableId::Media, 0, [] { return std::make_unique<MediaRules>(); }, "MED:KeyMedia"},
        // The category's number is the form's own: the name is what clashes, and is named.
        {TableId::Categories, 1, [this] { return std::make_unique<CategoryRules>(*db); }, "CAT:KeyCategory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        Row existing(c.table);
        existing.setText(c.nameField, "Vinyl");
        if (c.table == TableId::Categories) {
            existing.setNumber(0, 7);
        }
        ASSERT_TRUE(db->store().insert(existing).ok());
        prompter.messages.clear();
        std::unique_ptr<FormRules> rules = c.rules();
        FormSession form(*db, *rules, Request::Insert);
        Row record(c.table);
        ASSERT_TRUE(form.start(record));
        record.setText(c.nameField, "vinyl");
        EXPECT_EQ(form.save(record), FormSession::SaveResult::StayOpen);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, "Duplicate Key Error");
        EXPECT_EQ(prompter.messages[0].text,
                  "Adding this record creates a duplicate entry for the key:" + c.key);
        form.cancel();
        form.close();
        EXPECT_EQ(names(c.table, c.nameField), QStringList{"Vinyl"});
    }
}

TEST(NameHistoryTest, ClearedWhenTheFormFirstRunsThenKeepsTheLastSavedName) {
    NameHistory history;
    history.record("left over");
    history.formStarted();
    EXPECT_FALSE(history.has());
    history.record("Rock");
    history.formStarted(); // a later form keeps it
    EXPECT_TRUE(history.has());
    EXPECT_EQ(history.name(), "Rock");
}

} // namespace
