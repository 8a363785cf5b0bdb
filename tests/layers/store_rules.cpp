// Reads the sources line by line for SQL and for record writes through the store.
#include "store_rules.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <functional>

namespace tunarium::test {

namespace {

// The store's files in src/data: every file whose name starts with one of the prefixes, and the
// files named. A new store file (store_survey.cpp, say) needs no entry here; one named otherwise
// is added to kStoreFiles.
const QStringList kStorePrefixes = {QStringLiteral("store"), QStringLiteral("schema_sql")};
const QStringList kStoreFiles = {};

// SQLite's interface in code: its calls and types, and its header.
const QRegularExpression kSqliteApi(QStringLiteral(R"(\bsqlite3(_\w+)?\b|<sqlite3\.h>)"));

// libpq, the server's client library, in code: its calls and types, and its header.
const QRegularExpression kLibpqApi(QStringLiteral(R"(\bPQ[a-z]\w*\s*\(|\bPG(conn|result|notify)\b|<libpq-fe\.h>)"));

// Statement shapes in a literal, keywords in capitals.
const QRegularExpression kStatementStart(
    QStringLiteral(R"(^[\s(]*(SELECT|INSERT|UPDATE|DELETE|REPLACE|PRAGMA|CREATE|DROP|ALTER|ATTACH|DETACH|)"
                   R"(VACUUM|BEGIN|COMMIT|ROLLBACK|SAVEPOINT|RELEASE|WITH|ANALYZE|REINDEX|EXPLAIN)(\s|$))"));
const QRegularExpression kStatementAnywhere(QStringLiteral(
    R"(\bSELECT\b.*\bFROM\b|\(\s*SELECT\s|\bINSERT\s+(OR\s+[A-Z]+\s+)?INTO\b|\bDELETE\s+FROM\b|)"
    R"(\bUPDATE\s+\S+\s+SET\b|\bPRAGMA\s+\w|\b(CREATE|DROP)\s+(TEMP\w*\s+|UNIQUE\s+|VIRTUAL\s+)?)"
    R"((TABLE|INDEX|TRIGGER|VIEW)\b|\bALTER\s+TABLE\b)"));

// A write through a store known by its name (store, m_store, bulkStore; not restore).
const QRegularExpression kStoreWrite(QStringLiteral(
    R"(\b((\w*_)?store|\w*Store)\s*(\(\s*\))?\s*(\.|->)\s*(update|remove|rewriteField|replaceInKey|exec)\s*\()"));

// The classes of the store's implementation over SQLite, and its headers.
const QRegularExpression kImplementationClass(QStringLiteral(
    R"((?<!QMetaObject::)\b(Sqlite(Store|Schema|Maintenance|Bulk|Log|Survey|DuplicateReader)|Connection|Statement|)"
    R"(StatementScope|Pg(Store|Schema|Maintenance|Bulk|Log|Survey|DuplicateReader|Connection|Result))\b)"));
const QRegularExpression
    kImplementationHeader(QStringLiteral(R"(^data/(store_sqlite|store_connection|store_statement|store_pg|store_pg_connection)\.h$)"));

} // namespace

QStringList sortedFiles(const QString& sourceRoot) {
    QDirIterator it(sourceRoot, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) {
        files << it.next();
    }
    files.sort();
    return files;
}

QStringList violations(const QString& sourceRoot, const std::function<bool(const QString&)>& scanned,
                       const std::function<QString(const QString&, bool&)>& judge) {
    QStringList found;
    for (const QString& file : sortedFiles(sourceRoot)) {
        const QString path = file.mid(sourceRoot.size() + 1);
        if (!scanned(path)) {
            continue;
        }
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            found << QStringLiteral("src/%1: cannot be read").arg(path);
            continue;
        }
        QTextStream in(&f);
        bool inComment = false;
        for (int line = 1; !in.atEnd(); ++line) {
            const QString text = in.readLine();
            const QString what = judge(text, inComment);
            if (!what.isEmpty()) {
                found << QStringLiteral("src/%1:%2: %3: %4").arg(path).arg(line).arg(text.trimmed(), what);
            }
        }
    }
    return found;
}

bool isStoreFile(const QString& path) {
    const QStringList parts = path.split(u'/');
    if (parts.size() != 2 || parts.first() != u"data") {
        return false;
    }
    const QString& name = parts.last();
    if (kStoreFiles.contains(name)) {
        return true;
    }
    for (const QString& prefix : kStorePrefixes) {
        if (name.startsWith(prefix) && (name.size() == prefix.size() || !name.at(prefix.size()).isLetter())) {
            return true;
        }
    }
    return false;
}

SourceLine splitLine(const QString& line, bool& inComment) {
    SourceLine out;
    QString literal;
    bool inString = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        const QChar next = i + 1 < line.size() ? line.at(i + 1) : QChar();
        if (inComment) {
            if (c == u'*' && next == u'/') {
                inComment = false;
                ++i;
            }
        } else if (inString) {
            if (c == u'\\' && i + 1 < line.size()) {
                literal += line.at(++i);
            } else if (c == u'"') {
                inString = false;
                out.literals << literal;
                literal.clear();
                out.code += u'"';
            } else {
                literal += c;
            }
        } else if (c == u'/' && next == u'/') {
            break;
        } else if (c == u'/' && next == u'*') {
            inComment = true;
            ++i;
        } else if (c == u'"') {
            inString = true;
            out.code += u'"';
        } else if (c == u'\'') {
            // A character literal: its insides are no code.
            const qsizetype end = line.indexOf(u'\'', i + (next == u'\\' ? 3 : 2));
            i = end > i && end - i <= 4 ? end : i;
            out.code += QStringLiteral("' '");
        } else {
            out.code += c;
        }
    }
    if (inString) {
        out.literals << literal; // a literal that goes on with a backslash: judged as far as it goes
    }
    return out;
}

QString sqlIn(const QString& line, bool& inComment) {
    const SourceLine parts = splitLine(line, inComment);
    if (const QRegularExpressionMatch m = kSqliteApi.match(parts.code); m.hasMatch()) {
        return QStringLiteral("SQLite's interface (%1) outside the store's files").arg(m.captured(0));
    }
    if (const QRegularExpressionMatch m = kLibpqApi.match(parts.code); m.hasMatch()) {
        return QStringLiteral("libpq's interface (%1) outside the store's files").arg(m.captured(0).trimmed());
    }
    for (const QString& literal : parts.literals) {
        QRegularExpressionMatch m = kStatementStart.match(literal);
        if (!m.hasMatch()) {
            m = kStatementAnywhere.match(literal);
        }
        if (m.hasMatch()) {
            return QStringLiteral("SQL text (%1) outside the store's files").arg(m.captured(0).trimmed());
        }
    }
    return {};
}

QString storeWriteIn(const QString& line, bool& inComment) {
    const SourceLine parts = splitLine(line, inComment);
    const QRegularExpressionMatch m = kStoreWrite.match(parts.code);
    if (!m.hasMatch()) {
        return {};
    }
    return QStringLiteral("a record written through the store (%1) outside src/data: the update and "
                          "delete routines or a named write of the data room")
        .arg(m.captured(5));
}

QString storeImplementationIn(const QString& line, bool& inComment) {
    const SourceLine parts = splitLine(line, inComment);
    if (parts.code.trimmed().startsWith(u'#')) {
        if (parts.code.contains(QStringLiteral("include")) && !parts.literals.isEmpty() &&
            kImplementationHeader.match(parts.literals.first()).hasMatch()) {
            return QStringLiteral("the store's implementation (%1) included outside src/data: data/store.h")
                .arg(parts.literals.first());
        }
        return {};
    }
    if (const QRegularExpressionMatch m = kImplementationClass.match(parts.code); m.hasMatch()) {
        return QStringLiteral("the store's implementation (%1) named outside src/data: the store's interface")
            .arg(m.captured(1));
    }
    return {};
}

QStringList sqlViolations(const QString& sourceRoot) {
    return violations(
        sourceRoot, [](const QString& path) { return !isStoreFile(path); }, sqlIn);
}

QStringList storeImplementationViolations(const QString& sourceRoot) {
    return violations(
        sourceRoot, [](const QString& path) { return !path.startsWith(QStringLiteral("data/")); },
        storeImplementationIn);
}

QStringList storeWriteViolations(const QString& sourceRoot) {
    return violations(
        sourceRoot, [](const QString& path) { return !path.startsWith(QStringLiteral("data/")); },
        storeWriteIn);
}

} // namespace tunarium::test
