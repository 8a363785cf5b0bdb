// A database of a test's own on the test server that scripts/test.sh starts (its connection string
// in TUNARIUM_TEST_SERVER), made when the test begins and dropped when it ends. Without the
// variable the server's tests are skipped, so that a plain ctest passes on a machine without one.
#pragma once

#include <QString>

#include <gtest/gtest.h>

namespace tunarium::test {

class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    // Whether TUNARIUM_TEST_SERVER names a server.
    static bool configured();
    // The test server's own address (its maintenance database).
    static QString serverAddress();
    // The database's address, and its name.
    const QString& location() const { return m_location; }
    const QString& name() const { return m_name; }
    // Why the database could not be made (empty when it was).
    const QString& error() const { return m_error; }

private:
    QString m_name;
    QString m_location;
    QString m_error;
};

// Runs one statement on the test server's maintenance database (CREATE DATABASE, a backend
// terminated); its error, or empty.
QString onServer(const QString& sql);

} // namespace tunarium::test

#define SKIP_WITHOUT_TEST_SERVER()                                                                                   \
    if (!::tunarium::test::ServerDatabase::configured()) {                                                           \
        GTEST_SKIP() << "TUNARIUM_TEST_SERVER is not set (scripts/test.sh starts a server): server tests skipped"; \
    }
