// The scan command of tunarium-cli: songs from the audio files under folders, as File › "Add
// Music Files…" adds them, then their album entries and covers.
#include "cli/cli_commands.h"

#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "files/music_scan.h"

namespace tunarium::cli {

int runScan(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("quiet"), {}, {}}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    const QStringList paths = line.arguments();
    if (paths.isEmpty()) {
        return usage(QStringLiteral("scan needs a folder or an audio file"));
    }
    const bool quiet = line.isSet(QStringLiteral("quiet"));
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    MusicScan scan(db, paths);
    const bool completed = runWithProgress(scan, quiet);
    if (db.halted()) {
        return kExitFailure;
    }
    bool albumsFailed = false;
    if (std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfterScan(db, scan)) {
        albumsFailed = !runWithProgress(*albums, quiet) || albums->stoppedByFailure();
        if (db.halted()) {
            return kExitFailure;
        }
        out() << albums->albumsCreated() << " albums created, " << albums->songsLinked() << " songs linked\n";
    }
    const int covers = giveAlbumsCovers(db, scan.covers());
    for (const QString& summaryLine : scan.summary()) {
        out() << summaryLine << "\n";
    }
    if (covers > 0) {
        out() << coversGivenLine(covers) << "\n";
    }
    out().flush();
    if (!completed || scan.stoppedByFailure()) {
        return fail(QStringLiteral("the scan did not complete; what it finished is kept"));
    }
    if (albumsFailed) {
        return fail(QStringLiteral("the songs were added, but not every album entry was made; "
                                   "tunarium-cli --dir %1 create-albums makes the rest")
                        .arg(dir));
    }
    return scan.skipped().isEmpty() && scan.cuts().isEmpty() ? kExitOk : kExitFailure;
}

} // namespace tunarium::cli
