// tunarium-cli cd identify: the track count, every track's start and length, the disc's length,
// the CD identifier, the CDDB number and the MusicBrainz disc ID, one "name: value" a line.
#include "cli/cd_commands.h"

#include "albums/cd_reader.h"
#include "cli/cli_commands.h"
#include "data/app_paths.h"
#include "data/settings.h"

namespace tunarium::cli {

namespace {

QString minutesSeconds(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString trackTime(qint64 timeValue) {
    const QString text = formatMinutesSeconds(timeValue).trimmed();
    return text.isEmpty() ? QStringLiteral("0:00") : text;
}

// "--name VALUE" or "--name=VALUE" at args[i]; advances i past it. False when it is not that
// option; `problem` is set when it is, but without a value.
bool takeOption(const QStringList& args, qsizetype& i, QLatin1String name, QString& value, QString& problem) {
    const QString& a = args[i];
    if (a == name) {
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            problem = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = args[++i];
        return true;
    }
    if (a.startsWith(name + u'=')) {
        value = a.mid(name.size() + 1);
        if (value.isEmpty()) {
            problem = QStringLiteral("%1 needs a value").arg(name);
        }
        return true;
    }
    return false;
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

} // namespace

int runCd(const QString& dir, const QStringList& args) {
    if (args.isEmpty() || args.first() != QLatin1String("identify")) {
        return usage(args.isEmpty() ? QStringLiteral("cd needs a subcommand: identify")
                                    : QStringLiteral("unknown cd subcommand %1").arg(args.first()));
    }
    QString tocFile;
    QString device;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString problem;
        if (!takeOption(args, i, QLatin1String("--toc"), tocFile, problem) &&
            !takeOption(args, i, QLatin1String("--device"), device, problem)) {
            problem = QStringLiteral("cd identify does not know %1").arg(args[i]);
        }
        if (!problem.isEmpty()) {
            return usage(problem);
        }
    }
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
    return kExitOk;
}

} // namespace tunarium::cli
