// The parser probe: an empty in-memory connection of each thread.
#include "data/store_probe.h"

#include <sqlite3.h>

#include <cstring>

namespace tunarium {

bool storeParsesCondition(const QString& condition) {
    // The parser holds a fixed number of pending symbols, and how many one level of nesting takes
    // depends on what surrounds it (a division three, a CASE eight), so no count of parentheses
    // tells it: it is asked.
    struct Probe {
        sqlite3* db = nullptr;
        Probe() { sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr); }
        ~Probe() { sqlite3_close(db); }
        Probe(const Probe&) = delete;
        Probe& operator=(const Probe&) = delete;
    };
    thread_local Probe probe;
    if (!probe.db) {
        return true;
    }
    const QByteArray sql =
        "SELECT 1 WHERE (((((((((1 = 1) AND (" + condition.toUtf8() + "))))))))) ORDER BY 1";
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(probe.db, sql.constData(), int(sql.size()), &statement, nullptr);
    sqlite3_finalize(statement);
    if (rc == SQLITE_OK) {
        return true;
    }
    const char* message = sqlite3_errmsg(probe.db);
    return !std::strstr(message, "parser stack overflow") && !std::strstr(message, "tree is too large");
}

} // namespace tunarium
