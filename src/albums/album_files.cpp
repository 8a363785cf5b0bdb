// An album's associated files.
#include "albums/album_files.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>

namespace tunarium {

namespace {

// What every path is checked for first.
QString pathProblem(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty()) {
        return QStringLiteral("No file is named.");
    }
    const QFileInfo info(trimmed);
    if (!info.exists()) {
        return QStringLiteral("The file does not exist.");
    }
    if (info.isDir()) {
        return QStringLiteral("This is a folder, not a file.");
    }
    if (!info.isReadable()) {
        return QStringLiteral("The file cannot be read.");
    }
    return {};
}

} // namespace

QString soundFileProblem(const QString& path) {
    if (QString problem = pathProblem(path); !problem.isEmpty()) {
        return problem;
    }
    // By its contents; a file whose contents say nothing is taken by its name.
    const QMimeDatabase mime;
    QMimeType type = mime.mimeTypeForFile(path.trimmed(), QMimeDatabase::MatchContent);
    if (type.isDefault()) {
        type = mime.mimeTypeForFile(path.trimmed(), QMimeDatabase::MatchExtension);
    }
    const QString name = type.name();
    if (!name.startsWith(QLatin1String("audio/")) && !name.startsWith(QLatin1String("video/"))) {
        return QStringLiteral("The file is not a sound file (") + type.comment() + QStringLiteral(").");
    }
    return {};
}

QString couldNotPlayText(const QString& path, const QString& reason) {
    return QStringLiteral("Could not play ") + path.trimmed() + u'\n' + reason;
}

QString imageFileProblem(const QString& path) {
    if (QString problem = pathProblem(path); !problem.isEmpty()) {
        return problem;
    }
    QImageReader reader(path.trimmed());
    if (!reader.canRead()) {
        return QStringLiteral("The file is not an image that can be shown.");
    }
    return {};
}

ScaledImage loadScaledImage(const QString& path, const QSize& box) {
    ScaledImage result;
    result.problem = imageFileProblem(path);
    if (!result.problem.isEmpty()) {
        return result;
    }
    // A photograph of 50 megapixels is more than the reader's default allowance of 128 MB, and
    // formats that cannot reduce while decoding need the whole of it for a moment.
    static const bool allowed = [] {
        if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < 1024) {
            QImageReader::setAllocationLimit(1024);
        }
        return true;
    }();
    (void)allowed;
    QImageReader reader(path.trimmed());
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && box.isValid() && (full.width() > box.width() || full.height() > box.height())) {
        // Decoders that can reduce while they decode (JPEG) do so; the others scale after reading.
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    }
    if (!reader.read(&result.image)) {
        result.problem = QStringLiteral("The image cannot be read: ") + reader.errorString();
        return result;
    }
    if (box.isValid() && (result.image.width() > box.width() || result.image.height() > box.height())) {
        result.image = result.image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return result;
}

} // namespace tunarium
