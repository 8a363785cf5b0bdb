// The process-wide note of a long-held write lock.
#include "data/write_lock_note.h"

#include <QMutex>
#include <QStringList>

namespace tunarium {

namespace {

QMutex& noteMutex() {
    static QMutex mutex;
    return mutex;
}

// The reasons noted now, oldest first.
QStringList& reasons() {
    static QStringList list;
    return list;
}

} // namespace

WriteLockNote::WriteLockNote(QString reason) : m_reason(std::move(reason)) {
    QMutexLocker lock(&noteMutex());
    reasons().append(m_reason);
}

WriteLockNote::~WriteLockNote() {
    QMutexLocker lock(&noteMutex());
    reasons().removeOne(m_reason);
}

QString WriteLockNote::current() {
    QMutexLocker lock(&noteMutex());
    return reasons().isEmpty() ? QString() : reasons().first();
}

} // namespace tunarium
