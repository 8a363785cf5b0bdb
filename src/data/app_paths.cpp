// Where the program's files live.
#include "data/app_paths.h"

#include "data/store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tunarium {

namespace {

QString inDir(const QString& dir, const char* name) {
    return QDir(dir).filePath(QString::fromLatin1(name));
}

} // namespace

QString configDir() {
    const QString fromEnv = qEnvironmentVariable("TUNARIUM_CONFIG_DIR");
    if (!fromEnv.isEmpty()) {
        return QDir::cleanPath(fromEnv);
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString settingsFilePath() {
    return inDir(configDir(), kSettingsFileName);
}

QString defaultProfilePath() {
    return inDir(configDir(), kDefaultProfileFileName);
}

QString defaultCollectionDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString positionFilePath(const QString& collectionDir) {
    // A collection on a server has no folder: its stations keep their window positions among
    // their own settings (never in a folder named after the server's address).
    if (isServerLocation(collectionDir)) {
        return inDir(configDir(), kPositionFileName);
    }
    return inDir(collectionDir, kPositionFileName);
}

QString eventLogPath(const QString& collectionDir) {
    return inDir(collectionDir, kEventLogFileName);
}

QString collectionFilePath(const QString& collectionDir) {
    return inDir(collectionDir, kCollectionFileName);
}

bool ensureParentDir(const QString& filePath) {
    const QString dir = QFileInfo(filePath).absolutePath();
    return QDir().mkpath(dir);
}

} // namespace tunarium
