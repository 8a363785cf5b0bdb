// Error texts of the store's result codes.
#include "data/store_error.h"

namespace tunarium {

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
    default:
        return QStringLiteral("Unknown Error");
    }
}

QString StoreError::describe() const {
    if (code == code::kDriverError) {
        return driverMessage + QStringLiteral(" (") + QString::number(driverCode) + u')';
    }
    return text + QStringLiteral(" (") + QString::number(code) + u')';
}

} // namespace tunarium
