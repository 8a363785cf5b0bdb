// The saved-query file of a collection: the queries users kept in the query wizard, for every field
// list, in one JSON text file beside the collection.
#pragma once

#include "catalogue/query_text.h"

#include <QString>
#include <QVector>

namespace tunarium {

struct SavedQuery {
    QString list;        // the field list it was built on: "SONGS"
    QString description; // what the user called it; unique within its list, without regard to case
    Query query;

    bool operator==(const SavedQuery&) const = default;
};

struct SavedQueryFile {
    QVector<SavedQuery> queries; // every list's, in the order they were added
    // The file exists but could not be read in full; `queries` holds the entries that could.
    bool damaged = false;
};

// The file in `collectionDir` under the name start-up gave the wizard ("NTRQUERY").
QString savedQueryFilePath(const QString& collectionDir);

// Reads the file; a missing file is an empty list. Never fails: text that is not a saved-query
// file, or entries that are not well formed, leave `damaged` set.
SavedQueryFile readSavedQueries(const QString& path);

// Replaces the file at once (the old one stays whole until the new one is complete). False with
// the reason in `error` when it cannot be written.
bool writeSavedQueries(const QString& path, const QVector<SavedQuery>& queries, QString* error = nullptr);

// Index of the query of `list` called `description` (without regard to case); -1 when none.
int findSavedQuery(const QVector<SavedQuery>& queries, const QString& list, const QString& description);

} // namespace tunarium
