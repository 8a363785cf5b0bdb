// Session markers: while a copy of the program has the collection open, it keeps an empty file
// "tunarium.db.session-<pid>" beside it and holds a lock on it (flock). The kernel lets the lock
// go when the process ends however it ends, so a marker that nobody holds means that run ended
// without closing the collection; the held markers count the other copies. The process number
// in the name only keeps the names apart: a number that now belongs to another process says
// nothing.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium {

inline constexpr char kSessionMarkerPrefix[] = "tunarium.db.session-";

// This process's marker in one collection directory. The marker is made only by creating a new
// file, locked before it takes its name: a file or a symbolic link already under its name (left
// by an earlier process with the same number, or planted in a shared folder) is removed, never
// followed or truncated, and no other copy ever sees the marker unlocked.
class SessionMarker {
public:
    SessionMarker() = default;
    ~SessionMarker();
    SessionMarker(const SessionMarker&) = delete;
    SessionMarker& operator=(const SessionMarker&) = delete;

    // False when the marker cannot be made (the collection is still usable without it).
    bool create(const QString& collectionDir);
    // Removes the marker made by create() and lets its lock go.
    void remove();
    bool isCreated() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

// Markers in `collectionDir` that no running process holds, other than this one's.
QStringList staleSessionMarkers(const QString& collectionDir);

// How many other running copies of the program have the collection in `collectionDir` open: the
// markers, other than this process's, whose lock is held.
int otherCopiesOpen(const QString& collectionDir);

} // namespace tunarium
