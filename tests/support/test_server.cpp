// A database of a test's own on the test server.
#include "support/test_server.h"

#include "data/store_pg_connection.h"

#include <QAtomicInteger>
#include <QRandomGenerator>

#include <unistd.h>

namespace tunarium::test {

bool ServerDatabase::configured() {
    return !qEnvironmentVariableIsEmpty("TUNARIUM_TEST_SERVER");
}

QString ServerDatabase::serverAddress() {
    return qEnvironmentVariable("TUNARIUM_TEST_SERVER");
}

QString onServer(const QString& sql) {
    PgConnection admin;
    if (StoreError e = admin.open(ServerDatabase::serverAddress())) {
        return e.describe();
    }
    const StoreError e = admin.exec(sql);
    return e ? e.describe() : QString();
}

ServerDatabase::ServerDatabase() {
    static QAtomicInteger<int> made = 0;
    m_name = QStringLiteral("tunarium_test_%1_%2_%3")
                 .arg(::getpid())
                 .arg(made.fetchAndAddRelaxed(1))
                 .arg(QRandomGenerator::global()->bounded(1000000));
    m_location = serverAddress() + QStringLiteral(" dbname=") + m_name;
    if (configured()) {
        m_error = onServer(QStringLiteral("CREATE DATABASE ") + m_name);
    } else {
        m_error = QStringLiteral("no test server");
    }
}

ServerDatabase::~ServerDatabase() {
    if (configured() && m_error.isEmpty()) {
        onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    }
}

} // namespace tunarium::test
