// The reading of a scan's files on a thread of its own: while the scan writes the songs of the
// files it has read, the next files of the folder are read ahead, so that the time TagLib takes
// and the time the collection takes are spent side by side rather than one after the other.
//
// Every file is read on that thread, the ones asked for ahead and the ones read on the spot alike:
// TagLib is never at work on two threads at once. What was read ahead and not taken is dropped.
#pragma once

#include "files/audio_tags.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tunarium {

class TagReader {
public:
    TagReader();
    ~TagReader(); // ends after the file being read
    TagReader(const TagReader&) = delete;
    TagReader& operator=(const TagReader&) = delete;

    // Asks for `path` to be read after the files already asked for.
    void ask(const QString& path);
    // The file read as readAudioFile reads it: the result of what was asked for when `path` was,
    // after dropping what was asked for before it; otherwise read now, after dropping everything
    // asked for. Waits for the reading.
    QString read(const QString& path, AudioTags& tags);
    // Drops what was asked for and not yet taken (the file being read is read to its end).
    void drop();

private:
    struct Job {
        QString path;
        quint64 id = 0;
        bool done = false;
        QString reason;
        AudioTags tags;
    };

    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // in the order asked; the worker reads the first not done
    quint64 m_lastId = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace tunarium
