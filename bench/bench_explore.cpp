// The explorer benchmark: every orderable column of the songs explorer, both directions, on a
// working copy of a collection: the first page after a header click, a page down, the bottom and a
// locator key, beside a raw SQLite keyset read over the same index; and renaming the busiest
// category with and without the category order's key.
#include "bench_explore.h"
#include "data/store_sqlite.h"

#include "bench_copy.h"
#include "bench_raw_reader.h"
#include "bench_report.h"

#include "catalogue/explorer_views.h"
#include "catalogue/list_engine.h"
#include "data/database.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kLines = 30;
constexpr int kRuns = 21;

class NullHost : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

double median(QVector<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

template <class F> double timed(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return elapsedMs(timer);
}

// The bound values of the full position of `record` in `key`, as the store binds them.
QVector<QVariant> positionBinds(const Row& record, int key) {
    const TableDef& t = record.table();
    QVector<QVariant> binds;
    for (int f : t.key(key).components) {
        binds << (t.field(f).isText() ? QVariant(foldKey(record.text(f)))
                                      : QVariant(sql::keyNumber(t, f, record.number(f))));
    }
    if (sql::keyHasTieBreaker(t, key)) {
        binds << record.meta.rec;
    }
    return binds;
}

// Brings the working copy to the program's structure (its new keys built) and says how long it took.
bool prepare(const QString& dir) {
    SqliteStore store;
    if (StoreError e = store.open(dir)) {
        std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(e.describe()));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    for (TableId t : {TableId::Tunarium, TableId::Categories, TableId::Album}) {
        StoreError e = store.openTable(t);
        if (e.code == code::kRebuildKeys) {
            e = store.rebuildKeys(t);
            e = e ? e : store.openTable(t);
        }
        if (e) {
            std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(e.describe()));
            return false;
        }
    }
    figure("explore_prepare_copy", elapsedMs(timer), "ms");
    return true;
}

class ExploreBench {
public:
    ExploreBench(const QString& dir, const QString& profile)
        : m_db(m_prompter, dir, profile), m_raw(dir, kLines) {}

    int run() {
        if (!m_db.openTable(TableId::Tunarium) || !m_db.openTable(TableId::Categories)) {
            std::fprintf(stderr, "tunarium-bench: the collection cannot be opened\n");
            return 1;
        }
        figure("explore_songs", static_cast<double>(m_db.store().count(TableId::Tunarium)), "songs");
        const QString only = qEnvironmentVariable("TUNARIUM_BENCH_COLUMN");
        for (int field = 0; field < m_def.fields.size(); ++field) {
            const QString name = columnName(field);
            if (only.isEmpty() || only == name) {
                measure(field, false);
                measure(field, true);
            }
        }
        renameCategory();
        return 0;
    }

private:
    QString columnName(int field) const { return m_def.fields[field].name.mid(4).toLower(); }

    std::unique_ptr<ListEngine> engine(int field, bool descending) {
        auto e = std::make_unique<ListEngine>(m_db, m_def.list, m_host);
        e->open();
        e->setLineCount(kLines);
        e->orderBy(m_def.fields[field].sortOrder, descending);
        return e;
    }

    // A raw keyset read of a page from a record in the middle of the order, over the same index,
    // with each song's category name as the list shows it.
    double rawRead(ListEngine& e, int key, bool descending) {
        const TableDef& t = tableDef(TableId::Tunarium);
        const int prefix = static_cast<int>(t.key(key).components.size());
        QString sql = m_db.store().walkText(TableId::Tunarium, key, prefix, sql::keyHasTieBreaker(t, key),
                                            descending ? Direction::Backward : Direction::Forward, false);
        sql = QStringLiteral("SELECT page.*, (SELECT \"Category\" FROM \"Categories\" WHERE \"CategoryID\" = "
                             "page.\"CategoryID\") FROM (") +
              sql + QStringLiteral(") AS page");
        if (!m_raw.prepare(sql)) {
            return 0;
        }
        e.scroll(ScrollAction::Top);
        for (int i = 0; i < 200; ++i) {
            e.scroll(ScrollAction::PageDown); // a little way in
        }
        const Row record = e.row(0).record;
        QVector<double> samples;
        for (int i = 0; i < kRuns * 5; ++i) {
            samples << timed([&] { m_raw.read(positionBinds(record, key)); });
        }
        return median(samples);
    }

    void report(const QByteArray& name, const QVector<double>& samples, double raw) {
        figure(name.constData(), median(samples), "ms");
        ratio(name.constData(), median(samples), raw);
    }

    void measure(int field, bool descending) {
        const QByteArray prefix = "explore_" + columnName(field).toUtf8() + (descending ? "_desc" : "_asc");
        QVector<double> first;
        for (int i = 0; i < kRuns; ++i) {
            auto e = engine(field, descending);
            first << timed([&] { e->refresh(); });
        }
        auto e = engine(field, descending);
        e->refresh();
        const int key = m_def.list.sortOrders[m_def.fields[field].sortOrder - 1].key;
        const double raw = rawRead(*e, key, descending);
        figure((prefix + "_raw_page_read").constData(), raw, "ms");
        QVector<double> pageDown, bottom, locator;
        QVector<QString> typed;
        QRandomGenerator rng(5);
        for (int i = 0; i < kRuns; ++i) {
            for (int skip = static_cast<int>(rng.bounded(50)); skip > 0; --skip) {
                e->scroll(ScrollAction::PageDown);
            }
            typed << e->cellText(e->selectedIndex(), field).trimmed();
            pageDown << timed([&] { e->scroll(ScrollAction::PageDown); });
            bottom << timed([&] { e->scroll(ScrollAction::Bottom); });
            e->scroll(ScrollAction::Top);
        }
        for (const QString& text : typed) {
            e->scroll(ScrollAction::Top); // clears the locator
            for (const QChar c : text.left(4)) {
                locator << timed([&] { e->pressKey(c == u' ' ? ListKey::Space : ListKey::Character, c); });
            }
        }
        report(prefix + "_first_page", first, raw);
        report(prefix + "_page_down", pageDown, raw);
        report(prefix + "_bottom", bottom, raw);
        report(prefix + "_locator", locator, raw);
        figure(("explore_" + columnName(field).toUtf8() + (descending ? "_desc" : "_asc")).constData(),
               std::max({median(first), median(pageDown), median(bottom), median(locator)}), "ms");
        ratio(("explore_" + columnName(field).toUtf8()).constData(),
              std::max({median(first), median(pageDown), median(bottom), median(locator)}), raw);
    }

    // The category with the most songs (the one of the song in the middle of the category order).
    CategoryRecord busiestCategory() {
        qint64 best = 0;
        qint64 bestCount = 0;
        // Sampling a thousand songs finds the busiest category well enough.
        QHash<qint64, int> seen;
        qint64 first = 0;
        qint64 last = 0;
        m_db.store().recordRange(TableId::Tunarium, first, last);
        QRandomGenerator rng(3);
        for (int i = 0; i < 1000 && last > 0; ++i) {
            Row song;
            if (m_db.store()
                    .fetchAtOrAfter(TableId::Tunarium, first + rng.bounded(last - first + 1), song)
                    .ok()) {
                const qint64 id = song.number(tun::kCategoryId);
                if (id != 0 && ++seen[id] > bestCount) {
                    best = id;
                    bestCount = seen[id];
                }
            }
        }
        CategoryRecord c;
        m_db.store().get(cat::kKeyCategoryId, {best}, c);
        return c;
    }

    double renameMedian(CategoryRecord& c) {
        const QString original = c.category;
        QVector<double> samples;
        for (int i = 0; i < kRuns; ++i) {
            c.category =
                (i % 2 == 0 ? QStringLiteral("Zz Renamed ") : QStringLiteral("Aa Renamed ")) + original;
            c.category = c.category.left(30);
            samples << timed([&] { m_db.store().update(c); });
        }
        c.category = original;
        m_db.store().update(c);
        return median(samples);
    }

    void renameCategory() {
        CategoryRecord c = busiestCategory();
        if (c.categoryId == 0) {
            return;
        }
        const double with = renameMedian(c);
        // The order after a rename: the renamed category's songs come last.
        c.category = QStringLiteral("Zzzz Last");
        m_db.store().update(c);
        auto e = engine(5, false);
        e->refresh();
        e->scroll(ScrollAction::Bottom);
        figure("explore_category_rename_order_ok",
               e->rowCount() > 0 && e->row(e->rowCount() - 1).record.number(tun::kCategoryId) == c.categoryId
                   ? 1
                   : 0,
               "ok");
        e.reset();
        c.category = QStringLiteral("Renamed back");
        m_db.store().update(c);
        m_db.store().exec(QStringLiteral("DROP INDEX \"CAT:KeyOrderName\""));
        const double without = renameMedian(c);
        figure("explore_category_rename", with, "ms");
        figure("explore_category_rename_without_order_key", without, "ms");
        ratio("explore_category_rename", with, without);
        m_db.store().rebuildKeys(TableId::Categories);
    }

    RecordingPrompter m_prompter;
    Database m_db;
    RawReader m_raw;
    NullHost m_host;
    ExplorerDefinition m_def = xploreSongsDefinition();
};

} // namespace

int exploreBench(const QString& dir, const QString& workDir) {
    QTemporaryDir temp;
    const QString work = workDir.isEmpty() ? temp.path() : workDir;
    QDir().mkpath(work);
    if (!QDir(work).exists(QString::fromLatin1(kCollectionFileName))) {
        QElapsedTimer timer;
        timer.start();
        if (const QString problem = copyCollection(dir, work); !problem.isEmpty()) {
            std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(problem));
            return 1;
        }
        figure("explore_copy", elapsedMs(timer), "ms");
    }
    if (!prepare(work)) {
        return 1;
    }
    QTemporaryDir config;
    ExploreBench bench(work, config.filePath(QStringLiteral("profile.ini")));
    return bench.run();
}

} // namespace tunarium::bench
