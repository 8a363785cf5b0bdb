// Shared set-up of the list engine tests.
#include "list_fixture.h"

#include <QRandomGenerator>

#include <algorithm>

namespace tunarium::test {

namespace {

int fieldOf(TableId table, const char* name) {
    return tableDef(table).fieldIndex(QString::fromLatin1(name));
}

int keyOf(TableId table, const char* name) {
    return tableDef(table).keyIndex(QString::fromLatin1(name));
}

// Compares two records in a key the way its index orders them, independently of the store.
int compareInKey(const Row& a, const Row& b, int key) {
    const TableDef& t = a.table();
    for (int f : t.key(key).components) {
        int c = 0;
        if (t.field(f).isText()) {
            c = QString::compare(foldKey(a.text(f)), foldKey(b.text(f)));
        } else {
            c = a.number(f) < b.number(f) ? -1 : (a.number(f) > b.number(f) ? 1 : 0);
        }
        if (c != 0) {
            return c;
        }
    }
    return a.meta.rec < b.meta.rec ? -1 : (a.meta.rec > b.meta.rec ? 1 : 0);
}

bool blankInKey(const Row& r, int key) {
    for (int f : r.table().key(key).components) {
        if (r.table().field(f).isText() ? !r.text(f).isEmpty() : r.number(f) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

ListDefinition songsList() {
    const TableId songs = TableId::Tunarium;
    auto order = [&](const char* key, int range, ThumbOptions thumb) {
        return SortOrderDef{keyOf(songs, key), range, LocatorKind::Typed, thumb};
    };
    const ThumbOptions alpha{true, false, false, false};
    const ThumbOptions alphaNumeric{true, true, false, false};
    const ThumbOptions numeric{false, true, false, false};
    ListDefinition d;
    d.table = songs;
    d.joins = {
        {TableId::Categories, keyOf(TableId::Categories, "KeyCategoryID"), fieldOf(songs, "CategoryID")}};
    d.sortOrders = {order("SongsByTitle", 0, alpha),          order("SongsByAlbum", 0, alpha),
                    order("SongsByMedia", 1, alpha),          order("SongsByCategory", 1, alphaNumeric),
                    order("SongsByChartNumber", 0, numeric),  order("KeyBeatsPerMinute", 0, numeric),
                    order("SongsByUserDefinedKey", 0, alpha), order("SongsByArtist", 0, alphaNumeric)};
    d.columns = {recordColumn("Artist", fieldOf(songs, "Artist"), "@s50"),
                 recordColumn("Title", fieldOf(songs, "Title"), "@s50"),
                 lookupColumn("Category", 0, fieldOf(TableId::Categories, "Category"), "@s30"),
                 recordColumn("Time", fieldOf(songs, "Time"), "@t4b")};
    d.titleCaption = "Songs - ";
    d.titleSuffix = " entries";
    return d;
}

ListDefinition categoriesList() {
    ListDefinition d;
    d.table = TableId::Categories;
    d.sortOrders = {
        {keyOf(TableId::Categories, "KeyCategory"), 0, LocatorKind::Step, {true, false, false, false}}};
    d.columns = {recordColumn("Category", fieldOf(TableId::Categories, "Category"), "@s30")};
    d.titleCaption = "Categories";
    d.addText = "&Insert";
    d.selectable = true;
    return d;
}

void ListTest::SetUp() {
    db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(db->openTable(TableId::Tunarium));
    ASSERT_TRUE(db->openTable(TableId::Categories));
}

void ListTest::TearDown() {
    db.reset();
}

int ListTest::field(TableId table, const char* name) const {
    return fieldOf(table, name);
}

int ListTest::key(TableId table, const char* name) const {
    return keyOf(table, name);
}

void ListTest::addSongs(int count, quint32 seed) {
    static const QStringList artists = {"ABBA",   "abba",         "Beatles, The", "Björk", "bjork",
                                        "Cher",   "Depeche Mode", "Eagles",       "",      "Madonna",
                                        "Mozart", "Muse",         "Nirvana",      "Queen", "R.E.M.",
                                        "Zappa",  "ZZ Top",       "10cc",         "2Pac",  "Élan"};
    static const QStringList words = {"Love", "night", "Dance", "blue", "Star",
                                      "",     "Zero",  "ábc",   "Home", "Rain"};
    static const QStringList media = {"CD", "cd", "LP", "Cassette (Dolby B)", "", "EP"};
    QRandomGenerator rng(seed);
    auto pick = [&](const QStringList& l) { return l[rng.bounded(static_cast<int>(l.size()))]; };
    Transaction tx(store());
    ASSERT_TRUE(tx.ok());
    for (int i = 1; i <= count; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = pick(artists);
        s.title = (pick(words) + ' ' + pick(words)).trimmed();
        s.album = pick(words);
        s.media = pick(media);
        s.fileNumber = rng.bounded(3) == 0 ? QString() : QString::number(rng.bounded(40));
        s.categoryId = rng.bounded(6);
        s.chartNumber = rng.bounded(4) == 0 ? 0 : rng.bounded(256);
        s.beatsPerMinute = rng.bounded(200);
        s.userDefinedKeyField = rng.bounded(2) == 0 ? QString() : pick(words);
        s.side = rng.bounded(3);
        s.trackNumber = rng.bounded(20);
        ASSERT_TRUE(store().insert(s).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
}

SongRecord ListTest::addSong(const QString& artist, const QString& title, qint64 chart, const QString& media,
                             qint64 category) {
    qint64 id = 0;
    EXPECT_TRUE(store().nextNumber(TableId::Tunarium, id).ok());
    SongRecord s;
    s.id = id;
    s.artist = artist;
    s.title = title;
    s.chartNumber = chart;
    s.media = media;
    s.categoryId = category;
    EXPECT_TRUE(store().insert(s).ok());
    return s;
}

void ListTest::addCategory(qint64 id, const QString& name) {
    CategoryRecord c;
    c.categoryId = id;
    c.category = name;
    ASSERT_TRUE(store().insert(c).ok());
}

std::unique_ptr<ListEngine> ListTest::makeEngine(ListDefinition def, int lines, int tab, Request request) {
    auto engine = std::make_unique<ListEngine>(*db, std::move(def), host);
    EXPECT_TRUE(engine->open(request));
    engine->setLineCount(lines);
    engine->setTab(tab);
    return engine;
}

QVector<qint64> ListTest::expected(int sortOrder, const QVector<QVariant>& range,
                                   const std::function<bool(const Row&)>& keep) {
    const SortOrderDef order = songsList().sortOrders[sortOrder - 1];
    const TableDef& t = tableDef(TableId::Tunarium);
    QVector<Row> all;
    EXPECT_TRUE(store()
                    .read(TableId::Tunarium, key(TableId::Tunarium, "KeyID"), {}, Direction::Forward, true,
                          1000000, all)
                    .ok());
    QVector<Row> rows;
    for (const Row& r : all) {
        bool in = !(t.key(order.key).excludeBlank && blankInKey(r, order.key));
        for (int i = 0; in && i < order.rangeLength && i < range.size(); ++i) {
            const int f = t.key(order.key).components[i];
            in = t.field(f).isText() ? foldKey(r.text(f)) == foldKey(range[i].toString())
                                     : r.number(f) == range[i].toLongLong();
        }
        if (in && (!keep || keep(r))) {
            rows << r;
        }
    }
    std::sort(rows.begin(), rows.end(),
              [&](const Row& a, const Row& b) { return compareInKey(a, b, order.key) < 0; });
    QVector<qint64> recs;
    for (const Row& r : rows) {
        recs << r.meta.rec;
    }
    return recs;
}

QVector<qint64> ListTest::page(const ListEngine& engine) const {
    QVector<qint64> recs;
    for (int i = 0; i < engine.rowCount(); ++i) {
        recs << engine.row(i).record.meta.rec;
    }
    return recs;
}

qint64 ListTest::selectedRec(const ListEngine& engine) const {
    return engine.selectedIndex() < 0 ? 0 : engine.row(engine.selectedIndex()).record.meta.rec;
}

} // namespace tunarium::test
