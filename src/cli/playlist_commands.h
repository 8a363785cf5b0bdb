// The playlist command of tunarium-cli: generate a playlist from the collection, list the
// playlists, show one playlist's entries with their total time.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::cli {

// `args` are the command's own arguments: "generate --size N [...]", "list" or "show ID".
int runPlaylist(QString& dir, const QStringList& args);

} // namespace tunarium::cli
