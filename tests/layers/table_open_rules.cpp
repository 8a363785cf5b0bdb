// Reads the sources line by line for tables opened or closed by hand.
#include "table_open_rules.h"

#include "store_rules.h"

#include <QRegularExpression>

namespace tunarium::test {

namespace {

// A call of a counted open or close on an object: its receiver's name and the operation.
const QRegularExpression kTableOpen(
    QStringLiteral(R"((\w+)\s*(\(\s*\))?\s*(\.|->)\s*((open|close)(Tables?|SongsAlias|EventLog))\s*\()"));

// The import's bulk load writes on a store connection of its own, opened by the store's counted
// open, not the program's.
const QStringList kBulkLoadStores = {QStringLiteral("bulk"), QStringLiteral("m_bulk")};

} // namespace

QString tableOpenIn(const QString& line, bool& inComment) {
    const SourceLine parts = splitLine(line, inComment);
    const QRegularExpressionMatch m = kTableOpen.match(parts.code);
    if (!m.hasMatch() || kBulkLoadStores.contains(m.captured(1))) {
        return {};
    }
    return QStringLiteral("a table opened or closed by hand (%1) outside src/data: a TableLease")
        .arg(m.captured(4));
}

QStringList tableOpenViolations(const QString& sourceRoot) {
    return violations(
        sourceRoot, [](const QString& path) { return !path.startsWith(QStringLiteral("data/")); },
        tableOpenIn);
}

} // namespace tunarium::test
