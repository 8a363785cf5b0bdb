// The workloads the crash harness kills: each runs the program's own operations over and over on
// the collection until the child is killed. Before each change it writes to the journal the song
// count the change will leave, and after its commit the count it left, so that the harness knows
// which counts a kill may leave behind: the last committed one, or the one being committed.
#include "crash_harness.h"

#include "albums/album_entries.h"
#include "data/database.h"
#include "playlists/playlist_entries.h"
#include "shell/collection_maintenance.h"

#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <unistd.h>

namespace tunarium::bench {

namespace {

// The journal, written with one write() a line and no buffering of ours: a killed child loses
// nothing it wrote.
class Journal {
public:
    explicit Journal(const QString& path) : m_file(path) {
        m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
    void note(const char* what, qint64 songs) {
        const QByteArray line = QByteArray(what) + ' ' + QByteArray::number(songs) + '\n';
        m_file.write(line);
    }

private:
    QFile m_file;
};

class Child {
public:
    Child(const QString& dir, const QString& journal, quint32 seed)
        : m_db(m_prompter, dir, dir + QStringLiteral("/crash-profile.ini")), m_journal(journal), m_rng(seed) {
    }

    bool open() {
        for (const TableDef& t : allTables()) {
            if (!m_db.openTable(t.id)) {
                return false;
            }
        }
        m_journal.note("committed", songs());
        return true;
    }

    qint64 songs() { return m_db.store().count(TableId::Tunarium); }
    QString lastMessage() const {
        return m_prompter.messages.isEmpty() ? QString()
                                             : m_prompter.messages.last().caption + QStringLiteral(": ") +
                                                   m_prompter.messages.last().text;
    }

    // Runs `change` twice: first inside a transaction that is rolled back, to learn the song count
    // it leaves; then for good, after writing that count down. False when it failed.
    template <class Change> bool journaled(Change change) {
        qint64 after = -1;
        {
            Transaction dry(m_db.store());
            if (!change()) {
                return false;
            }
            after = songs();
            dry.rollback();
        }
        m_journal.note("pending", after);
        if (!change()) {
            return false;
        }
        m_journal.note("committed", songs());
        return true;
    }

    // A record picked at random from `table`; false when the table is empty.
    bool pick(TableId table, Row& out) {
        QVector<Row> rows;
        const qint64 after = m_rng.bounded(qint64(1), std::max<qint64>(2, m_db.store().count(table) * 2));
        if (m_db.store().readInRecordOrder(table, after, 1, rows) || rows.isEmpty()) {
            rows.clear();
            if (m_db.store().readInRecordOrder(table, 0, 1, rows) || rows.isEmpty()) {
                return false;
            }
        }
        out = rows.first();
        return true;
    }

    // The song form's three changes, as its session makes them: an add with the next number, a
    // change through the update routine, a delete through the delete routine.
    bool songEdits() {
        const int what = static_cast<int>(m_rng.bounded(3));
        Row song;
        if (what == 0 || !pick(TableId::Tunarium, song)) {
            return journaled([this] {
                SongRecord s;
                if (m_db.store().nextNumber(TableId::Tunarium, s.id)) {
                    return false;
                }
                s.artist = QStringLiteral("Crash Artist %1").arg(m_rng.bounded(50));
                s.title = QStringLiteral("Crash Title %1").arg(s.id);
                return m_db.store().insert(s).ok();
            });
        }
        if (what == 1) {
            return journaled([this, song]() mutable {
                Row changed = song;
                const BeforeImage before = m_db.saveBeforeImage(changed);
                changed.setText(tableDef(TableId::Tunarium).fieldIndex(u"Title"),
                                QStringLiteral("Changed %1").arg(m_rng.bounded(100000)));
                return m_db.update(changed, false, before) == kRoutineDone;
            });
        }
        return journaled([this, song] { return m_db.remove(song) == kRoutineDone; });
    }

    // An album deleted with its songs; an album of twelve new songs made when none is left.
    bool albumDelete() {
        Row album;
        if (pick(TableId::Album, album)) {
            return journaled([this, album] { return m_db.remove(album) == kRoutineDone; });
        }
        return journaled([this] {
            Transaction tx(m_db.store());
            AlbumRecord a;
            if (m_db.store().nextNumber(TableId::Album, a.albumId)) {
                return false;
            }
            a.album = QStringLiteral("Crash Album %1").arg(a.albumId);
            a.artist = QStringLiteral("Crash Artist");
            if (m_db.store().insert(a)) {
                return false;
            }
            for (int track = 1; track <= 12; ++track) {
                SongRecord s;
                if (m_db.store().nextNumber(TableId::Tunarium, s.id)) {
                    return false;
                }
                s.albumId = a.albumId;
                s.album = a.album;
                s.artist = a.artist;
                s.trackNumber = track;
                s.title = QStringLiteral("Track %1").arg(track);
                if (m_db.store().insert(s)) {
                    return false;
                }
            }
            return tx.commit().ok();
        });
    }

    // Create album entries over the whole collection: the song count does not change.
    bool albumEntries() {
        m_journal.note("pending", songs());
        AlbumEntriesProcess process(m_db);
        const bool done = runToEnd(process) && !m_db.halted();
        m_journal.note("committed", songs());
        return done;
    }

    bool build() {
        m_journal.note("pending", songs());
        const bool done = !rebuildAllKeys(m_db);
        m_journal.note("committed", songs());
        return done;
    }

    bool pack() {
        m_journal.note("pending", songs());
        const bool done = !compactCollection(m_db.store());
        m_journal.note("committed", songs());
        return done;
    }

    // One entry of the harness's playlist moved up or down a place, or to the top or the bottom,
    // as the playlist window's move buttons move it: the song count does not change, and the
    // entries stay numbered 1 to n. A move to the end the entry is already at moves nothing.
    bool playlistMove() {
        PlaylistEntries entries(m_db, kCrashPlaylistId);
        qint64 last = 0;
        if (entries.lastSequence(last) || last < 2) {
            return false;
        }
        QVector<PlaylistEntryRecord> one;
        if (entries.read(m_rng.bounded(last), 1, one) || one.isEmpty()) {
            return false;
        }
        static constexpr EntryMove kMoves[] = {EntryMove::Top, EntryMove::Up, EntryMove::Down,
                                               EntryMove::Bottom};
        const qsizetype told = m_prompter.messages.size();
        PlaylistEntryRecord moved;
        entries.move(one.first(), kMoves[m_rng.bounded(4)], moved);
        return m_prompter.messages.size() == told;
    }

private:
    RecordingPrompter m_prompter;
    Database m_db;
    Journal m_journal;
    QRandomGenerator m_rng;
};

} // namespace

QStringList crashWorkloads() {
    return {QStringLiteral("bulk-import"),  QStringLiteral("line-import"),   QStringLiteral("song-edits"),
            QStringLiteral("album-delete"), QStringLiteral("album-entries"), QStringLiteral("build"),
            QStringLiteral("pack"),         QStringLiteral("playlist-move"), QStringLiteral("report-pdf"),
            QStringLiteral("restore"),      QStringLiteral("repair")};
}

int runCrashChild(const QString& dir, const QString& workload, const QString& journal, quint32 seed) {
    Child child(dir, journal, seed);
    if (!child.open()) {
        std::fprintf(stderr, "crash-child: cannot open the collection in %s\n", qPrintable(dir));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    int failures = 0;
    for (;;) {
        bool done = false;
        if (workload == QLatin1String("song-edits")) {
            done = child.songEdits();
        } else if (workload == QLatin1String("album-delete")) {
            done = child.albumDelete();
        } else if (workload == QLatin1String("album-entries")) {
            done = child.albumEntries();
        } else if (workload == QLatin1String("build")) {
            done = child.build();
        } else if (workload == QLatin1String("pack")) {
            done = child.pack();
        } else if (workload == QLatin1String("playlist-move")) {
            done = child.playlistMove();
        } else {
            std::fprintf(stderr, "crash-child: unknown workload %s\n", qPrintable(workload));
            return 2;
        }
        // A change the routines refuse (a restricted delete, say) is passed over; a workload that
        // keeps failing ends the child.
        failures = done ? 0 : failures + 1;
        if (failures > 50) {
            std::fprintf(stderr, "crash-child: %s keeps failing: %s\n", qPrintable(workload),
                         qPrintable(child.lastMessage()));
            return 1;
        }
    }
}

} // namespace tunarium::bench
