// The songs' search index: a full-text index (SQLite's FTS5 with its trigram tokenizer) over the
// case-folded text of a song's artist, title, album and mix, kept in step by triggers in the same
// transactions as the songs, made again with the keys (rebuild, bulk load, upgrade). Songs added
// or changed wait in a small table until kSearchPendingLimit of them go into the index together;
// a search reads them besides what the index offers. It narrows a
// "contains" search to the songs that hold every three-character piece of the word (or, for a
// word of one or two characters, any piece that begins with it); the exact folded match then
// decides, so a search finds what the same search without the index finds.
#pragma once

#include "data/dictionary.h"
#include "data/store_walk.h"

#include <QStringList>

namespace tunarium {

// Increases whenever the index's definition changes: a collection with an index of an earlier
// definition (or none) has it made again, like an upgrade, when it is opened.
inline constexpr int kSearchIndexVersion = 4;

// Songs added or changed that wait before going into the index together: a search reads each of
// them (at most one fewer than this) besides the index's candidates.
inline constexpr int kSearchPendingLimit = 64;

// Pieces of a word the index narrows by: at most this many, spread over the word.
inline constexpr int kSearchPiecesPerWord = 12;

namespace sql {

// Only the songs table has a search index.
bool hasSearchIndex(const TableDef& t);
// The row of `_structure` that holds the index's version.
QString searchIndexRow(const TableDef& t);
// The index's definitions as sqlite_master keeps them: the view of the indexed text, the index,
// the table of songs waiting for it, and its three triggers, last. Empty for a table without an
// index.
QStringList createSearchIndexSql(const TableDef& t);
QStringList dropSearchIndexSql(const TableDef& t);
// Reads the whole table into the index, which must be empty with no song waiting (just made).
QString rebuildSearchIndexSql(const TableDef& t);
// Reads the records that meet `condition` (on the indexed text's view: "_rowid", "words") into
// the index, which must not hold them yet.
QString fillSearchIndexSql(const TableDef& t, const QString& condition);
// The condition for fillSearchIndexSql that reads the songs waiting for the index.
QString waitingSongs(const TableDef& t);
// The index's settings, kept in the index itself: given once it is made and filled.
QStringList searchIndexSettingsSql(const TableDef& t);
// The index's check of itself against the text of every record (SQLite reports a difference as
// damage). The songs waiting for it must be put in first (fillSearchIndexSql with waitingSongs),
// in a transaction that is then rolled back.
QString searchIndexCheckSql(const TableDef& t);

} // namespace sql

// The three-character pieces of an already case-folded word, counted in characters (code points),
// at most kSearchPiecesPerWord of them spread over the word, the first and last included. A word
// of fewer than three characters has none.
QStringList searchPieces(const QString& foldedWord);

// The index's match text for pieces: every piece, quoted, all required. Empty for no pieces.
QString searchMatchText(const QStringList& pieces);
// The match text for any one of the pieces (those that begin with a short text). Empty for none.
QString searchMatchAnyText(const QStringList& pieces);
// Match texts all required; the empty ones add nothing.
QString searchMatchAll(const QStringList& matchTexts);
// Pieces of a short text listed at most, and the songs holding them: beyond, the text is common
// enough for a walk to find its songs as soon.
inline constexpr int kSearchShortPiecesLimit = 256;

// The songs that hold every piece of `matchText` (searchMatchText), and those waiting for the
// index: a condition on the songs table with the match text bound.
SqlCondition searchCandidates(const TableDef& t, const QString& matchText);

// Only the songs waiting for the index: the candidates of a text the index holds nowhere.
SqlCondition waitingCandidates(const TableDef& t);

// The same songs as a test on each song a walk meets: the walk keeps its key's order, and a song
// the index does not offer is passed over on its key's entry, without reading the song.
SqlCondition searchCandidatesAlongWalk(const TableDef& t, const QString& matchText);

// The records whose first component of `key` (a number, or the order value of a release date)
// lies from `low` to `high`, read through that key's index: a condition on the table with both
// bound, which like searchCandidates makes a walk read those records and sort them. For a range
// known to hold few records. A key that leaves blank records out reads a range with no blank
// (zero) first component only.
SqlCondition keyRangeCandidates(const TableDef& t, int key, qint64 low, qint64 high);
// The same range as a plain condition, for counting the records in it through the key.
SqlCondition keyRangeCondition(const TableDef& t, int key, qint64 low, qint64 high);

class Store;

// The songs' candidates of searchCandidates (`alongWalk`: of searchCandidatesAlongWalk) and the
// range of keyRangeCandidates, in the dialect of the store's implementation: the file's above, or
// the server's (its trigram index, which its planner weighs against a walk of the key).
SqlCondition searchCandidatesIn(const Store& store, const QString& matchText, bool alongWalk);
SqlCondition keyRangeCandidatesIn(const Store& store, int key, qint64 low, qint64 high);

// Whether a walk's condition holds searchCandidates (not searchCandidatesAlongWalk) or
// keyRangeCandidates: such a walk reads the few candidates and sorts them rather than walking its
// key's index past every record.
bool narrowsThroughSearchIndex(const TableDef& t, const QString& condition);

// The first candidates the search index offers for a search, in the order of their record numbers.
struct SearchSample {
    qint64 candidates = 0; // counted, up to the sample's limit
    qint64 lastRec = 0;    // the record number of the last one counted
    qint64 highestRec = 0; // the highest record number in the table
    qint64 waiting = 0;    // songs not yet in the index, each a candidate

    // The candidates in the whole table: the count when the sample stopped short of `limit`, else
    // the count spread over the table as densely as over the part the sample read; and the songs
    // waiting.
    qint64 estimated(qint64 limit) const;
};

// Both conditions (either may be empty), their binds in order.
SqlCondition allOf(const SqlCondition& a, const SqlCondition& b);

} // namespace tunarium
