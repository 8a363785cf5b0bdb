// A page read by raw libpq on a connection of its own, beside which the server benchmark puts the
// program's reads: the statement prepared once on the server, values sent as text, every value of
// the rows read.
#pragma once

#include "bench_raw_reader.h"
#include "data/store_pg.h"
#include "data/store_pg_connection.h"

#include <libpq-fe.h>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

namespace tunarium::bench {

// The round trips a store has made to its server so far (0 for a collection file).
inline qint64 roundTripsOf(Store& store) {
    auto* server = dynamic_cast<PgStore*>(&store);
    return server ? server->connection().roundTrips() : 0;
}

class PgRawReader final : public PageReader {
public:
    PgRawReader(const QString& location, int lines) : m_lines(lines) {
        m_conn = PQconnectdb(location.toUtf8().constData());
        if (PQstatus(m_conn) != CONNECTION_OK) {
            PQfinish(m_conn);
            m_conn = nullptr;
        }
    }
    ~PgRawReader() override {
        if (m_conn) {
            PQfinish(m_conn);
        }
    }
    PgRawReader(const PgRawReader&) = delete;
    PgRawReader& operator=(const PgRawReader&) = delete;

    bool isOpen() const { return m_conn != nullptr; }

    bool prepare(const QString& sql) override {
        if (!m_conn) {
            return false;
        }
        m_name = QByteArray("page") + QByteArray::number(++m_prepared);
        PGresult* result =
            PQprepare(m_conn, m_name.constData(), numberedPlaceholders(sql).toUtf8().constData(), 0, nullptr);
        const bool ok = result && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        return ok;
    }

    int read(const QVector<QVariant>& binds) override {
        if (!m_conn) {
            return 0;
        }
        std::vector<QByteArray> texts;
        texts.reserve(binds.size() + 1);
        for (const QVariant& v : binds) {
            texts.push_back(v.typeId() == QMetaType::QString ? v.toString().toUtf8()
                                                            : QByteArray::number(v.toLongLong()));
        }
        texts.push_back(QByteArray::number(m_lines));
        std::vector<const char*> values;
        values.reserve(texts.size());
        for (const QByteArray& t : texts) {
            values.push_back(t.constData());
        }
        PGresult* result = PQexecPrepared(m_conn, m_name.constData(), static_cast<int>(values.size()),
                                          values.data(), nullptr, nullptr, 0);
        int rows = 0;
        if (result && PQresultStatus(result) == PGRES_TUPLES_OK) {
            rows = PQntuples(result);
            const int columns = PQnfields(result);
            qsizetype sink = 0;
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < columns; ++c) {
                    sink += PQgetlength(result, r, c) + (PQgetvalue(result, r, c) != nullptr ? 1 : 0);
                }
            }
            (void)sink;
        }
        PQclear(result);
        return rows;
    }

private:
    PGconn* m_conn = nullptr;
    QByteArray m_name;
    int m_prepared = 0;
    int m_lines;
};

} // namespace tunarium::bench
