// Temporary collection and configuration directories for tests.
#include "support/temp_collection.h"

#include <QDir>

namespace tunarium::test {

TempCollection::TempCollection() {
    QDir().mkpath(dir());
    QDir().mkpath(configDir());
    m_hadConfig = qEnvironmentVariableIsSet("TUNARIUM_CONFIG_DIR");
    m_oldConfig = qgetenv("TUNARIUM_CONFIG_DIR");
    qputenv("TUNARIUM_CONFIG_DIR", configDir().toUtf8());
}

TempCollection::~TempCollection() {
    if (m_hadConfig) {
        qputenv("TUNARIUM_CONFIG_DIR", m_oldConfig);
    } else {
        qunsetenv("TUNARIUM_CONFIG_DIR");
    }
}

} // namespace tunarium::test
