// Internal helpers of the store's source files: reading and binding values of SQLite statements.
// Not part of the store's interface.
#pragma once

#include "data/schema_sql.h"
#include "data/store.h"

#include <sqlite3.h>

namespace tunarium::store_detail {

inline QString columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)) : QString();
}

inline void bindText(sqlite3_stmt* stmt, int param, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, param, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// Binds a key component value as the key compares it; a `partial` text (the beginning of a name)
// by the leading, accent-free part of the folded key alone.
inline void bindKeyValue(sqlite3_stmt* stmt, int param, const TableDef& t, int key, int field,
                         const QVariant& value, bool partial = false) {
    if (t.field(field).type == FieldType::String) {
        const QString text = trimTrailingBlanks(value.toString());
        if (!t.key(key).caseInsensitive) {
            bindText(stmt, param, text);
        } else {
            bindText(stmt, param, partial ? foldKeyPrefix(text) : foldKey(text));
        }
    } else {
        sqlite3_bind_int64(stmt, param, value.toLongLong());
    }
}

inline void bindValue(sqlite3_stmt* stmt, int param, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, param, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(stmt, param, value.toDouble());
        break;
    default:
        if (value.isNull()) {
            sqlite3_bind_null(stmt, param);
        } else {
            bindText(stmt, param, value.toString());
        }
    }
}

class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementReset() {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

} // namespace tunarium::store_detail
