// tunarium-cli duplicates: the duplicate search without its window. Each kind of group under a
// heading with its count, then one line a song or album, tab-separated, led by its group's number.
#include "cli/duplicate_commands.h"

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/pictures.h"
#include "data/table_lease.h"
#include "survey/duplicate_search.h"

namespace tunarium::cli {

namespace {

constexpr std::initializer_list<TableId> kTables = {TableId::Tunarium, TableId::Album};

QString groupsText(qsizetype n) {
    return n == 1 ? QStringLiteral("1 group") : QStringLiteral("%1 groups").arg(n);
}

void printSongs(const QString& heading, const QVector<SongGroup>& groups) {
    out() << heading << ": " << groupsText(groups.size()) << "\n";
    int number = 0;
    for (const SongGroup& group : groups) {
        ++number;
        for (const SongRecord& s : group.songs) {
            out() << number << "\t" << s.id << "\t" << s.artist << "\t" << s.title << "\t" << s.mix << "\t"
                  << s.album << "\t" << s.fileNumber << "\t" << s.side << "\t" << s.trackNumber << "\t"
                  << formatPicture(s.time, u"@t9b").trimmed() << "\n";
        }
    }
}

void printAlbums(const QString& heading, const QVector<AlbumGroup>& all, AlbumMatch match) {
    QVector<const AlbumGroup*> groups;
    for (const AlbumGroup& g : all) {
        if (g.match == match) {
            groups << &g;
        }
    }
    out() << heading << ": " << groupsText(groups.size()) << "\n";
    int number = 0;
    for (const AlbumGroup* group : groups) {
        ++number;
        for (const AlbumRecord& a : group->albums) {
            out() << number << "\t" << a.albumId << "\t" << a.artist << "\t" << a.album << "\t" << a.fileNumber
                  << "\t" << group->value << "\n";
        }
    }
}

} // namespace

int runDuplicates(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("quiet"), {}, {}}}, QStringLiteral("duplicates does not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(QStringLiteral("duplicates takes no arguments"));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease tables(db, kTables);
    if (!tables) {
        return fail(QStringLiteral("cannot open the songs and albums in %1").arg(dir));
    }
    int status = kExitOk;
    {
        DuplicateSearch search(db);
        runWithProgress(search, line.isSet(QStringLiteral("quiet")));
        if (search.error()) {
            status = fail(QStringLiteral("cannot read the collection: %1").arg(search.error().describe()));
        } else {
            const DuplicateReport& report = search.report();
            printSongs(QStringLiteral("Songs with the same artist and title"), report.songs);
            printSongs(QStringLiteral("Songs at the same place on a carrier"), report.places);
            printAlbums(QStringLiteral("Albums with the same CD identifier"), report.albums, AlbumMatch::CdIdentifier);
            printAlbums(QStringLiteral("Albums with the same disc ID"), report.albums, AlbumMatch::DiscId);
            printAlbums(QStringLiteral("Albums with the same sound file"), report.albums, AlbumMatch::SoundFile);
            out().flush();
        }
    }
    tables.release();
    err().flush();
    return db.halted() ? kExitFailure : status;
}

} // namespace tunarium::cli
