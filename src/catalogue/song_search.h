// The search box of the songs lists: its typed syntax, read into the same filter the query wizard
// makes, and the search planned against the collection (narrowed by the search index when a word
// allows it) with the number of songs it finds when that is cheap to know.
//
// Syntax (names are case-insensitive; terms are separated by blanks; every term must hold):
//   word              the word anywhere in the artist, title, album or mix, case ignored
//   "two words"       the words together, as typed
//   artist:abba       in the artist only; also title:, album:, mix:, category:, media:
//   title:"dancing queen"
//   artist:=abba      the whole artist, case ignored (category:="" no category); any text field
//   bpm:120-128       beats per minute from 120 to 128; also bpm:120, bpm:>=120, bpm:<100
//   year:1975-1979    the release year; the same forms
//   rating:>=7        the rating; the same forms
//   chart:1-10        the chart position; the same forms
//   bpm:~124          within 6 % of 124 beats per minute, or of half or twice that tempo
//   key:8A            the musical key, in any spelling (key:Am, key:1m); key:~8A the keys that mix
//                     with it (the same number, and one number round on the same letter)
//   -word             not: no such word (also -artist:abba, -bpm:120-128)
// Quotes, %, _, * and any other character are searched as typed.
#pragma once

#include "data/store.h"

#include <QString>
#include <QStringList>

namespace tunarium {

// The longest text the box takes, and the most terms a search may have.
inline constexpr int kSongSearchWidth = 200;
inline constexpr int kSongSearchTerms = 16;

struct SongSearch {
    // The search's conditions as a filter text in the query wizard's words ("INSTRING(UPPER('abba'),
    // UPPER(TUN:Artist), 1, 1) <> 0"), every term in parentheses, joined by AND; blank for none.
    QString filterText;
    // Case-folded texts every song found holds in its artist, title, album or mix: what the search
    // index can narrow by (only those of three characters or more narrow).
    QStringList required;
    // The ranges of numbers every song found lies in (terms such as bpm:120-128, not negated): what
    // the keys can narrow by. `field` is the filter's field name; a release date's range is given
    // in its key's order values.
    struct Range {
        QString field;
        qint64 low = 0;
        qint64 high = 0;
    };
    QVector<Range> ranges;
    // A term and its "not" both hold (love -love): no song can be found.
    bool contradicts = false;
    // Why the text cannot be searched (unclosed quote, unknown field, a range that is no number).
    QString error;

    bool ok() const { return error.isEmpty(); }
    bool isEmpty() const { return filterText.isEmpty(); }
};

// Reads what was typed into the box. A term left unfinished (a field name with no value yet, a
// lone "-") adds nothing.
SongSearch parseSongSearch(const QString& text);

// The search as the list applies it.
struct SongSearchPlan {
    SqlCondition condition; // the search and the wizard's filter together; empty: all songs
    SqlCondition exact;     // the same without the index's narrowing: what decides on each song
    qint64 found = -1;      // songs found, -1 when not known (not counted yet)
    // The index offers few enough songs to count through it at once; others are counted a slice of
    // the collection at a time (SongSearchCount).
    bool narrowed = false;
    StoreError error; // a read of the index failed
};

// Candidates of the index up to which the list reads them and sorts them (and the search can count
// what it finds); beyond, matches are common enough that walking the list's order fills a page
// sooner than reading and sorting every candidate.
inline constexpr qint64 kSearchNarrowLimit = 3000;
// Candidates up to which a walk of the list's order tests each song against the set of them
// (made once) before reading it; beyond, making the set costs more than it saves, and the walk
// lets the exact match decide on every song. A set of 300,000 takes about 50 ms to make; a walk
// without one reads every song it passes, which for a word whose songs stand together far down
// the order (the artists named "The …" in the order of artists) is most of the collection.
inline constexpr qint64 kSearchWalkLimit = 300000;

// Plans `search` (which must be ok) with the query wizard's filter `wizardFilter`, both applying.
// It reads the search index only (its first kSearchNarrowLimit + 1 candidates), never songs.
SongSearchPlan planSongSearch(Store& store, const SongSearch& search, const SqlCondition& wizardFilter);

// Record numbers a count's first slice covers; later slices are sized to the time a slice is given
// from how long the slices before took, within these bounds.
inline constexpr qint64 kSearchCountFirstSlice = 2000;
inline constexpr qint64 kSearchCountMinSlice = 500;
inline constexpr qint64 kSearchCountMaxSlice = 250000;

// The songs a plan finds, counted after the list's first page is shown: a narrowed plan at once
// through the index; any other a slice of record numbers at a time, each slice a short statement
// sized to the time it is given, so that the window answers between slices and a count of a
// million songs costs the first page nothing. A count given up (a new search) leaves nothing behind.
class SongSearchCount {
public:
    SongSearchCount() = default;
    SongSearchCount(Store& store, const SongSearchPlan& plan);

    // Counts for about `budgetMs` (one slice at least). True while there is more to count.
    bool step(double budgetMs);
    bool done() const { return m_done; }
    qint64 found() const { return m_done && m_error.ok() ? m_found : -1; }
    const StoreError& error() const { return m_error; }
    // The longest slice so far, in ms (the benchmark's measure of how long the window waits).
    double longestSliceMs() const { return m_longestMs; }

private:
    Store* m_store = nullptr;
    SqlCondition m_condition;
    bool m_narrowed = false;
    bool m_begun = false;
    bool m_done = true;
    qint64 m_after = 0; // record numbers counted: up to here
    qint64 m_last = 0;
    qint64 m_slice = kSearchCountFirstSlice;
    qint64 m_found = 0;
    double m_longestMs = 0;
    StoreError m_error;
};

// Counts the songs the plan finds into its `found`, all at once (tests, the command line).
StoreError countSongSearch(Store& store, SongSearchPlan& plan);

// What the list's title adds: " (1,234 found)", nothing without a search or while the songs are
// being counted.
QString songSearchTitleSuffix(const SongSearch& search, const SongSearchPlan& plan);

// The syntax, for the box's tooltip.
QString songSearchSyntaxHelp();

} // namespace tunarium
