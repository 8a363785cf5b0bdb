// A song's audio file as the song form offers it: what stands in the way of playing it, and the
// folder that holds it.
#pragma once

#include <QString>

namespace tunarium {

// Why the file at `path` cannot be played: none named, gone, a folder, unreadable; empty when it
// can be offered to the player.
QString songFileProblem(const QString& path);

// The message a play that failed shows: "Could not play PATH" and the reason on a line of its own.
QString songCouldNotPlayText(const QString& path, const QString& reason);

// The folder that holds the file, whether or not the file is still there; empty for no path.
QString songFileFolder(const QString& path);

} // namespace tunarium
