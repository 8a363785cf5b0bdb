// Error texts of the store's result codes.
#include "data/store_error.h"

#include "data/store_diagnostics.h"

#include <sqlite3.h>

namespace tunarium {

Q_LOGGING_CATEGORY(storeCategory, "tunarium.store", QtWarningMsg)

QString errorCodeText(int errorCode) {
    switch (errorCode) {
    case code::kOk:
        return QStringLiteral("No Error");
    case code::kFileNotFound:
        return QStringLiteral("File Not Found");
    case code::kFileLocked:
        return QStringLiteral("File Is Locked");
    case code::kNoMoreRecords:
        return QStringLiteral("Record Not Available");
    case code::kRecordNotFound:
        return QStringLiteral("Record Not Found");
    case code::kInvalidDataFile:
        return QStringLiteral("Invalid Data File");
    case code::kNotOpen:
        return QStringLiteral("File Not Open");
    case code::kDuplicateKey:
        return QStringLiteral("Creates Duplicate Key");
    case code::kRebuildKeys:
        return QStringLiteral("Key File Must Be Rebuilt");
    case code::kLayoutDiffers:
        return QStringLiteral("Record Layout Differs From The File");
    case code::kAlreadyOpen:
        return QStringLiteral("File Already Open");
    case code::kInvalidKey:
        return QStringLiteral("Invalid Key");
    case code::kChangedByOther:
        return QStringLiteral("Record Changed By Another Station");
    case code::kDriverError:
        return QStringLiteral("File System Error");
    case code::kNoTransaction:
        return QStringLiteral("No Transaction Active");
    default:
        return QStringLiteral("Unknown Error");
    }
}

bool StoreError::isDamage() const {
    const int primary = driverCode & 0xff;
    return code == code::kDriverError && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB);
}

QString StoreError::describe() const {
    // A step of the program's own that failed (no SQLite code) says only what failed.
    if (code == code::kDriverError && driverCode == 0 && !driverMessage.isEmpty()) {
        return driverMessage;
    }
    if (code == code::kDriverError) {
        return driverMessage + QStringLiteral(" (") + QString::number(driverCode) + u')';
    }
    // A file refused for what it is says what it is ("… is not a Tunarium collection").
    if ((code == code::kInvalidDataFile || code == code::kLayoutDiffers) && !driverMessage.isEmpty()) {
        return driverMessage + QStringLiteral(" (") + QString::number(code) + u')';
    }
    return text + QStringLiteral(" (") + QString::number(code) + u')';
}

} // namespace tunarium
