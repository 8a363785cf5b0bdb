// The search benchmark: the first page of the songs browse under a search, beside the same query
// in raw SQLite, and the search box. It works on a copy of the collection: opening a collection
// made before the search index builds the index in it.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"

#include "catalogue/list_engine.h"
#include "catalogue/songs_browse.h"
#include "data/filter_query_text.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kLines = 30;
constexpr int kRuns = 15;

class NoForms : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

double median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct SearchCase {
    const char* name;
    const char* field;
    QueryOperator op;
    QString value;
    // The same page as a hand-written query: the title key's order with the condition.
    const char* rawCondition;
};

} // namespace

int searchBench(const QString& originalPath, const QString& workDir, const QString& only) {
    // A working copy named by --work is made once and measured as it is on later runs: the
    // upgrade that gives an older collection its index takes minutes at a million songs.
    QTemporaryDir temp;
    const QString dirPath = workDir.isEmpty() ? temp.path() : workDir;
    QDir().mkpath(dirPath);
    if (QDir(dirPath).exists(QString::fromLatin1(kCollectionFileName))) {
        std::printf("search: measuring the working copy in %s as it is\n", qPrintable(dirPath));
    } else if (const QString problem = copyCollection(originalPath, dirPath); !problem.isEmpty()) {
        std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(problem));
        return 1;
    }
    const QString file = QDir(dirPath).filePath(kCollectionFileName);
    const double sizeBefore = static_cast<double>(QFileInfo(file).size());
    RecordingPrompter prompter;
    Database db(prompter, dirPath, QDir(dirPath).filePath("bench-profile.ini"));
    NoForms host;
    ListEngine engine(db, songsListDefinition(), host);
    QElapsedTimer opening;
    opening.start();
    if (!engine.open()) {
        std::fprintf(stderr, "tunarium-bench: cannot open the songs\n");
        return 1;
    }
    // A collection made before the index gets it here, after its dated backup.
    figure("search_open_with_upgrade", elapsedMs(opening) / 1000, "s");
    db.store().maintenance().releaseLog();
    const double sizeAfter = static_cast<double>(QFileInfo(file).size());
    figure("search_file_before", sizeBefore / 1e6, "MB");
    figure("search_file_after", sizeAfter / 1e6, "MB");
    figure("search_file_growth", 100 * (sizeAfter - sizeBefore) / sizeBefore, "%");
    engine.setLineCount(kLines);
    engine.setTab(1); // By Title
    engine.refresh();

    // An artist that exists: the first one in artist order with a letter.
    Row first;
    db.store().get(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist"),
                   {QStringLiteral("M")}, first);
    QVector<Row> page;
    db.store().read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist"),
                    KeyPosition{{QStringLiteral("M")}}, Direction::Forward, true, 1, page);
    const QString artist = page.isEmpty() ? QStringLiteral("Nobody") : page[0].text(0);

    const SearchCase cases[] = {
        {"search_contains_1pct", "TUN:Title", QueryOperator::Contains, QStringLiteral("love s"),
         "instr(s.\"TitleKey\", ?) <> 0"},
        {"search_contains_none", "TUN:Title", QueryOperator::Contains, QStringLiteral("no such title"),
         "instr(s.\"TitleKey\", ?) <> 0"},
        {"search_equal_artist", "TUN:Artist", QueryOperator::IsEqualTo, artist, "s.\"ArtistKey\" = ?"},
    };
    sqlite3* raw = nullptr;
    sqlite3_open_v2(QDir(dirPath).filePath(kCollectionFileName).toUtf8().constData(), &raw,
                    SQLITE_OPEN_READONLY, nullptr);
    {
        // The index's own share of the file (an upgrade adds other keys too): what it adds to the
        // file without it.
        sqlite3_stmt* size = nullptr;
        sqlite3_prepare_v2(raw, "SELECT IFNULL(SUM(pgsize), 0) FROM dbstat WHERE name LIKE 'TunariumSearch%'",
                           -1, &size, nullptr);
        if (size && sqlite3_step(size) == SQLITE_ROW) {
            const double bytes = sqlite3_column_double(size, 0);
            figure("search_index_size", bytes / 1e6, "MB");
            figure("search_index_growth", 100 * bytes / (sizeAfter - bytes), "%");
        }
        sqlite3_finalize(size);
    }
    if (only == u"saved") {
        sqlite3_close(raw);
        savedSearchFigures(db, engine);
        engine.close();
        return 0;
    }
    if (only == u"walk") {
        searchWalkFigures(db, engine, raw);
        sqlite3_close(raw);
        engine.close();
        return 0;
    }
    for (const SearchCase& c : cases) {
        const QString text =
            queryElementText(QString::fromLatin1(c.field), c.op, filterLiteral(c.value), false);
        const CompiledFilter filter = compileSongsSearch(text);
        if (!filter.ok()) {
            std::fprintf(stderr, "tunarium-bench: %s: %s\n", qPrintable(text),
                         qPrintable(filter.error.message()));
            return 1;
        }
        QVector<double> ours;
        int rows = 0;
        for (int i = 0; i < kRuns; ++i) {
            engine.setUserFilter({});
            engine.refresh();
            QElapsedTimer timer;
            timer.start();
            engine.setUserFilter(filter.condition);
            engine.refresh();
            ours << elapsedMs(timer);
            rows = engine.rowCount();
        }
        // The page as the list shows it: the songs with their category's name.
        const QByteArray rawSql =
            (QStringLiteral(
                 "SELECT s.*, c.\"Category\" FROM \"Tunarium\" s INDEXED BY \"TUN:SongsByTitle\" LEFT JOIN "
                 "\"Categories\" c ON c.\"CategoryID\" = s.\"CategoryID\" AND c.\"CategoryID\" <> 0 WHERE %1 "
                 "ORDER BY s.\"TitleKey\", s.\"ArtistKey\", s.\"_rec\" LIMIT %2")
                 .arg(QString::fromLatin1(c.rawCondition))
                 .arg(kLines))
                .toUtf8();
        const QByteArray value = foldKey(c.value).toUtf8();
        QVector<double> rawTimes;
        int rawRows = 0;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(raw, rawSql.constData(), -1, &stmt, nullptr);
            sqlite3_bind_text(stmt, 1, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
            rawRows = 0;
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                // The values the page holds are read, as the list reads them.
                for (int column = 0; column < sqlite3_column_count(stmt); ++column) {
                    sqlite3_column_text(stmt, column);
                }
                ++rawRows;
            }
            sqlite3_finalize(stmt);
            rawTimes << elapsedMs(timer);
        }
        const std::string name = c.name;
        figure((name + "_rows").c_str(), rows, "rows");
        figure((name + "_raw_rows").c_str(), rawRows, "rows");
        figure((name + "_first_page").c_str(), median(ours), "ms");
        figure((name + "_raw_first_page").c_str(), median(rawTimes), "ms");
        ratio(name.c_str(), median(ours), median(rawTimes));
    }
    searchWalkFigures(db, engine, raw);
    sqlite3_close(raw);
    searchBoxFigures(db, engine);
    savedSearchFigures(db, engine);
    engine.close();
    searchIndexWriteFigures(db);
    return 0;
}

} // namespace tunarium::bench
