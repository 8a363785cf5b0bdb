// The collection as DJ software's XML library file (rekordbox.xml): written from the songs that
// have a file and the playlists chosen, and read back.
//
// The file is DJ_PLAYLISTS (Version) with PRODUCT, COLLECTION (Entries) holding one TRACK per song
// with a file: TrackID (the song's number), Name, Artist, Composer, Album, Mix, Genre (the
// category), Kind, TotalTime (seconds), DiscNumber (the side), TrackNumber, Year, AverageBpm,
// Tonality (the Camelot key), Rating (0 to 255, 51 a star: the song's 0 to 10 halved), Comments
// (the notes) and Location (a file URI: file://localhost/ and the path percent-encoded); then
// PLAYLISTS with a root NODE (Type 0) holding a NODE (Type 1) per playlist, whose TRACKs name
// their track by Key (the TrackID).
//
// Reading it, each track is matched to a song by its file's path, then by artist and title (case
// and accents ignored); a track that matches none becomes a new song of media "Digital File".
// Each playlist becomes a new playlist of the songs of its tracks. A file that is not such XML is
// refused whole, and nothing of a file is written unless all of it is.
#pragma once

#include "data/database.h"

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tunarium {

// The Location of a track: "file://localhost" and the path, every byte of its UTF-8 but the
// unreserved characters and "/" percent-encoded.
QString fileUriOf(const QString& path);
// The path of a Location ("file://localhost/...", "file:///..."); empty when it is no file URI or
// its bytes are not UTF-8 (`problem` then says why).
QString pathOfFileUri(const QString& location, QString& problem);

// The Rating attribute for a song's rating (0 to 10), and back.
int rekordboxRating(qint64 rating);
qint64 ratingFromRekordbox(int value);

struct RekordboxExport {
    int tracks = 0;
    int playlists = 0;
    int leftOut = 0;  // playlist entries whose song has no file
    QString error;    // why nothing was written; empty on success
    QStringList summary() const;
};

// Writes the file at `path` through the program's output file: every song with a file, and the
// playlists `playlistIds` in the order given (a number that names no playlist refuses the export).
RekordboxExport exportRekordbox(Database& db, const QString& path, const QVector<qint64>& playlistIds);

struct RekordboxImport {
    int tracks = 0;       // tracks read
    int matched = 0;      // of them, matched to songs of the collection
    int added = 0;        // of them, added as new songs
    int playlists = 0;    // playlists made
    int entries = 0;      // their entries together
    QStringList skipped;  // tracks and playlist entries passed over, each with its reason
    QString refusal;      // the file was not taken: why; nothing was written
    bool failed = false;  // a write failed (the user was told); nothing was written
    QStringList summary() const;
};

RekordboxImport importRekordbox(Database& db, const QString& path);

} // namespace tunarium
