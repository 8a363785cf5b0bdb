// File errors, messages and the last file used by import and export.
#include "exchange/exchange_files.h"

#include <QMutex>

#include <cerrno>
#include <cstring>

namespace tunarium {

QString FileError::message() const {
    return QStringLiteral("Error #") + QString::number(code) + QStringLiteral(" - ") + text;
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
