// File errors, messages and the last file used by import and export.
#include "exchange/exchange_files.h"

#include "data/pictures.h"

#include <QFileInfo>
#include <QMutex>

#include <cerrno>
#include <cstring>

namespace tunarium {

QString FileError::message() const {
    if (!sentence.isEmpty()) {
        return sentence;
    }
    return QStringLiteral("Error #") + QString::number(code) + QStringLiteral(" - ") + text;
}

QString pictureProblem(const QString& picture) {
    if (!picture.startsWith(u'@')) {
        return QString::fromLatin1(kPictureRule);
    }
    if (!Picture::parse(QStringView(picture).left(kExchangePictureWidth)).isValid()) {
        return QStringLiteral("%1 is not a picture (text @s50, number @n3, date @d2, time @t4, pattern @p###p)")
            .arg(picture);
    }
    return {};
}

FileError notAFileError(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile()) {
        return {};
    }
    FileError e = fileErrorFromErrno(info.isDir() ? EISDIR : EINVAL);
    e.sentence = info.isDir() ? QStringLiteral("%1 is a directory, not a file.").arg(path)
                              : QStringLiteral("%1 is not a regular file.").arg(path);
    return e;
}

FileError fileErrorFromErrno(int err) {
    switch (err) {
    case 0:
        return {};
    case ENOENT:
        return {2, QStringLiteral("File Not Found")};
    case ENOTDIR:
        return {3, QStringLiteral("Path Not Found")};
    case EMFILE:
    case ENFILE:
        return {4, QStringLiteral("Too Many Open Files")};
    case EACCES:
    case EPERM:
    case EROFS:
        return {5, QStringLiteral("Access Denied")};
    case EBUSY:
    case ETXTBSY:
        return {32, QStringLiteral("File Is Locked")};
    default:
        return {90, QString::fromLocal8Bit(std::strerror(err))};
    }
}

FileError collectionFileError(const QString& path, FileUse use) {
    FileError e = fileErrorFromErrno(EACCES);
    e.sentence = use == FileUse::Export
                     ? QStringLiteral("%1 holds the collection itself; an export would destroy it. Please choose "
                                      "another file.")
                           .arg(path)
                     : QStringLiteral("%1 holds the collection itself, not songs to import. Please choose "
                                      "another file.")
                           .arg(path);
    return e;
}

PromptMessage fileFailureMessage(const QString& caption, const QString& fileName, const FileError& error) {
    PromptMessage m;
    m.caption = caption + fileName;
    m.text = error.message();
    m.icon = PromptIcon::Stop;
    m.buttons = kButtonOk;
    m.defaultButton = kButtonOk;
    return m;
}

namespace {

QMutex& lastFileMutex() {
    static QMutex mutex;
    return mutex;
}

QString& lastFile() {
    static QString file;
    return file;
}

} // namespace

QString lastExchangeFile() {
    QMutexLocker lock(&lastFileMutex());
    return lastFile();
}

void setLastExchangeFile(const QString& path) {
    QMutexLocker lock(&lastFileMutex());
    lastFile() = path;
}

} // namespace tunarium
