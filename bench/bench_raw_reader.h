// A page read by raw SQLite, beside which the benchmarks put the program's own reads.
#pragma once

#include "data/app_paths.h"

#include <QDir>
#include <QString>
#include <QVariant>
#include <QVector>

#include <sqlite3.h>

namespace tunarium::bench {

// A page read by a plain prepared statement on a connection of its own, beside which a benchmark
// puts the program's read of the same page.
class PageReader {
public:
    virtual ~PageReader() = default;
    // Prepares the SQL text the engine's cursor uses (`?` for each value).
    virtual bool prepare(const QString& sql) = 0;
    // Binds the position (key column values, then the record number), the range values and the
    // limit, and reads every column of the rows.
    virtual int read(const QVector<QVariant>& binds) = 0;
};

// The page read by raw SQLite: values bound, every column of 30 rows stepped and read.
class RawReader final : public PageReader {
public:
    RawReader(const QString& dir, int lines) : m_lines(lines) {
        const QByteArray path = QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)).toUtf8();
        sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~RawReader() {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    RawReader(const RawReader&) = delete;
    RawReader& operator=(const RawReader&) = delete;

    bool prepare(const QString& sql) override {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        return sqlite3_prepare_v2(m_db, text.constData(), -1, &m_stmt, nullptr) == SQLITE_OK;
    }

    int read(const QVector<QVariant>& binds) override {
        sqlite3_reset(m_stmt);
        int p = 1;
        for (const QVariant& v : binds) {
            if (v.typeId() == QMetaType::QString) {
                const QByteArray t = v.toString().toUtf8();
                sqlite3_bind_text(m_stmt, p++, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(m_stmt, p++, v.toLongLong());
            }
        }
        sqlite3_bind_int(m_stmt, p, m_lines);
        int rows = 0;
        qsizetype sink = 0;
        while (sqlite3_step(m_stmt) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(m_stmt);
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(m_stmt, c) == SQLITE_TEXT) {
                    sink += sqlite3_column_bytes(m_stmt, c);
                    sink += sqlite3_column_text(m_stmt, c) != nullptr ? 1 : 0;
                } else {
                    sink += sqlite3_column_int64(m_stmt, c);
                }
            }
            ++rows;
        }
        (void)sink;
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    int m_lines;
};

} // namespace tunarium::bench
