// Reads the includes of the sources and judges them by the layer order.
#include "include_rules.h"

#include "store_rules.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace tunarium::test {

namespace {

// Where a file stands: its room's place in the order and whether it is that room's ui. src/ui
// stands between the process core and the uis; the command line stands above every core.
struct Place {
    enum class Kind { Core, Ui, UiBase, Cli, Unknown };
    Kind kind = Kind::Unknown;
    int level = -1;
    QString room;

    QString describe() const {
        switch (kind) {
        case Kind::Core:
            return room + QStringLiteral(" (core)");
        case Kind::Ui:
            return room + QStringLiteral("/ui");
        case Kind::UiBase:
            return QStringLiteral("ui (what every window shares)");
        case Kind::Cli:
            return QStringLiteral("cli (the command line)");
        case Kind::Unknown:
            break;
        }
        return room + QStringLiteral(" (no room of the house)");
    }
};

Place placeOf(const QString& path, const QStringList& layers) {
    const QStringList parts = path.split(u'/');
    Place p;
    p.room = parts.first();
    if (parts.size() < 2) {
        return p;
    }
    if (p.room == QLatin1String("ui")) {
        p.kind = Place::Kind::UiBase;
        p.level = int(layers.indexOf(QStringLiteral("process")));
        return p;
    }
    if (p.room == QLatin1String("cli")) {
        p.kind = Place::Kind::Cli;
        p.level = int(layers.size());
        return p;
    }
    p.level = int(layers.indexOf(p.room));
    if (p.level < 0) {
        return p;
    }
    p.kind = parts.size() > 2 && parts[1] == QLatin1String("ui") ? Place::Kind::Ui : Place::Kind::Core;
    return p;
}

bool isUi(const Place& p) {
    return p.kind == Place::Kind::Ui || p.kind == Place::Kind::UiBase;
}

} // namespace

QString includeProblem(const QString& path, const QString& included, const QStringList& layers) {
    const Place from = placeOf(path, layers);
    const Place to = placeOf(included, layers);
    if (from.kind == Place::Kind::Unknown) {
        return QStringLiteral("%1 is not in the layer order of CMakeLists.txt").arg(from.room);
    }
    if (to.kind == Place::Kind::Unknown) {
        return QStringLiteral("%1 names no room of the house").arg(included);
    }
    if (to.kind == Place::Kind::Cli && from.kind != Place::Kind::Cli) {
        return QStringLiteral("%1 includes the command line").arg(from.describe());
    }
    if (isUi(to) && (from.kind == Place::Kind::Core || from.kind == Place::Kind::Cli)) {
        return QStringLiteral("%1 includes a ui, %2").arg(from.describe(), to.describe());
    }
    if (from.kind == Place::Kind::UiBase && to.kind == Place::Kind::Ui) {
        return QStringLiteral("%1 includes a room's ui, %2").arg(from.describe(), to.describe());
    }
    if (from.kind == Place::Kind::Ui && to.kind == Place::Kind::UiBase && from.level < to.level) {
        return QStringLiteral("%1 stands below %2").arg(from.describe(), to.describe());
    }
    if (to.kind != Place::Kind::UiBase && to.level > from.level) {
        return QStringLiteral("%1 includes %2, above it").arg(from.describe(), to.describe());
    }
    return {};
}

QStringList includeViolations(const QString& sourceRoot, const QStringList& layers) {
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*"([^"]+)\")"));
    QStringList violations;
    for (const QString& file : sortedFiles(sourceRoot)) {
        const QString path = file.mid(sourceRoot.size() + 1);
        // A folder outside the order builds into no library: say so even of a file that includes
        // nothing.
        if (placeOf(path, layers).kind == Place::Kind::Unknown) {
            violations << QStringLiteral("src/%1: %2 is not in the layer order of CMakeLists.txt")
                              .arg(path, path.section(u'/', 0, 0));
            continue;
        }
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            violations << QStringLiteral("src/%1: cannot be read").arg(path);
            continue;
        }
        QTextStream in(&f);
        for (int line = 1; !in.atEnd(); ++line) {
            const QString text = in.readLine();
            const QRegularExpressionMatch m = include.match(text);
            if (!m.hasMatch()) {
                continue;
            }
            const QString problem = includeProblem(path, m.captured(1), layers);
            if (!problem.isEmpty()) {
                violations
                    << QStringLiteral("src/%1:%2: %3: %4").arg(path).arg(line).arg(text.trimmed(), problem);
            }
        }
    }
    return violations;
}

} // namespace tunarium::test
