// tunarium-cli cd identify: the track count, every track's start and length, the disc's length,
// the CD identifier, the CDDB number and the MusicBrainz disc ID, one "name: value" a line; then,
// when the collection directory holds a collection that has the disc, "This disc is in the
// collection: ..." (finding it is no failure; with no collection there, nothing is looked up).
#include "cli/cd_commands.h"

#include "albums/cd_reader.h"
#include "albums/disc_in_collection.h"
#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/settings.h"
#include "data/table_lease.h"

#include <QFileInfo>

namespace tunarium::cli {

namespace {

QString minutesSeconds(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString trackTime(qint64 timeValue) {
    const QString text = formatMinutesSeconds(timeValue).trimmed();
    return text.isEmpty() ? QStringLiteral("0:00") : text;
}

void print(const CdReader& reader, const AlbumRecord& album) {
    out() << "tracks: " << reader.trackCount() << "\n";
    const TrackPositions& positions = reader.trackPositions();
    for (const CdTrackTime& t : reader.trackTimes()) {
        const qint64 start = positions.value(t.track - 1).start / kFramesPerSecond;
        out() << "track " << t.track << " start: " << minutesSeconds(start) << "\n";
        out() << "track " << t.track << " length: " << trackTime(t.length) << "\n";
    }
    out() << "disc length: " << trackTime(album.totalTime) << "\n";
    out() << "cd identifier: " << album.cdIdentifier << "\n";
    out() << "cddb number: " << album.xccd << "\n";
    out() << "musicbrainz disc id: " << reader.musicBrainzDiscId() << "\n";
    if (reader.enhancedCd()) {
        out() << "enhanced cd: track lengths corrected\n";
    }
    out().flush();
}

// The line for the albums of the collection in `dir` that hold the disc; none when `dir` holds no
// collection. A collection there that cannot be read fails the command, with the reason.
int tellHolders(const QString& dir, const AlbumRecord& disc) {
    if (!QFileInfo(collectionFilePath(dir)).isFile()) {
        return kExitOk;
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease albums(db, {TableId::Album});
    if (!albums) {
        return fail(QStringLiteral("cannot open the album table in %1").arg(dir));
    }
    QVector<DiscHolder> holders;
    const StoreError e = albumsHoldingDisc(db.store(), disc, holders);
    albums.release();
    if (e) {
        return fail(QStringLiteral("cannot look the disc up among the albums: %1").arg(e.describe()));
    }
    if (!holders.isEmpty()) {
        out() << discInCollectionText(holders) << "\n";
        out().flush();
    }
    return kExitOk;
}

} // namespace

int runCd(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("toc"), QStringLiteral("FILE"), {}},
                      {QStringLiteral("device"), QStringLiteral("DEV"), {}}},
                     QStringLiteral("cd identify does not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    const QStringList words = line.arguments();
    if (words.isEmpty() || words.first() != QLatin1String("identify")) {
        return usage(words.isEmpty() ? QStringLiteral("cd needs a subcommand: identify")
                                     : QStringLiteral("unknown cd subcommand %1").arg(words.first()));
    }
    if (words.size() > 1) {
        return usage(QStringLiteral("cd identify does not know %1").arg(words[1]));
    }
    for (const char* option : {"toc", "device"}) {
        if (line.isSet(QLatin1String(option)) && line.value(QLatin1String(option)).isEmpty()) {
            return usage(QStringLiteral("--%1 needs a value").arg(QLatin1String(option)));
        }
    }
    const QString tocFile = line.value(QStringLiteral("toc"));
    const QString device = line.value(QStringLiteral("device"));
    if (!tocFile.isEmpty() && !device.isEmpty()) {
        return usage(QStringLiteral("cd identify reads a --toc file or a --device, not both"));
    }

    const Settings settings = Settings::load();
    EventLog log(eventLogPath(dir), settings.useLog());
    const std::unique_ptr<CdDrive> drive = chooseCdDrive(tocFile, device, settings.cdDrive());
    MciCdAudio mci(*drive);
    CliPrompter prompter;
    AlbumRecord album;
    CdReader reader(mci, prompter, &log, album, false, false);
    if (!reader.readCD()) {
        return kExitFailure;
    }
    print(reader, album);
    return tellHolders(dir, album);
}

} // namespace tunarium::cli
