// The playlist generator: a new playlist drawn at random from the collection. The user asks for a
// number of songs, an optional range of release dates, an optional category and one of five
// weightings; each draw takes a song and keeps it when it passes the choice. The first 1001 draws
// are over the whole collection; when they leave the playlist short (a choice few songs pass), the
// songs that pass are gathered in one walk and the draws go on among them, until the playlist holds
// the songs asked for or, when each song comes once, every one of them is in it. A playlist that
// comes out short says how many it holds and why; a choice no song passes writes no playlist. The
// playlist gets the next free number and the description "Play List #" and that number; its
// entries follow the order of the draws.
//
// Weightings are coin flips per draw, not weights per song: Recent Addition and Older Addition
// draw from the newer or older half of the songs (by order of addition) half of the time;
// Recent Release and Older Release pass over a song of the other kind half of the time.
#pragma once

#include "data/database.h"
#include "data/date_time.h"
#include "playlists/song_draw.h"

#include <QStringList>

namespace tunarium {

enum class Weighting { None, RecentAddition, RecentRelease, OlderAddition, OlderRelease };

// Captions of the weightings, in the order of the enum ("No Weighting" ...).
const QStringList& weightingCaptions();

inline constexpr int kMaxPlaylistSize = 99;
// Draws made at most: the draws go on while fewer than this many were made.
inline constexpr int kMaxDraws = 1001;
// The description of a generated playlist is this text and its number.
inline constexpr char kGeneratedDescription[] = "Play List #";
// A release date below this is a bare year; 0 is no date.
inline constexpr qint64 kFirstDayNumberDate = kBareYearLimit;
// Release dates at most this many days old are recent.
inline constexpr qint64 kRecentDays = 90;

struct GeneratorChoice {
    int size = 0;
    // Release dates from and to, as day numbers (a value below 3000 is taken as a year); 0: no
    // bound.
    qint64 from = 0;
    qint64 to = 0;
    QString category; // a category's name; blank for all
    Weighting weighting = Weighting::None;
    // Beyond the generator's own behaviour, both off unless the user asks.
    bool eachSongOnce = false;
    bool skipDoNotPlay = false;
    // Each song's musical key mixes with the one before (keysCompatible). A song without a key is
    // never taken then: its key cannot be judged, and the next song would have nothing to mix with.
    bool compatibleKeys = false;
    // Today as a day number; 0 for the real today.
    qint64 today = 0;
    // Only the songs that meet it are drawn (a saved search's songs); empty: every song. The draws
    // are then among those songs from the first.
    SqlCondition songs;
};

// What is wrong with a choice: the field to select again and the message to show.
enum class GeneratorField { None, Size, From, To, Category };
struct GeneratorProblem {
    GeneratorField field = GeneratorField::None;
    PromptMessage message;
    bool ok() const { return field == GeneratorField::None; }
};

struct GeneratedPlaylist {
    bool noSongs = false;  // the collection has no songs: nothing was written
    qint64 playlistId = 0; // 0 when no playlist was added
    QString description;
    int entries = 0; // entries written
    int draws = 0;
    // The songs that pass the choice, when they were gathered (the first draws left the playlist
    // short); -1 when they were not.
    qint64 qualifying = -1;
    // The playlist ended short because no song left mixes with the key of the last one.
    bool keysRanOut = false;
};

// Says a playlist came out with fewer songs than asked and why; empty when it did not.
QString shortPlaylistNote(const GeneratorChoice& choice, const GeneratedPlaylist& made);

// The window's texts read into a choice: the size a whole number, each date a year (1 to 2999) or
// a date through `datePicture`, blank for no bound. A text that does not read is a problem naming
// its field (the size "ab20", the date "31/31/1990").
struct GeneratorTexts {
    QString size;
    QString from;
    QString to;
};
GeneratorProblem readGeneratorTexts(const GeneratorTexts& texts, const QString& datePicture,
                                    GeneratorChoice& choice);

// The names of the categories in name order, for the generator's drop combo.
StoreError categoryNames(Store& store, QStringList& out);

// Whether a release date passes the bounds of a choice. A bare year is compared by year with the
// years of the bounds; a full date with the bounds themselves. A song without a date is below any
// starting date and passes an ending date.
bool releaseInRange(qint64 release, qint64 from, qint64 to);

class PlaylistGenerator {
public:
    // The generator reads the songs and categories and writes the playlist tables; the caller has
    // them open.
    PlaylistGenerator(Database& db, RandomSource& random);

    // The first thing wrong with `choice`: a size outside 0 to 99, an ending date before the
    // starting date, a category that is not in the categories table.
    GeneratorProblem check(const GeneratorChoice& choice);
    // Makes the playlist. Messages go through the database's prompter: no songs, a failed add of
    // the playlist (then nothing more is written) or of an entry (the next draw follows). The whole
    // playlist is written in one transaction.
    GeneratedPlaylist generate(const GeneratorChoice& choice);

private:
    StoreError findCategory(const QString& name, qint64& categoryId, bool& found);
    StoreError addPlaylist(PlaylistRecord& playlist, qint64 today);
    // The tests of a choice that do not change from draw to draw: dates, category, Do Not Play.
    bool qualifies(const GeneratorChoice& choice, const SongRecord& song, qint64 categoryId) const;
    // The release weighting's coin for a song that qualifies.
    bool weighted(const GeneratorChoice& choice, qint64 release, qint64 today);
    bool accepts(const GeneratorChoice& choice, const SongRecord& song, qint64 categoryId, qint64 today);
    StoreError gather(const GeneratorChoice& choice, qint64 categoryId, QVector<SongRecord>& out);
    void tell(const QString& text);
    void tellShort(const GeneratorChoice& choice, const GeneratedPlaylist& made);

    Database& m_db;
    RandomSource& m_random;
};

} // namespace tunarium
