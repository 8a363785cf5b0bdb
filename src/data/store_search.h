// The songs' search index: a full-text index (SQLite's FTS5 with its trigram tokenizer) over the
// case-folded text of a song's artist, title, album and mix, kept in step by triggers in the same
// transactions as the songs, made again with the keys (rebuild, bulk load, upgrade). It narrows a
// "contains" search to the songs that hold every three-character piece of the word; the exact
// folded match then decides, so a search finds what the same search without the index finds.
#pragma once

#include "data/dictionary.h"
#include "data/store_walk.h"

#include <QStringList>

namespace tunarium {

// Increases whenever the index's definition changes: a collection with an index of an earlier
// definition (or none) has it made again, like an upgrade, when it is opened.
inline constexpr int kSearchIndexVersion = 1;

// Pieces of a word the index narrows by: at most this many, spread over the word.
inline constexpr int kSearchPiecesPerWord = 12;

namespace sql {

// Only the songs table has a search index.
bool hasSearchIndex(const TableDef& t);
// The row of `_structure` that holds the index's version.
QString searchIndexRow(const TableDef& t);
// The index's definitions as sqlite_master keeps them: the view of the indexed text, the index
// and its triggers. Empty for a table without an index.
QStringList createSearchIndexSql(const TableDef& t);
QStringList dropSearchIndexSql(const TableDef& t);
// Reads the whole table into the index.
QString rebuildSearchIndexSql(const TableDef& t);
// Reads the records that meet `condition` into the index, which must be empty (just made).
QString fillSearchIndexSql(const TableDef& t, const QString& condition);

} // namespace sql

// The three-character pieces of an already case-folded word, counted in characters (code points),
// at most kSearchPiecesPerWord of them spread over the word, the first and last included. A word
// of fewer than three characters has none.
QStringList searchPieces(const QString& foldedWord);

// The index's match text for pieces: every piece, quoted, all required. Empty for no pieces.
QString searchMatchText(const QStringList& pieces);

// The songs that hold every piece of `matchText` (searchMatchText): a condition on the songs
// table with the match text bound.
SqlCondition searchCandidates(const TableDef& t, const QString& matchText);

// The first `limit` of those songs at most: counting through it reads no more candidates than that.
SqlCondition searchCandidatesUpTo(const TableDef& t, const QString& matchText, qint64 limit);

// Whether a walk's condition holds searchCandidates: such a walk reads the few candidates and
// sorts them rather than walking its key's index past every record.
bool narrowsThroughSearchIndex(const TableDef& t, const QString& condition);

// Both conditions (either may be empty), their binds in order.
SqlCondition allOf(const SqlCondition& a, const SqlCondition& b);

} // namespace tunarium
