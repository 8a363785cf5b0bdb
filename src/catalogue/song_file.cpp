// A song's audio file.
#include "catalogue/song_file.h"

#include <QFileInfo>

namespace tunarium {

QString songFileProblem(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty()) {
        return QStringLiteral("The song has no audio file.");
    }
    const QFileInfo info(trimmed);
    if (!info.exists()) {
        return QStringLiteral("The file is missing: it is no longer where the song says.");
    }
    if (info.isDir()) {
        return QStringLiteral("This is a folder, not a file.");
    }
    if (!info.isReadable()) {
        return QStringLiteral("The file cannot be read.");
    }
    return {};
}

QString songCouldNotPlayText(const QString& path, const QString& reason) {
    return QStringLiteral("Could not play ") + path.trimmed() + u'\n' + reason;
}

QString songFileFolder(const QString& path) {
    const QString trimmed = path.trimmed();
    return trimmed.isEmpty() ? QString() : QFileInfo(trimmed).absolutePath();
}

} // namespace tunarium
