// The kinds of the dated backups the store makes (tunarium-KIND-YYYYMMDD-HHMMSS.db in the
// collection directory, written through SQLite's backup API and given their name only when
// whole). Before a destructive step the store keeps the last five of its kind; a backup the user
// asks for is never rotated away.
#pragma once

namespace tunarium {

inline constexpr char kBackupOnRequest[] = "backup";
inline constexpr char kBackupBeforeUpgrade[] = "upgrade";
inline constexpr char kBackupBeforeRestore[] = "restore";
inline constexpr char kBackupBeforePack[] = "pack";
inline constexpr char kBackupBeforeFix[] = "fix";
inline constexpr char kBackupBeforeImport[] = "import";

} // namespace tunarium
