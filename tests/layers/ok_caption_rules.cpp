// Reads the sources for OK captions of their own.
#include "ok_caption_rules.h"

#include "store_rules.h"

#include <QFile>

namespace tunarium::test {

QStringList okCaptionViolations(const QString& sourceRoot) {
    QStringList found;
    for (const QString& file : sortedFiles(sourceRoot)) {
        const QString path = file.mid(sourceRoot.size() + 1);
        if (path == QLatin1String("ui/ok_cancel_row.cpp")) {
            continue;
        }
        bool inComment = false;
        const QStringList lines = [&file] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        }().split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            for (const QString& literal : splitLine(lines[i], inComment).literals) {
                if (literal.compare(QLatin1String("&OK"), Qt::CaseInsensitive) == 0) {
                    found << QStringLiteral("src/%1:%2: %3").arg(path).arg(i + 1).arg(lines[i].trimmed());
                }
            }
        }
    }
    return found;
}

} // namespace tunarium::test
