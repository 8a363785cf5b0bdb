// The crash harness: a child process runs a write workload on a collection and is killed with
// SIGKILL at a seeded random moment; after each kill the collection is checked from outside
// (SQLite's integrity check, every count and key against its table, the song count against the
// states the workload committed, tunarium-cli check) and opened and used again. The repair
// workload is `tunarium-cli repair` on a damaged collection: after its kill the collection file
// must be there, and a repair run again to its end must give what an unbroken repair gives.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::bench {

struct CrashOptions {
    QString dir;         // the working directory (made when missing; its collections are scratch)
    int kills = 100;     // kills to make
    quint32 seed = 1;    // the random moments and the order of the workloads
    qint64 songs = 2000; // the full collection's songs when it is generated
    // A collection to copy as the full collection instead of generating one.
    QString source;
};

struct CrashFigures {
    int kills = 0;      // children killed while working
    int finished = 0;   // children that ended before their kill (not counted as kills)
    int damaged = 0;    // kills after which a check failed
    int recovered = 0;  // kills after which everything checked and the program worked on
    int rolledBack = 0; // of those, kills in the middle of a transaction that was undone
};

// Runs the harness; prints the seed first, a line per failed check, and the figures at the end.
// Returns the figures; `error` is set when the harness itself could not run.
CrashFigures runCrashHarness(const CrashOptions& options, QString& error);

// Prints the figures, one a line; true when nothing was damaged and every kill asked for was made.
bool reportCrashFigures(const CrashFigures& figures, int killsAsked);

// The child side: runs `workload` on the collection in `dir` until killed, writing to `journal`
// the song count before each commit and after it. Returns the exit status when it ends.
int runCrashChild(const QString& dir, const QString& workload, const QString& journal, quint32 seed);

// The playlist the playlist-move workload reorders, in a collection of its own.
inline constexpr qint64 kCrashPlaylistId = 1;

// Overwrites one leaf page in the middle of the songs table of the closed collection file at
// `file`, as a disk's damage would: the repair workload's collection. Empty when done, else what
// went wrong.
QString damageSongsPage(const QString& file);

// The names of the workloads, in the order the harness knows them.
QStringList crashWorkloads();

// What the checker of a collection found: empty when everything holds.
QStringList checkCollectionFromOutside(const QString& dir, qint64& songs);
// The song numbers of the entries of playlist `playlistId` in their order; false (with `problem`)
// when they cannot be read.
bool playlistFromOutside(const QString& dir, qint64 playlistId, QList<qint64>& songIds, QString& problem);
// What is wrong with the entries of playlist `playlistId` beside the songs it held before
// (`songIds`, in any order): they must be numbered 1 to n without a gap or a double, and name the
// same songs.
QStringList checkPlaylistFromOutside(const QString& dir, qint64 playlistId, QList<qint64> songIds);

} // namespace tunarium::bench
