// The thread that reads a scan's files.
#include "files/tag_reader.h"

#include <algorithm>

namespace tunarium {

TagReader::TagReader() : m_thread([this] { work(); }) {}

TagReader::~TagReader() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
    m_thread.join();
}

void TagReader::ask(const QString& path) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(Job{path, ++m_lastId});
    }
    m_changed.notify_all();
}

void TagReader::drop() {
    const std::lock_guard lock(m_mutex);
    m_jobs.clear();
}

QString TagReader::read(const QString& path, AudioTags& tags) {
    std::unique_lock lock(m_mutex);
    auto found = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& j) { return j.path == path; });
    if (found == m_jobs.end()) {
        m_jobs.clear();
        m_jobs.push_back(Job{path, ++m_lastId});
        m_changed.notify_all();
    } else {
        m_jobs.erase(m_jobs.begin(), found); // asked for and passed over
    }
    // The job is now the first, and stays first: only this thread takes jobs away.
    m_changed.wait(lock, [&] { return m_jobs.front().done; });
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    tags = std::move(job.tags);
    return job.reason;
}

void TagReader::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto next = [&] {
            return std::find_if(m_jobs.begin(), m_jobs.end(), [](const Job& j) { return !j.done; });
        };
        m_changed.wait(lock, [&] { return m_stop || next() != m_jobs.end(); });
        if (m_stop) {
            return;
        }
        const quint64 id = next()->id;
        const QString path = next()->path;
        lock.unlock();
        AudioTags tags;
        QString reason = readAudioFile(path, tags);
        lock.lock();
        // Dropped meanwhile: the result goes with it.
        const auto job = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& j) { return j.id == id; });
        if (job != m_jobs.end()) {
            job->done = true;
            job->reason = std::move(reason);
            job->tags = std::move(tags);
            m_changed.notify_all();
        }
    }
}

} // namespace tunarium
