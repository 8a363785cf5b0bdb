// What a file offered as a collection is, found by reading it without writing a byte: a copy
// being restored, a backup just written, the collection a command is about to replace. A file is
// opened read-only and, unless a log of pages lies beside it, immutable: no lock is taken and no
// -wal or -shm is made beside it, so a copy on a read-only disc or folder reads as well as any.
#pragma once

#include <QString>

namespace tunarium {

enum class CollectionFileKind {
    Missing,       // no file of that name
    Empty,         // an empty file, or a database without tables that no program marked: it
                   // becomes a collection when the store opens it
    NotRegular,    // a folder, a device, a fifo
    Unreadable,    // the file cannot be read (permissions, the disk)
    NotDatabase,   // no SQLite file at all (noise, or a collection whose first page is lost)
    NotCollection, // another program's SQLite database
    Newer,         // a collection whose tables a newer version of the program laid out
    Damaged,       // a collection whose pages SQLite's quick check finds damaged
    Sound,
};

// Whether the pages are checked too (SQLite's quick check: reads the whole file).
enum class PageCheck { No, Quick };

struct CollectionFileState {
    CollectionFileKind kind = CollectionFileKind::Missing;
    QString path;
    // Newer: the first table of a newer structure, its structure and what this version reads.
    QString table;
    int structure = 0;
    int readsUpTo = 0;
    // Unreadable, Damaged: what the system or SQLite said.
    QString detail;

    bool sound() const { return kind == CollectionFileKind::Sound; }
    // One sentence that names the file: "… is not a Tunarium collection".
    QString describe() const;
};

CollectionFileState inspectCollectionFile(const QString& path, PageCheck pages);

// The words for a collection of a newer structure, the same from every command and window.
QString newerStructureText(const QString& path, const QString& table, int structure, int readsUpTo);

// Copies the collection file `from` (read as above) page by page into a new file `to`, which
// must not exist (or be empty, made by the caller to hold the name); the copy is synced before
// this returns. A failed copy leaves no file `to`.
// The message of a failure names what failed.
QString copyCollectionFile(const QString& from, const QString& to);

} // namespace tunarium
