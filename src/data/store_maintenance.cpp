// Checks, compacting and releasing the collection file.
#include "data/store_maintenance.h"

#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"

#include <QSet>

namespace tunarium {

namespace {

// Lines of a check's findings kept for the user.
constexpr int kProblemLines = 10;

} // namespace

SqliteMaintenance::SqliteMaintenance(Connection& connection) : m_connection(connection) {}

bool SqliteMaintenance::checkFile(FileCheck depth, QStringList* problems) {
    if (!m_connection.isOpen()) {
        if (problems) {
            *problems << QStringLiteral("The collection is not open.");
        }
        return false;
    }
    StoreError error;
    Statement check = m_connection.prepare(
        QStringLiteral("PRAGMA %1(%2)")
            .arg(depth == FileCheck::Full ? QStringLiteral("integrity_check") : QStringLiteral("quick_check"))
            .arg(kProblemLines),
        error);
    if (!check.isValid()) {
        if (problems) {
            *problems << error.driverMessage;
        }
        return false;
    }
    bool sound = true;
    Statement::Step step;
    while ((step = check.step()) == Statement::Step::Row) {
        const QString line = check.text(0);
        if (line != QLatin1String("ok")) {
            sound = false;
            if (problems) {
                *problems << line;
            }
        }
    }
    if (step != Statement::Step::Done) {
        sound = false;
        if (problems) {
            *problems << check.error().driverMessage;
        }
    }
    return sound;
}

StoreError SqliteMaintenance::compact() {
    if (m_connection.depth() > 0) {
        return StoreError::driver(SQLITE_BUSY, QStringLiteral("A transaction is open"));
    }
    if (StoreError e = m_connection.exec(QStringLiteral("VACUUM"))) {
        return e;
    }
    return releaseLog();
}

StoreError SqliteMaintenance::releaseLog() {
    return m_connection.checkpoint();
}

void SqliteMaintenance::setProgress(std::function<void()> tick) {
    m_connection.setProgress(std::move(tick));
}

} // namespace tunarium
