// Result codes of the store, numbered as the record-access routines and their warnings expect.
#pragma once

#include <QString>

namespace tunarium {

namespace code {
inline constexpr int kOk = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kFileLocked = 32;
inline constexpr int kNoMoreRecords = 33;
inline constexpr int kRecordNotFound = 35;
inline constexpr int kInvalidDataFile = 36;
// The store was asked to work with no collection open (never opened, or closed since).
inline constexpr int kNotOpen = 37;
inline constexpr int kDuplicateKey = 40;
inline constexpr int kRebuildKeys = 46;
inline constexpr int kLayoutDiffers = 47;
inline constexpr int kAlreadyOpen = 52;
inline constexpr int kInvalidKey = 88;
inline constexpr int kChangedByOther = 89;
inline constexpr int kDriverError = 90;
// A commit with no transaction to commit (one never begun, or ended already).
inline constexpr int kNoTransaction = 91;
} // namespace code

// The runtime's error text for a code ("Record Not Found" for 35 ...).
QString errorCodeText(int code);

struct StoreError {
    int code = code::kOk;
    QString text;          // the error text of the code
    int driverCode = 0;    // SQLite's extended result code, where SQLite failed
    QString driverMessage; // SQLite's message, or our own account of a refused value
    QString keyName;       // for a duplicate key: the qualified key ("TUN:KeyID")
    // The SQL text of the statement that failed, where one did: for the developer (the store's
    // log, a test), never part of what the user is shown.
    QString sql;

    bool ok() const { return code == code::kOk; }
    // SQLite found the file damaged, or no database at all, where a collection should be.
    bool isDamage() const;
    explicit operator bool() const { return code != code::kOk; }

    static StoreError of(int errorCode) { return {errorCode, errorCodeText(errorCode), 0, {}, {}}; }
    static StoreError driver(int sqliteCode, const QString& message) {
        return {code::kDriverError, errorCodeText(code::kDriverError), sqliteCode, message, {}};
    }
    // The error text E of the warnings: the text and the code in parentheses; for a driver
    // error the driver's message and code instead, and for a file refused for what it is (36, 47)
    // our account of it.
    QString describe() const;
};

} // namespace tunarium
