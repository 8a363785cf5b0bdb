// A saved search turned into an ordinary playlist ("Freeze"): the songs it finds now, in its order,
// become the entries of a new playlist named after it, all in one transaction. Later songs that
// match are not added: the playlist is the user's to edit from then on.
#pragma once

#include "data/database.h"
#include "data/records.h"

namespace tunarium {

struct FrozenPlaylist {
    qint64 playlistId = 0; // 0 when nothing was written
    QString description;
    qint64 entries = 0;
};

// The playlist's description: the search's name cut to the description's width, with " (2)",
// " (3)" ... when another playlist holds it already. The caller holds the playlist tables.
StoreError freeDescription(Store& store, const QString& name, QString& out);

// Writes the playlist. The caller holds the songs, the saved searches and the playlist tables;
// failures have been shown through the warnings.
FrozenPlaylist freezeSavedSearch(Database& db, const SavedSearchRecord& search);

} // namespace tunarium
