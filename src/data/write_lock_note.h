// Why this program holds the collection's write lock for long. The store keeps writes short; the
// one piece of work that holds the lock for long, a bulk import, notes it here while it does, so
// that a write refused for the lock in another window of the same program can say why rather
// than only "File Is Locked". Another copy of the program cannot see the note.
#pragma once

#include <QString>

namespace tunarium {

class WriteLockNote {
public:
    // Notes, for as long as the object lives, that this program holds the write lock for `reason`
    // ("an import is running").
    explicit WriteLockNote(QString reason);
    ~WriteLockNote();
    WriteLockNote(const WriteLockNote&) = delete;
    WriteLockNote& operator=(const WriteLockNote&) = delete;

    // The reason of a note held now in this program; empty when there is none. Any thread.
    static QString current();

private:
    QString m_reason;
};

} // namespace tunarium
