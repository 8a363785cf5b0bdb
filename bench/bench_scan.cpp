// The scan of audio files: files made by the bench through TagLib, scanned into an empty
// collection beside TagLib reading the same files alone, then scanned again with nothing changed.
#include "bench_commands.h"
#include "bench_report.h"
#include "bench_support.h"

#include "data/database.h"
#include "files/audio_maker.h"
#include "files/music_scan.h"

#include <QDir>
#include <QElapsedTimer>

namespace tunarium::bench {

namespace {

constexpr AudioFormat kFormats[] = {AudioFormat::Mp3,  AudioFormat::Flac, AudioFormat::OggVorbis,
                                    AudioFormat::Opus, AudioFormat::M4a,  AudioFormat::Wav,
                                    AudioFormat::Aiff};
constexpr const char* kSuffixes[] = {"mp3", "flac", "ogg", "opus", "m4a", "wav", "aiff"};
constexpr int kFilesPerFolder = 100;

// One file of each format a second long, tagged, in folders of a hundred (an album each).
QString makeFiles(const QString& root, int files, QStringList& paths) {
    QByteArray silence[std::size(kFormats)];
    for (std::size_t f = 0; f < std::size(kFormats); ++f) {
        silence[f] = silentAudio(kFormats[f], 1);
    }
    static const char* const kGenres[] = {"House", "Techno", "Disco", "Funk", "Soul", "Pop", "Rock", "Jazz"};
    static const char* const kKeys[] = {"8A", "9A", "10B", "1A", "5B", "12A"};
    for (int i = 0; i < files; ++i) {
        const int folder = i / kFilesPerFolder;
        const std::size_t f = static_cast<std::size_t>(i) % std::size(kFormats);
        const QString dir = QStringLiteral("%1/artist%2/album%3").arg(root).arg(folder % 37).arg(folder);
        if (i % kFilesPerFolder == 0 && !QDir().mkpath(dir)) {
            return QStringLiteral("cannot make %1").arg(dir);
        }
        const QString path = QStringLiteral("%1/%2.%3").arg(dir).arg(i).arg(QLatin1String(kSuffixes[f]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(silence[f]) != silence[f].size()) {
            return QStringLiteral("cannot write %1").arg(path);
        }
        file.close();
        AudioTags t;
        t.artist = QStringLiteral("Artist %1").arg(folder % 37);
        t.title = QStringLiteral("Song %1").arg(i);
        t.album = QStringLiteral("Album %1").arg(folder);
        t.track = i % kFilesPerFolder + 1;
        t.date = QStringLiteral("%1").arg(1970 + folder % 50);
        t.genre = QString::fromLatin1(kGenres[folder % std::size(kGenres)]);
        t.bpm = 90 + i % 60;
        t.key = QString::fromLatin1(kKeys[i % std::size(kKeys)]);
        t.rating = i % 11;
        if (!writeAudioTags(path, t)) {
            return QStringLiteral("TagLib cannot tag %1").arg(path);
        }
        paths << path;
    }
    return {};
}

double tagLibAloneMs(const QStringList& paths, int& read) {
    QElapsedTimer timer;
    timer.start();
    read = 0;
    for (const QString& path : paths) {
        read += readThroughTagLibAlone(path) ? 1 : 0;
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int scanBench(const QString& dir, int files) {
    const QString music = dir + QStringLiteral("/music");
    const QString collection = dir + QStringLiteral("/collection");
    QDir(music).removeRecursively();
    QDir(collection).removeRecursively();
    QStringList paths;
    QElapsedTimer making;
    making.start();
    if (const QString e = makeFiles(music, files, paths); !e.isEmpty()) {
        return fail(e);
    }
    figure("scan_files_made", files, "files");
    figure("scan_make_ms", making.nsecsElapsed() / 1e6, "ms");

    int read = 0;
    tagLibAloneMs(paths, read); // the files into the page cache for both
    if (read != files) {
        return fail(QStringLiteral("TagLib read %1 of the %2 files").arg(read).arg(files));
    }
    QVector<double> alone;
    for (int run = 0; run < 3; ++run) {
        alone << tagLibAloneMs(paths, read);
    }
    const double aloneMs = median(alone);

    RecordingPrompter prompter;
    Database db(prompter, collection, dir + QStringLiteral("/profile.ini"));
    QElapsedTimer timer;
    MusicScan first(db, {music});
    timer.start();
    runToEnd(first);
    const double firstMs = timer.nsecsElapsed() / 1e6;
    if (first.songsAdded() != files) {
        return fail(QStringLiteral("the scan added %1 of the %2 files: %3")
                        .arg(first.songsAdded())
                        .arg(files)
                        .arg(first.summary().join(u'\n')));
    }
    std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfterScan(db, first);
    timer.restart();
    runToEnd(*albums);
    const double albumsMs = timer.nsecsElapsed() / 1e6;

    MusicScan again(db, {music});
    timer.restart();
    runToEnd(again);
    const double againMs = timer.nsecsElapsed() / 1e6;
    if (again.filesUnchanged() != files || again.songsAdded() != 0) {
        return fail(QStringLiteral("the second scan found changes: %1").arg(again.summary().join(u'\n')));
    }

    figure("scan_first_files_per_second", files / (firstMs / 1000.0), "files/s");
    figure("scan_taglib_alone_files_per_second", files / (aloneMs / 1000.0), "files/s");
    ratio("scan_first", firstMs, aloneMs);
    figure("scan_album_entries_ms", albumsMs, "ms");
    figure("scan_again_ms", againMs, "ms");
    figure("scan_again_ms_per_10000_files", againMs * 10000.0 / files, "ms");
    return 0;
}

} // namespace tunarium::bench
