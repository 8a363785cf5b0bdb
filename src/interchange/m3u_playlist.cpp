// M3U8 written, M3U8, M3U and PLS read and imported.
#include "interchange/m3u_playlist.h"

#include "data/output_file.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "data/warnings.h"
#include "files/audio_tags.h"
#include "interchange/list_songs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <optional>

namespace tunarium {

namespace {

// A line longer than this is no entry of a playlist.
constexpr int kMaxLineBytes = 8192;
// Of the lines passed over, the ones named one by one; the rest are counted.
constexpr int kNamedSkips = 20;

QString oneLine(const QString& text) {
    QString out = trimTrailingBlanks(text);
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out.trimmed();
}

QString displayOf(const SongRecord& song) {
    const QString artist = oneLine(song.artist);
    const QString title = oneLine(song.title);
    return artist.isEmpty() ? title : artist + QStringLiteral(" - ") + title;
}

const QRegularExpression& fileNumberSuffix() {
    static const QRegularExpression re(QStringLiteral("\\s\\(file number [^()]*\\)$"));
    return re;
}

// "Artist - Title" split at its first " - "; a text without one is a title.
void splitDisplay(const QString& display, ListedEntry& entry) {
    const qsizetype dash = display.indexOf(QLatin1String(" - "));
    if (dash < 0) {
        entry.title = display.trimmed();
        return;
    }
    entry.artist = display.left(dash).trimmed();
    entry.title = display.mid(dash + 3).trimmed();
}

// "#EXTINF:245,Artist - Title" (attributes may follow the length before the comma).
ListedEntry readExtinf(const QString& line, int number) {
    ListedEntry entry;
    entry.line = number;
    const QString rest = line.mid(8);
    const qsizetype comma = rest.indexOf(u',');
    static const QRegularExpression length(QStringLiteral("^\\s*(-?\\d{1,9})"));
    if (const QRegularExpressionMatch m = length.match(comma < 0 ? rest : rest.left(comma)); m.hasMatch()) {
        entry.seconds = std::max<qint64>(-1, m.captured(1).toLongLong());
    }
    if (comma >= 0) {
        splitDisplay(rest.mid(comma + 1), entry);
    }
    return entry;
}

// A path as a playlist line gives it: a file URI decoded, Windows' separators turned, a relative
// path resolved against the playlist's folder. Empty for an address of another kind (a stream).
QString resolvePath(const QString& text, const QString& folder) {
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(text);
        return url.isValid() ? QDir::cleanPath(url.path(QUrl::FullyDecoded)) : QString();
    }
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    if (scheme.match(text).hasMatch()) {
        return {};
    }
    QString path = text;
    if (path.contains(u'\\') && !path.contains(u'/')) {
        path.replace(u'\\', u'/');
    }
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

class LineReader {
public:
    LineReader(ReadPlaylist& out, bool utf8) : m_out(out), m_utf8(utf8) {}
    // The line's text; false when it is passed over (named in the skipped lines).
    bool text(const QByteArray& bytes, int number, QString& text) {
        if (bytes.size() > kMaxLineBytes) {
            skip(number, QStringLiteral("is too long to be an entry"));
            return false;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(bytes);
        if (decoder.hasError()) {
            if (m_utf8) {
                skip(number, QStringLiteral("is not UTF-8 text"));
                return false;
            }
            text = QString::fromLatin1(bytes);
        }
        return true;
    }
    void skip(int number, const QString& reason) {
        if (++m_skips <= kNamedSkips) {
            m_out.skipped << QStringLiteral("line %1 %2").arg(number).arg(reason);
        }
    }
    void finish() {
        if (m_skips > kNamedSkips) {
            m_out.skipped << QStringLiteral("... and %1 lines more").arg(m_skips - kNamedSkips);
        }
    }
    int skips() const { return m_skips; }

private:
    ReadPlaylist& m_out;
    bool m_utf8;
    int m_skips = 0;
};

void readM3u(const QList<QByteArray>& lines, const QString& folder, LineReader& reader, ReadPlaylist& out) {
    std::optional<ListedEntry> pending;
    const auto flushPending = [&] {
        if (pending) {
            pending->title.remove(fileNumberSuffix());
            out.entries << *pending;
            pending.reset();
        }
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray bytes = lines[i].trimmed();
        const int number = i + 1;
        QString text;
        if (bytes.isEmpty() || !reader.text(bytes, number, text)) {
            continue;
        }
        if (text.startsWith(u'#')) {
            if (text.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive)) {
                flushPending();
                pending = readExtinf(text, number);
            }
            continue;
        }
        const QString path = resolvePath(text, folder);
        const bool audio = !path.isEmpty() && audioFormatOfName(path) != AudioFormat::None;
        if (!pending && !audio) {
            reader.skip(number, QStringLiteral("names no audio file"));
            continue;
        }
        ListedEntry entry = pending ? *pending : ListedEntry{number, {}, {}, {}, -1};
        pending.reset();
        entry.path = path;
        out.entries << entry;
    }
    flushPending();
}

void readPls(const QList<QByteArray>& lines, const QString& folder, LineReader& reader, ReadPlaylist& out) {
    static const QRegularExpression keyValue(QStringLiteral("^(File|Title|Length)(\\d{1,9})=(.*)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression known(QStringLiteral("^(\\[playlist\\]|NumberOfEntries=.*|Version=.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    QMap<int, ListedEntry> byNumber;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray bytes = lines[i].trimmed();
        QString text;
        if (bytes.isEmpty() || !reader.text(bytes, i + 1, text) || text.startsWith(u';')) {
            continue;
        }
        const QRegularExpressionMatch m = keyValue.match(text);
        if (!m.hasMatch()) {
            if (!known.match(text).hasMatch()) {
                reader.skip(i + 1, QStringLiteral("is no entry of a PLS playlist"));
            }
            continue;
        }
        const int n = m.captured(2).toInt();
        ListedEntry& entry = byNumber[n];
        entry.line = n;
        const QString key = m.captured(1).toLower();
        const QString value = m.captured(3).trimmed();
        if (key == QLatin1String("file")) {
            entry.path = resolvePath(value, folder);
        } else if (key == QLatin1String("title")) {
            splitDisplay(value, entry);
        } else {
            entry.seconds = std::max<qint64>(-1, value.toLongLong());
        }
    }
    for (const ListedEntry& entry : byNumber) {
        if (!entry.path.isEmpty() || !entry.title.isEmpty()) {
            out.entries << entry;
        }
    }
}

QString entryName(const ListedEntry& entry) {
    QString said = entry.artist.isEmpty() ? entry.title : entry.artist + QStringLiteral(" - ") + entry.title;
    if (entry.path.isEmpty()) {
        return QStringLiteral("entry %1: %2").arg(entry.line).arg(said);
    }
    return said.isEmpty() ? QStringLiteral("entry %1: %2").arg(entry.line).arg(entry.path)
                          : QStringLiteral("entry %1: %2 (%3)").arg(entry.line).arg(entry.path, said);
}

} // namespace

QByteArray m3u8Text(const QVector<SongRecord>& songs, const M3uOptions& options) {
    const QDir folder = QFileInfo(options.playlistPath).absoluteDir();
    QByteArray out("#EXTM3U\n");
    out.reserve(songs.size() * 120);
    for (const SongRecord& song : songs) {
        QString display = displayOf(song);
        const QString path = trimTrailingBlanks(song.filePath);
        const QString fileNumber = oneLine(song.fileNumber);
        if (path.isEmpty() && !fileNumber.isEmpty()) {
            display += QStringLiteral(" (file number %1)").arg(fileNumber);
        }
        out += "#EXTINF:" + QByteArray::number(songSeconds(song)) + ',' + display.toUtf8() + '\n';
        if (path.isEmpty()) {
            continue;
        }
        QString written = options.relative ? folder.relativeFilePath(path) : path;
        if (written.startsWith(u'#')) {
            written.prepend(QStringLiteral("./")); // not read as a comment
        }
        out += written.toUtf8() + '\n';
    }
    return out;
}

QString writeM3u8(const QString& path, const QVector<SongRecord>& songs, bool relative, const QString& collectionDir) {
    const QByteArray text = m3u8Text(songs, {relative, path});
    OutputFile file(path, OutputFile::Existing::Replace, collectionDir);
    if (!file.begin()) {
        return file.error();
    }
    if (file.write(text) != text.size() || !file.commit()) {
        return file.error();
    }
    return {};
}

ReadPlaylist parsePlaylistText(const QByteArray& bytes, const QString& folder, bool utf8) {
    ReadPlaylist out;
    if (bytes.size() > kMaxPlaylistFileBytes) {
        out.refusal = QStringLiteral("is too big to be a playlist (%1 MB)").arg(bytes.size() / (1024 * 1024));
        return out;
    }
    if (bytes.contains('\0')) {
        out.refusal = QStringLiteral("holds binary data: it is not a playlist file");
        return out;
    }
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF")) {
        text.remove(0, 3);
        utf8 = true;
    }
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');
    LineReader reader(out, utf8);
    QByteArray first;
    for (const QByteArray& line : lines) {
        if (!line.trimmed().isEmpty()) {
            first = line.trimmed().toLower();
            break;
        }
    }
    if (first == "[playlist]") {
        readPls(lines, folder, reader, out);
    } else {
        readM3u(lines, folder, reader, out);
    }
    reader.finish();
    if (out.entries.isEmpty()) {
        out.refusal = reader.skips() > 0 ? QStringLiteral("holds no playlist entries (%1 lines are no entry)").arg(reader.skips())
                                         : QStringLiteral("holds no playlist entries");
    }
    return out;
}

ReadPlaylist readPlaylistFile(const QString& path) {
    ReadPlaylist out;
    QFile file(path);
    const QFileInfo info(path);
    if (info.isDir()) {
        out.refusal = QStringLiteral("is a folder");
        return out;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        out.refusal = QStringLiteral("cannot be read: %1").arg(file.errorString());
        return out;
    }
    if (file.size() > kMaxPlaylistFileBytes) {
        out.refusal = QStringLiteral("is too big to be a playlist (%1 MB)").arg(file.size() / (1024 * 1024));
        return out;
    }
    const QByteArray bytes = file.read(kMaxPlaylistFileBytes + 1);
    return parsePlaylistText(bytes, info.absolutePath(),
                             info.suffix().compare(QLatin1String("m3u8"), Qt::CaseInsensitive) == 0);
}

QStringList PlaylistImport::summary() const {
    QStringList lines;
    if (!refusal.isEmpty()) {
        lines << refusal;
    } else if (playlistId != 0) {
        lines << QStringLiteral("Playlist %1 \"%2\" was made with %3")
                     .arg(playlistId)
                     .arg(description, counted(entries, "entry", "entries"));
    }
    if (!unmatched.isEmpty()) {
        lines << (unmatched.size() == 1 ? QStringLiteral("1 entry matched no song of the collection:")
                                        : QStringLiteral("%1 entries matched no song of the collection:")
                                              .arg(unmatched.size()));
        for (const QString& name : someOf(unmatched)) {
            lines << QStringLiteral("  ") + name;
        }
    }
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Lines passed over:");
        for (const QString& line : skipped) {
            lines << QStringLiteral("  ") + line;
        }
    }
    return lines;
}

PlaylistImport importPlaylistFile(Database& db, const QString& path) {
    PlaylistImport result;
    const ReadPlaylist read = readPlaylistFile(path);
    result.skipped = read.skipped;
    if (!read.refusal.isEmpty()) {
        result.refusal = QStringLiteral("%1 %2; no playlist was made").arg(QDir::toNativeSeparators(path), read.refusal);
        return result;
    }
    const TableLease tables(db, {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
    if (!tables) {
        result.failed = true;
        return result;
    }
    Store& store = db.store();
    SongMatcher matcher(store);
    QVector<qint64> songIds;
    for (const ListedEntry& entry : read.entries) {
        qint64 id = 0;
        if (const StoreError e = matcher.match(entry.path, entry.artist, entry.title, entry.seconds, id)) {
            db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
            result.failed = true;
            return result;
        }
        if (id == 0) {
            result.unmatched << entryName(entry);
        } else {
            songIds << id;
        }
    }
    if (songIds.isEmpty()) {
        result.refusal = QStringLiteral("No entry of %1 is a song of the collection; no playlist was made")
                             .arg(QDir::toNativeSeparators(path));
        return result;
    }
    Transaction tx(store);
    PlaylistRecord made;
    StoreError e = tx.ok() ? addPlaylistOf(store, QFileInfo(path).completeBaseName(), songIds, made) : tx.beginError();
    if (!e) {
        e = tx.commit();
    }
    if (e) {
        tx.rollback();
        db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("PlaylistDetails"));
        result.failed = true;
        return result;
    }
    result.playlistId = made.playlistId;
    result.description = made.playlistDescription;
    result.entries = static_cast<int>(songIds.size());
    return result;
}

} // namespace tunarium
