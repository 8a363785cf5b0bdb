// Test fixture helpers: a temporary collection directory and configuration directory per test.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tunarium::test {

// A fresh collection directory and configuration directory for one test. While it lives,
// TUNARIUM_CONFIG_DIR points at its configuration directory so that no test touches the
// user's own files.
class TempCollection {
public:
    TempCollection();
    ~TempCollection();
    TempCollection(const TempCollection&) = delete;
    TempCollection& operator=(const TempCollection&) = delete;

    QString dir() const { return m_root.path() + "/collection"; }
    QString configDir() const { return m_root.path() + "/config"; }
    QString path(const QString& name) const { return dir() + "/" + name; }

private:
    QTemporaryDir m_root;
    QByteArray m_oldConfig;
    bool m_hadConfig = false;
};

} // namespace tunarium::test
