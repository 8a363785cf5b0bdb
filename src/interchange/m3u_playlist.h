// Playlists as the players' plain files: extended M3U8 written from songs in order, and M3U8, M3U
// and PLS files read back into entries and imported as a new playlist.
//
// An M3U8 file is UTF-8: "#EXTM3U", then for each song "#EXTINF:seconds,Artist - Title" and the
// path of its file, relative to the playlist's folder or absolute. A song kept on a carrier has no
// file: it gets its "#EXTINF" line alone, which names its file number, so that players pass it by
// and a reader still sees where the song is.
#pragma once

#include "data/database.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace tunarium {

struct M3uOptions {
    // The paths relative to the folder of `playlistPath` (the file written); else absolute.
    bool relative = false;
    QString playlistPath;
};

// The file's text for `songs` in their order.
QByteArray m3u8Text(const QVector<SongRecord>& songs, const M3uOptions& options);

// Writes the file through the program's output file. Empty on success, else why it failed.
QString writeM3u8(const QString& path, const QVector<SongRecord>& songs, bool relative, const QString& collectionDir);

// One entry of a playlist file: the file it names (absolute, resolved against the playlist's
// folder; empty for a song without a file) and what it says of the song.
struct ListedEntry {
    int line = 0; // where it stands in the file (for PLS the entry's number)
    QString path;
    QString artist;
    QString title;
    qint64 seconds = -1;
};

struct ReadPlaylist {
    QVector<ListedEntry> entries;
    // Lines passed over, each named with its reason ("line 7: ...").
    QStringList skipped;
    // Why the file cannot be read as a playlist at all; empty when it can.
    QString refusal;
};

// The biggest playlist file read (a bigger one is refused unread).
inline constexpr qint64 kMaxPlaylistFileBytes = 64LL * 1024 * 1024;

// Reads the text of a playlist file: PLS when it begins with "[playlist]", else M3U. `folder` is
// the playlist's folder, against which relative paths are resolved. `utf8` says the file is
// M3U8: a line that is not UTF-8 is then skipped; in an .m3u it is read as Latin-1.
ReadPlaylist parsePlaylistText(const QByteArray& bytes, const QString& folder, bool utf8);
// Reads the file at `path` (its suffix saying whether it is M3U8).
ReadPlaylist readPlaylistFile(const QString& path);

struct PlaylistImport {
    qint64 playlistId = 0; // 0: no playlist was made
    QString description;
    int entries = 0;
    QStringList unmatched; // entries that named no song of the collection
    QStringList skipped;   // lines passed over
    QString refusal;       // the file was not taken at all
    bool failed = false;   // a write failed (the user was told); nothing was written
    QStringList summary() const;
};

// Imports the playlist file at `path` into a new playlist named after the file: each entry matched
// to a song by its file's path, then by artist and title. All of it is written in one transaction,
// or nothing; a file none of whose entries match makes no playlist.
PlaylistImport importPlaylistFile(Database& db, const QString& path);

} // namespace tunarium
