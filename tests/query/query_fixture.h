// A small songs collection and the songs field list, for running wizard queries against real data.
#pragma once

#include "catalogue/query_text.h"
#include "data/date_time.h"
#include "data/filter_expression.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium::test {

using Ids = QVector<qint64>;

inline const QString kDropTable = QStringLiteral("'; DROP TABLE \"Tunarium\"; --");
inline const QString kInjection = QStringLiteral("It's \"Love\" OR 1=1; --\\");

class QueryCollection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (TableId t : {TableId::Tunarium, TableId::Categories, TableId::Media, TableId::Album}) {
            ASSERT_TRUE(store.openTable(t).ok());
        }
        addCategory(1, "Rock");
        addCategory(2, "Électro");
        for (const char* m : {"CD", "Vinyl", "MP3"}) {
            MediaRecord media;
            media.media = m;
            ASSERT_TRUE(store.insert(media).ok());
        }
        SongRecord s = song(1, "Björk", "Hyperballad", "CD", 2);
        s.beatsPerMinute = 120;
        s.releaseDate = dayNumberFromYmd(1995, 11, 20);
        s.time = timeValueFromHundredths(321 * 100);
        s.notes = "A song about swans";
        s.endType = "Slow";
        add(s);
        s = song(2, "BJÖRK", "Army of Me", "cd", 2);
        s.mix = "Remix";
        s.skips = 1;
        s.beatsPerMinute = 95;
        s.releaseDate = 1995; // a bare year, as after the "Year Only" conversion
        s.endType = "Fast";
        add(s);
        s = song(3, "Abba", "Waterloo", "Vinyl", 1);
        s.live = 1;
        s.beatsPerMinute = 147;
        s.releaseDate = dayNumberFromYmd(1974, 4, 6);
        s.composer = "ABBA";
        add(s);
        s = song(4, "O'Brien", "100% Pure_Love", "MP3", 1);
        s.beatsPerMinute = 128;
        s.notes = kDropTable;
        add(s);
        s = song(5, "abba", "Dancing Queen", "CD", 0);
        s.doNotPlay = 1;
        add(s);
        s = song(6, "Zappa", kInjection, "Tape", 1);
        add(s);
        ASSERT_TRUE(fields.ok());
    }

    void addCategory(qint64 id, const char* name) {
        CategoryRecord c;
        c.categoryId = id;
        c.category = QString::fromUtf8(name);
        ASSERT_TRUE(store.insert(c).ok());
    }

    static SongRecord song(qint64 id, const char* artist, const QString& title, const char* media,
                           qint64 category) {
        SongRecord s;
        s.id = id;
        s.artist = QString::fromUtf8(artist);
        s.title = title;
        s.media = QString::fromUtf8(media);
        s.categoryId = category;
        return s;
    }
    static SongRecord song(qint64 id, const char* artist, const char* title, const char* media,
                           qint64 category) {
        return song(id, artist, QString::fromUtf8(title), media, category);
    }

    void add(SongRecord s) { ASSERT_TRUE(store.insert(s).ok()); }

    // The songs a filter text passes, in ID order.
    Ids run(const QString& text) {
        const CompiledFilter f = compileFilter(text, TableId::Tunarium);
        EXPECT_TRUE(f.ok()) << f.error.message().toStdString();
        const TableDef& t = tableDef(TableId::Tunarium);
        QVector<Row> rows;
        const StoreError e = store.read(TableId::Tunarium, t.keyIndex(u"KeyID"), {}, Direction::Forward, true,
                                        100, rows, f.condition);
        EXPECT_TRUE(e.ok()) << e.describe().toStdString();
        Ids ids;
        for (const Row& r : rows) {
            ids << r.number(t.fieldIndex(u"ID"));
        }
        return ids;
    }

    // The songs one element selects; the element must check.
    Ids runElements(const QVector<QueryElement>& elements) {
        const QueryCheck check = checkQuery(Query{false, {}, elements}, fields.list);
        EXPECT_TRUE(check.ok()) << check.problem.toStdString();
        return check.ok() ? run(check.text) : Ids{-1};
    }

    TempCollection dir;
    SqliteStore store;
    QueryFieldsLoad fields = loadQueryFields(songsQueryFieldsText(), "SONGS", TableId::Tunarium);
};

inline QueryElement element(const char* field, QueryOperator op, const QString& value = {},
                            QueryValueSource source = QueryValueSource::Constant, bool caseSensitive = false,
                            QueryJoin join = QueryJoin::And) {
    return {join, QString::fromUtf8(field), op, source, value, caseSensitive};
}

} // namespace tunarium::test
