// Argument parsing and the commands of tunarium-cli.
#include "cli/cli_commands.h"

#include "data/app_paths.h"
#include "data/store.h"

#include <QTextStream>

#include <cstdio>

namespace tunarium::cli {

namespace {

const char* const kUsage =
    "usage: tunarium-cli [--dir DIR] COMMAND\n"
    "\n"
    "  --dir DIR   the collection directory (default: the user's data directory)\n"
    "\n"
    "commands:\n"
    "  info        create the collection if it is missing and list its tables:\n"
    "              label, data file, structure version, record count\n";

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

int usage(const QString& problem) {
    if (!problem.isEmpty()) {
        err() << "tunarium-cli: " << problem << "\n";
    }
    err() << kUsage;
    err().flush();
    return kExitUsage;
}

int fail(const QString& message) {
    err() << "tunarium-cli: " << message << "\n";
    err().flush();
    return kExitFailure;
}

int info(const QString& dir) {
    Store store;
    if (StoreError e = store.open(dir)) {
        return fail(QStringLiteral("cannot open the collection in %1: %2").arg(dir, e.describe()));
    }
    for (const TableDef& t : allTables()) {
        if (StoreError e = store.openTable(t.id)) {
            return fail(QStringLiteral("cannot open table %1: %2").arg(t.label, e.describe()));
        }
        out() << t.label << "\t" << t.fileName << "\t" << store.storedVersion(t.id) << "\t" << store.count(t.id)
              << "\n";
        store.closeTable(t.id);
    }
    out().flush();
    return kExitOk;
}

} // namespace

int run(const QStringList& args) {
    QString dir;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--dir")) {
            if (i + 1 >= args.size()) {
                return usage(QStringLiteral("--dir needs a directory"));
            }
            dir = args[++i];
        } else if (a.startsWith(QLatin1String("--dir="))) {
            dir = a.mid(6);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out() << kUsage;
            out().flush();
            return kExitOk;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("unknown option %1").arg(a));
        } else {
            rest << a;
        }
    }
    if (dir.isEmpty()) {
        dir = defaultCollectionDir();
    }
    if (rest.isEmpty()) {
        return usage(QStringLiteral("no command given"));
    }
    const QString command = rest.takeFirst();
    if (command == QLatin1String("info")) {
        if (!rest.isEmpty()) {
            return usage(QStringLiteral("info takes no arguments"));
        }
        return info(dir);
    }
    return usage(QStringLiteral("unknown command %1").arg(command));
}

} // namespace tunarium::cli
