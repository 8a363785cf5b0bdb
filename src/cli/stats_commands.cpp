// tunarium-cli stats [--json]: the figures of the statistics window.
#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/table_lease.h"
#include "survey/collection_figures.h"

#include <QJsonDocument>

namespace tunarium::cli {

int runStats(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("json"), {}, {}}}, QStringLiteral("stats does not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(QStringLiteral("stats takes no arguments"));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease tables(db, {TableId::Tunarium, TableId::Album, TableId::Categories});
    if (!tables) {
        return fail(QStringLiteral("cannot open the songs, albums and categories in %1").arg(dir));
    }
    const CollectionFigures figures = readCollectionFigures(db.store());
    tables.release();
    if (figures.error) {
        return fail(QStringLiteral("the figures cannot be read: %1").arg(figures.error.describe()));
    }
    if (line.isSet(QStringLiteral("json"))) {
        out() << QString::fromUtf8(QJsonDocument(figuresJson(figures)).toJson(QJsonDocument::Indented));
    } else {
        out() << figuresText(figures);
    }
    out().flush();
    return db.halted() ? kExitFailure : kExitOk;
}

} // namespace tunarium::cli
