// Where the program's files live: configuration directory, settings file, default profile, and the
// files kept in the collection directory.
#pragma once

#include <QString>

namespace tunarium {

inline constexpr char kSettingsFileName[] = "Tunar98.INI";
inline constexpr char kDefaultProfileFileName[] = "profile.ini";
inline constexpr char kPositionFileName[] = "POSITION.INI";
inline constexpr char kEventLogFileName[] = "TNREvent.LOG";
inline constexpr char kCollectionFileName[] = "tunarium.db";

// The user's configuration directory: $TUNARIUM_CONFIG_DIR when set and not empty, else the
// platform's application configuration location. Not created here.
QString configDir();

// Tunar98.INI in the configuration directory: preferences and report fonts.
QString settingsFilePath();

// The default profile in the configuration directory; it holds only the maintenance flag.
QString defaultProfilePath();

// The collection directory used when the caller names none (--dir): the user's data location.
QString defaultCollectionDir();

// Files of one collection directory.
QString positionFilePath(const QString& collectionDir);
QString eventLogPath(const QString& collectionDir);
QString collectionFilePath(const QString& collectionDir);

// Makes sure the directory that will hold filePath exists. False when it cannot be created.
bool ensureParentDir(const QString& filePath);

} // namespace tunarium
