// Commands of tunarium-bench.
#pragma once

#include <QStringList>

#include <functional>

struct sqlite3;

namespace tunarium {
class Database;
class RecordingPrompter;
struct StoreError;
class ListEngine;
class PageQueue;
} // namespace tunarium

namespace tunarium::bench {

struct StepFigures;

int run(const QStringList& args);
// Exports the songs of `db` with all fields and a header into `file`; false when it failed
// (bench_exchange.cpp).
bool exportAll(Database& db, RecordingPrompter& prompter, const QString& file, StepFigures& figures,
               qint64& songs);
// A playlist made by the generator, then `entries` songs drawn over the collection added to it
// (bench_playlists.cpp).
StoreError makePlaylist(Database& db, qint64& playlistId, int entries);
// The server backend beside raw libpq and beside the collection file it was loaded from
// (bench_server.cpp): `parts` among copy, open, browse, search, playlists, save, import.
int serverBench(const QString& dir, const QString& server, const QStringList& parts);
// Deletes an album and renames a media format on a copy of the collection in `dir`.
int integrityBench(const QString& dir);
// The first page of the songs browse under three searches, beside raw SQLite, and the search box;
// on a working copy in `workDir` (reused when it holds one) or a temporary one. With `only`
// "walk", the search box's walks alone; with "saved", the saved searches beside the box alone.
int searchBench(const QString& dir, const QString& workDir, const QString& only = {});
// The search box's first pages beside today's "contains" scan (bench_search_box.cpp).
void searchBoxFigures(Database& db, ListEngine& engine);
// A saved search's first page beside the same text in the search box (bench_saved_search.cpp).
void savedSearchFigures(Database& db, ListEngine& box);
// The search box's terms in every tab as the window runs them: the first page or the end, and the
// longest stall of the event loop, beside one raw scan of the songs' text (bench_search_walk.cpp).
void searchWalkFigures(Database& db, ListEngine& engine, sqlite3* raw);
// A song added with the search index and without it, and the index's rebuild; on a working copy.
void searchIndexWriteFigures(Database& db);
// Writes every song of the collection in `dir` to a file, beside the SQLite shell doing the same.
int exportBench(const QString& dir);
// Imports an export of the collection in `dir` into an empty one, beside the SQLite shell's import.
int importBench(const QString& dir);
// The playlist generator, entries page, move and chart on a copy of the collection in `dir` with a
// tenth of its songs deleted, beside raw SQLite.
int playlistsBench(const QString& dir);
// A 1,000-entry playlist written as M3U8 on a copy of the collection in `dir`, beside raw SQLite
// and stdio, and read back into a new playlist.
int playlistFilesBench(const QString& dir);
// The album form on a copy of the collection: its songs page, a move to the top, re-assign, delete.
int albumsBench(const QString& dir);
// Reads a disc from a table-of-contents file with the CD reader, beside libdiscid alone.
int cdIdentifyBench();
// A 20-track add wizard's OK on a copy of the collection in `dir`, beside raw SQLite inserts of the
// same album and songs, then the disc identification.
int wizardBench(const QString& dir);
// The year-only conversion and the album link test on a copy of the collection in `dir`, stepped
// as their progress window steps them, beside raw SQLite.
int housekeepingBench(const QString& dir);
// Prints `songs` generated songs in the columns of Songs by Artist to PDF, straight and through a
// page queue, in `dir`; `openPreview`, when given, opens the preview on the queue and returns the
// time it took.
int reportEngineBench(const QString& dir, qint64 songs,
                      const std::function<double(const PageQueue&)>& openPreview = {});
// The crash harness on a copy of the collection in `dir`, the check beside SQLite's quick check
// and a backup beside the backup API alone.
int reliabilityBench(const QString& dir, int kills);

// Songs by Artist of the generated collection in `dir`: cut to 100 000 songs into a PDF file, and
// whole with "Selected" "ab" into a page queue; `openPreview` opens the preview on a queue of some
// 2 000 pages.
// The statistics' figures beside the same grouped counts in raw SQLite, and the statistics window
// opened (bench_stats.cpp).
int statsBench(const QString& dir);
// The duplicate search over the collection in `dir`, beside a GROUP BY in raw SQLite.
int duplicatesBench(const QString& dir);
// Makes `files` tagged audio files in `dir`, scans them into a new collection there beside TagLib
// reading them alone, and scans them again unchanged (bench_scan.cpp).
int scanBench(const QString& dir, int files);
// Label fills and binder pages (bench_labels.cpp).
int labelsBench(const QString& dir);
int reportsBench(const QString& dir, const std::function<double(const PageQueue&)>& openPreview = {});
// Opens the preview window on the queue and returns the time until its first page is painted.
double openPreviewMs(const PageQueue& queue);

} // namespace tunarium::bench
