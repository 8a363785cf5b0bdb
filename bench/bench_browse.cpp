// The browse benchmark: the list engine, without a window, paging, locating, dragging the thumb,
// switching tabs and refreshing over the songs of a generated collection, each figure the median
// of many runs, beside a raw SQLite keyset read of the same page.
#include "bench_browse.h"
#include "data/schema_sql.h"

#include "bench_pg_reader.h"
#include "bench_raw_reader.h"
#include "bench_report.h"

#include "catalogue/list_engine.h"
#include "catalogue/songs_browse.h"
#include "data/database.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kLines = 30;
constexpr int kRuns = 101;

class NullHost : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

int fieldOf(TableId table, const char* name) {
    return tableDef(table).fieldIndex(QString::fromLatin1(name));
}

int keyOf(const char* name) {
    return tableDef(TableId::Tunarium).keyIndex(QString::fromLatin1(name));
}

// The eight orders of the songs browse, by tab (tab 0 shows the last sort order, by artist).
struct Order {
    const char* name;
    int tab;
    int sortOrder;
};
const Order kOrders[] = {
    {"artist", 0, kSongsByArtist},
    {"title", 1, kSongsByTitle},
    {"album", 2, kSongsByAlbum},
    {"media_range", 3, kSongsByMedia},
    {"category_range", 4, kSongsByCategory},
    {"chart", 5, kSongsByChart},
    {"bpm", 6, kSongsByBpm},
    {"udk", 7, kSongsByUdk},
};
constexpr int kOrderCount = static_cast<int>(std::size(kOrders));

ListDefinition songsDefinition() {
    return songsListDefinition();
}

double median(QVector<double> v) {
    if (v.isEmpty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F> double timed(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return elapsedMs(timer);
}

// Touches every cell of the page as a window painting it would.
void paint(const ListEngine& e) {
    qsizetype sink = 0;
    for (int r = 0; r < e.rowCount(); ++r) {
        for (int c = 0; c < e.columnCount(); ++c) {
            sink += e.cellText(r, c).size();
        }
    }
    (void)sink;
}

// The bound values of a full position of `record` in the key, as the store binds them.
QVector<QVariant> positionBinds(const Row& record, int key, const QVector<QVariant>& range) {
    const TableDef& t = tableDef(TableId::Tunarium);
    const KeyDef& k = t.key(key);
    QVector<QVariant> binds;
    for (int f : k.components) {
        if (t.field(f).isText()) {
            const QString text = record.text(f);
            binds << (k.caseInsensitive ? foldKey(text) : text);
        } else {
            binds << sql::keyNumber(t, f, record.number(f));
        }
    }
    if (sql::keyHasTieBreaker(t, key)) {
        binds << record.meta.rec;
    }
    for (const QVariant& r : range) {
        binds << (r.typeId() == QMetaType::QString ? QVariant(foldKey(r.toString())) : r);
    }
    return binds;
}

// The times of one operation, and on a server the round trips each made.
struct Samples {
    QVector<double> ms;
    QVector<double> trips;
};

class BrowseBench {
public:
    BrowseBench(const QString& location, const QString& profile, PageReader& raw, const QStringList& orders)
        : m_db(m_prompter, location, profile), m_raw(raw), m_orders(orders) {}

    int run() {
        if (!m_db.openTable(TableId::Tunarium) || !m_db.openTable(TableId::Categories)) {
            std::fprintf(stderr, "tunarium-bench: the collection cannot be opened\n");
            return 1;
        }
        const qint64 songs = m_db.store().count(TableId::Tunarium);
        figure("browse_songs", static_cast<double>(songs), "songs");
        if (songs < kLines * 4) {
            std::fprintf(stderr, "tunarium-bench: too few songs to page through\n");
            return 1;
        }
        m_media = busiestRangeValue(fieldOf(TableId::Tunarium, "Media"));
        m_category = busiestRangeValue(fieldOf(TableId::Tunarium, "CategoryID"));
        m_server = dynamic_cast<PgStore*>(&m_db.store()) != nullptr;
        for (const Order& o : kOrders) {
            if (m_orders.isEmpty() || m_orders.contains(QLatin1String(o.name))) {
                measure(o);
            }
        }
        m_db.closeTable(TableId::Categories);
        m_db.closeTable(TableId::Tunarium);
        return 0;
    }

private:
    // The value of the first song in the middle of the table: a range that holds songs.
    QVariant busiestRangeValue(int field) {
        QVector<Row> rows;
        const int byId = keyOf("KeyID");
        m_db.store().read(TableId::Tunarium, byId, {{m_db.store().count(TableId::Tunarium) / 2}},
                          Direction::Forward, true, 1, rows);
        return rows.isEmpty() ? QVariant() : rows.first().value(field);
    }

    std::unique_ptr<ListEngine> engineFor(const Order& o) {
        auto e = std::make_unique<ListEngine>(m_db, songsDefinition(), m_host);
        e->open();
        e->setLineCount(kLines);
        e->setRangeValue(kSongsByMedia, {m_media});
        e->setRangeValue(kSongsByCategory, {m_category});
        e->setTab(o.tab);
        return e;
    }

    template <class F> double sample(Samples& into, F&& f) {
        const qint64 before = roundTripsOf(m_db.store());
        const double ms = timed(std::forward<F>(f));
        into.ms << ms;
        into.trips << static_cast<double>(roundTripsOf(m_db.store()) - before);
        return ms;
    }

    void report(const Order& o, const char* op, const Samples& samples, double raw) {
        const double m = median(samples.ms);
        const QByteArray name = QByteArray("browse_") + o.name + "_" + op;
        figure(name.constData(), m, "ms");
        ratio(name.constData(), m, raw);
        if (m_server) {
            double trips = 0;
            for (double t : samples.trips) {
                trips += t;
            }
            figure((name + "_trips").constData(), samples.trips.isEmpty() ? 0 : trips / samples.trips.size(),
                   "trips");
        }
    }

    // The raw read of a page from a record in the middle of the order: the songs alone, and the
    // same page as the list shows it, with each song's category name.
    double rawPageRead(ListEngine& e, const Order& o, bool withCategory) {
        const int key = e.definition().sortOrders[o.sortOrder - 1].key;
        const int rangeLength = e.definition().sortOrders[o.sortOrder - 1].rangeLength;
        const int prefix = static_cast<int>(tableDef(TableId::Tunarium).key(key).components.size());
        const bool tie = sql::keyHasTieBreaker(tableDef(TableId::Tunarium), key);
        QString sql = e.cursor().readSql(prefix, tie, Direction::Forward, false);
        if (withCategory) {
            sql = QStringLiteral(
                      "SELECT page.*, (SELECT \"Category\" FROM \"Categories\" WHERE \"CategoryID\" = "
                      "page.\"CategoryID\") FROM (") +
                  sql + QStringLiteral(") AS page");
        }
        if (!m_raw.prepare(sql)) {
            return 0;
        }
        const QVector<QVariant> range = rangeLength > 0 ? e.rangeValue(o.sortOrder) : QVector<QVariant>{};
        QVector<double> samples;
        QRandomGenerator rng(7);
        for (int i = 0; i < kRuns; ++i) {
            e.dragThumb(2 + static_cast<int>(rng.bounded(97)));
            const Row record = e.row(0).record;
            samples << timed([&] { m_raw.read(positionBinds(record, key, range)); });
        }
        return median(samples);
    }

    void measure(const Order& o) {
        Samples first;
        for (int i = 0; i < 21; ++i) {
            auto e = engineFor(o);
            sample(first, [&] {
                e->refresh();
                paint(*e);
            });
        }
        auto e = engineFor(o);
        e->refresh();
        const double songsOnly = rawPageRead(*e, o, false);
        const double raw = rawPageRead(*e, o, true);
        const QByteArray prefix = QByteArray("browse_") + o.name;
        figure((prefix + "_raw_songs_read").constData(), songsOnly, "ms");
        figure((prefix + "_raw_page_read").constData(), raw, "ms");
        report(o, "first_page", first, raw);

        QRandomGenerator rng(11);
        Samples oneDown, pageDown, pageUp, top, bottom, locator, thumb, focus;
        QVector<QString> leading;
        const int leadingField = e->cursor().leadingField();
        for (int i = 0; i < kRuns; ++i) {
            const int at = 5 + static_cast<int>(rng.bounded(90));
            sample(thumb, [&] {
                e->dragThumb(at);
                paint(*e);
            });
            leading << e->record().value(leadingField).toString();
            e->selectRow(e->rowCount() - 1);
            sample(oneDown, [&] {
                e->scroll(ScrollAction::OneDown);
                paint(*e);
            });
            sample(pageDown, [&] {
                e->scroll(ScrollAction::PageDown);
                paint(*e);
            });
            sample(pageUp, [&] {
                e->scroll(ScrollAction::PageUp);
                paint(*e);
            });
            sample(focus, [&] {
                e->focusGained();
                paint(*e);
            });
            sample(top, [&] {
                e->scroll(ScrollAction::Top);
                paint(*e);
            });
            sample(bottom, [&] {
                e->scroll(ScrollAction::Bottom);
                paint(*e);
            });
        }
        for (const QString& value : leading) {
            e->scroll(ScrollAction::Top); // clears the locator
            for (const QChar c : value.left(5)) {
                sample(locator, [&] {
                    e->pressKey(c == u' ' ? ListKey::Space : ListKey::Character, c);
                    paint(*e);
                });
            }
        }
        report(o, "one_down", oneDown, raw);
        report(o, "page_down", pageDown, raw);
        report(o, "page_up", pageUp, raw);
        report(o, "top", top, raw);
        report(o, "bottom", bottom, raw);
        report(o, "locator_key", locator, raw);
        report(o, "thumb_drag", thumb, raw);
        report(o, "refresh_on_focus", focus, raw);
        measureTabSwitch(o, raw);
    }

    // Switching to this order's tab from the previous one, keeping the current record.
    void measureTabSwitch(const Order& o, double raw) {
        const Order& from = kOrders[(o.tab + kOrderCount - 1) % kOrderCount];
        auto e = engineFor(from);
        e->refresh();
        QRandomGenerator rng(13);
        Samples samples;
        Samples preparing;
        // The first switch also prepares the order's statements; it is not counted.
        for (int i = 0; i <= kRuns; ++i) {
            e->setTab(from.tab);
            e->refresh();
            e->dragThumb(5 + static_cast<int>(rng.bounded(90)));
            e->setTab(o.tab);
            sample(i > 0 ? samples : preparing, [&] {
                e->refresh();
                paint(*e);
            });
        }
        report(o, "tab_switch", samples, raw);
    }

    RecordingPrompter m_prompter;
    Database m_db;
    PageReader& m_raw;
    QStringList m_orders;
    bool m_server = false;
    NullHost m_host;
    QVariant m_media;
    QVariant m_category;
};

} // namespace

int browseBench(const QString& dir) {
    if (!QDir(dir).exists(QString::fromLatin1(kCollectionFileName))) {
        std::fprintf(stderr, "tunarium-bench: no collection in %s\n", qPrintable(dir));
        return 1;
    }
    QTemporaryDir config;
    RawReader raw(dir, kLines);
    // TUNARIUM_BENCH_ORDER names one order to measure alone (for profiling).
    const QString only = qEnvironmentVariable("TUNARIUM_BENCH_ORDER");
    BrowseBench bench(dir, config.filePath(QStringLiteral("profile.ini")), raw,
                      only.isEmpty() ? QStringList() : QStringList{only});
    return bench.run();
}

int browseBenchOn(const QString& location, PageReader& raw, const QStringList& orders) {
    QTemporaryDir config;
    BrowseBench bench(location, config.filePath(QStringLiteral("profile.ini")), raw, orders);
    return bench.run();
}

} // namespace tunarium::bench
