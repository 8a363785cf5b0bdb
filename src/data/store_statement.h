// A prepared statement on the collection's connection: values are bound to it, its rows stepped
// through and their columns read; it is reset before its next use and finalized when destroyed.
// Statements belong to the store's files alone: nothing outside them sees SQLite.
#pragma once

#include "data/store_error.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

namespace tunarium {

class Connection;

class Statement {
public:
    enum class Step { Row, Done, Failed };

    Statement() = default;
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    // The SQL text as prepared.
    QByteArrayView sql() const { return QByteArrayView(sqlite3_sql(m_stmt)); }

    void bindInt(int param, qint64 value) {
        assertParameter(param);
        sqlite3_bind_int64(m_stmt, param, value);
    }
    void bindText(int param, const QString& text) {
        assertParameter(param);
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, param, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    // A number, a text or null, as the value's type says.
    void bindValue(int param, const QVariant& value);
    int parameterCount() const { return sqlite3_bind_parameter_count(m_stmt); }

    // The next row. After Failed, error() says why.
    Step step() {
        Q_ASSERT_X(m_stmt, "Statement::step", "a statement that was never prepared");
        m_code = sqlite3_step(m_stmt);
        return m_code == SQLITE_ROW ? Step::Row : m_code == SQLITE_DONE ? Step::Done : Step::Failed;
    }
    // Steps to the end; the rows are not read.
    StoreError run();
    // The failure of the last step, as a store error.
    StoreError error() const;
    // The last step broke a constraint (a unique key).
    bool brokeConstraint() const { return (m_code & 0xff) == SQLITE_CONSTRAINT; }
    // The last step met a damaged file.
    bool metDamage() const { return (m_code & 0xff) == SQLITE_CORRUPT; }

    int columnCount() const { return sqlite3_column_count(m_stmt); }
    bool isNull(int column) const {
        assertColumn(column);
        return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
    }
    qint64 integer(int column) const {
        assertColumn(column);
        return sqlite3_column_int64(m_stmt, column);
    }
    QString text(int column) const {
        assertColumn(column);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
    }

    // Ready for the next use: the rows and the bound values are dropped.
    void reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    // A value is bound to a placeholder the statement has, and read from a column of a row that
    // the last step gave: anything else is a fault of the statement's user.
    void assertParameter([[maybe_unused]] int param) const {
        Q_ASSERT_X(m_stmt, "Statement::bind", "a statement that was never prepared");
        Q_ASSERT_X(param >= 1 && param <= sqlite3_bind_parameter_count(m_stmt), "Statement::bind",
                   "no such placeholder");
    }
    void assertColumn([[maybe_unused]] int column) const {
        Q_ASSERT_X(m_code == SQLITE_ROW, "Statement::column", "read with no row stepped to");
        Q_ASSERT_X(column >= 0 && column < sqlite3_column_count(m_stmt), "Statement::column",
                   "no such column");
    }

    friend class Connection;
    Statement(Connection* connection, sqlite3_stmt* stmt) : m_connection(connection), m_stmt(stmt) {}

    Connection* m_connection = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    int m_code = SQLITE_OK;
};

// Resets a kept statement when the scope ends, however it is left.
class StatementScope {
public:
    explicit StatementScope(Statement& statement) : m_statement(statement) {}
    ~StatementScope() { m_statement.reset(); }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

private:
    Statement& m_statement;
};

} // namespace tunarium
