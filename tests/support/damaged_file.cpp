// Overwriting pages of a collection file.
#include "support/damaged_file.h"

#include "support/sql_file.h"

#include <QFile>
#include <QList>

namespace tunarium::test {

bool overwriteLeafPages(const QString& path, const QString& name, int pages) {
    QList<qint64> leaves;
    qint64 pageSize = 4096;
    const QList<QStringList> rows =
        sqlRows(path,
                QStringLiteral(
                    "SELECT pageno, pgsize FROM dbstat WHERE name = ? AND pagetype = 'leaf' ORDER BY pageno"),
                {name});
    for (const QStringList& row : rows) {
        leaves << row[0].toLongLong();
        pageSize = row[1].toLongLong();
    }
    if (leaves.size() < pages + 2) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    for (int i = 0; i < pages; ++i) {
        file.seek((leaves[leaves.size() / 2 + i] - 1) * pageSize);
        file.write(QByteArray(static_cast<int>(pageSize), '\x5a'));
    }
    return true;
}

} // namespace tunarium::test
