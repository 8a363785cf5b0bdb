// Session markers: while a copy of the program has the collection open, it keeps an empty file
// "tunarium.db.session-<pid>" beside it. A marker whose process is gone means that run ended
// without closing the collection; the markers of live processes count the other copies.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium {

inline constexpr char kSessionMarkerPrefix[] = "tunarium.db.session-";

// This process's marker in one collection directory. The marker is made only by creating a new
// file: a file or a symbolic link already under its name (left by an earlier process with the
// same number, or planted in a shared folder) is removed, never followed or truncated.
class SessionMarker {
public:
    SessionMarker() = default;
    ~SessionMarker();
    SessionMarker(const SessionMarker&) = delete;
    SessionMarker& operator=(const SessionMarker&) = delete;

    // False when the marker cannot be made (the collection is still usable without it).
    bool create(const QString& collectionDir);
    // Removes the marker made by create().
    void remove();
    bool isCreated() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }

private:
    QString m_path;
};

// Whether a process of this number runs.
bool processAlive(qint64 pid);

// Markers in `collectionDir` of processes that have ended, other than this one's.
QStringList staleSessionMarkers(const QString& collectionDir);

// How many other running copies of the program have the collection in `collectionDir` open.
int otherCopiesOpen(const QString& collectionDir);

} // namespace tunarium
