// Help file, table registration and the maintenance flag at start-up.
#include "shell/startup.h"

#include "data/settings.h"
#include "data/table_lease.h"

namespace tunarium {

namespace {

QString& helpFile() {
    static QString name;
    return name;
}

struct Registration {
    bool done = false;
    bool ok = false;
};

Registration& registration() {
    static Registration r;
    return r;
}

} // namespace

void setApplicationHelpFile(const QString& name) {
    helpFile() = name;
}

QString applicationHelpFile() {
    return helpFile();
}

QString pendingMaintenanceFile(const QString& profilePath) {
    return readBadFile(profilePath);
}

bool registerTables(Database& db) {
    Registration& r = registration();
    if (r.done) {
        return r.ok;
    }
    r.done = true;
    r.ok = true;
    for (const TableDef& t : allTables()) {
        if (!TableLease(db, {t.id})) {
            r.ok = false;
            break;
        }
    }
    return r.ok;
}

bool tablesRegistered() {
    return registration().done;
}

void resetTableRegistration() {
    registration() = {};
}

QString frameTitle(Database& db) {
    const QString& where = db.collectionDir();
    return QString::fromLatin1(kProgramName) +
           (isServerLocation(where) ? QStringLiteral(" - ") + serverLabel(where) : QString()) +
           (db.store().isReadOnly() ? QStringLiteral(" [Read Only]") : QString());
}

} // namespace tunarium
