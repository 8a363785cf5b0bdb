// Sweeping what killed maintenance steps left behind.
#include "shell/step_leftovers.h"

#include "data/store_backups.h"

#include <QDir>
#include <QFile>

namespace tunarium {

namespace {

// The mark beside a compact's backup while that compact runs: the backup's name, a dot first and
// this after it.
const QString kCompactingMark = QStringLiteral(".compacting");

QString markOf(const QString& backup) {
    return u'.' + backup + kCompactingMark;
}

} // namespace

StoreError CompactBackup::make() {
    const QDir dir(m_store.directory());
    const QString stem = QStringLiteral("tunarium-") + QLatin1String(kBackupBeforePack) + u'-';
    if (StoreError e = m_store.makeBackup(QLatin1String(kBackupBeforePack))) {
        return e;
    }
    // The newest of its kind, by the time in its name, is the one just made.
    const QStringList made = dir.entryList({stem + QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    m_backup = made.isEmpty() ? QString() : made.last();
    // Backups of compacts that never finished: the collection is as each found it, and the one
    // just made holds it as it is now.
    for (const QString& mark : dir.entryList({u'.' + stem + u'*' + kCompactingMark}, QDir::Files | QDir::Hidden)) {
        const QString backup = mark.mid(1, mark.size() - 1 - kCompactingMark.size());
        if (backup != m_backup) {
            QFile::remove(dir.filePath(backup));
        }
        QFile::remove(dir.filePath(mark));
    }
    if (!m_backup.isEmpty()) {
        QFile mark(dir.filePath(markOf(m_backup)));
        if (mark.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_mark = mark.fileName();
        }
    }
    return {};
}

void CompactBackup::finish(bool compacted) {
    const QDir dir(m_store.directory());
    if (!compacted && !m_backup.isEmpty()) {
        QFile::remove(dir.filePath(m_backup));
    }
    if (!m_mark.isEmpty()) {
        QFile::remove(m_mark);
    }
    m_backup.clear();
    m_mark.clear();
}

} // namespace tunarium
