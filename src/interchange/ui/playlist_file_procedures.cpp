// The export and import of playlist files, through the prompter's file dialogs.
#include "interchange/ui/playlist_file_procedures.h"

#include "data/records.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "interchange/m3u_playlist.h"
#include "interchange/rekordbox_xml.h"
#include "playlists/procedure_names.h"

#include <QFileInfo>

#include <functional>

namespace tunarium {

namespace {

const QString kExportCaption = QStringLiteral("Export Play List");
const QString kImportCaption = QStringLiteral("Import Play List");

void tell(Prompter& prompter, const QString& caption, const QStringList& lines, bool troubled) {
    prompter.message({caption, lines.join(u'\n'), troubled ? PromptIcon::Exclamation : PromptIcon::Information,
                      kButtonOk, kButtonOk});
}

bool isXml(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0;
}

// Asks whether the paths go relative, reads the songs (`songs` false when it could not: told) and
// writes them to `path` as M3U8, telling what it wrote.
void writeM3u8File(const ProcedureContext& context, QString path,
                   const std::function<bool(QVector<SongRecord>&)>& songsToWrite) {
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".m3u8");
    }
    const int relative = context.prompter.message(
        {kExportCaption, QStringLiteral("Write each song's file as a path relative to the playlist file's folder?\n"
                                        "(No writes the whole path.)"),
         PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo});
    QVector<SongRecord> songs;
    if (!songsToWrite(songs)) {
        return;
    }
    const QString problem = writeM3u8(path, songs, relative == kButtonYes, context.db.collectionDir());
    tell(context.prompter, kExportCaption,
         {problem.isEmpty() ? QStringLiteral("%1 entries written to %2").arg(songs.size()).arg(path) : problem},
         !problem.isEmpty());
}

} // namespace

void exportPlaylistFileFrom(const ProcedureContext& context) {
    const qint64 id = context.argument.toLongLong();
    if (id <= 0) {
        return;
    }
    QString path = context.prompter.chooseSaveFile(kExportCaption, {},
                                                   QStringLiteral("M3U8 Playlist (*.m3u8);;Rekordbox XML (*.xml)"));
    if (path.isEmpty()) {
        return;
    }
    if (isXml(path)) {
        const RekordboxExport written = exportRekordbox(context.db, path, {id});
        tell(context.prompter, kExportCaption, written.summary(), !written.error.isEmpty() || written.leftOut > 0);
        return;
    }
    writeM3u8File(context, path, [&](QVector<SongRecord>& songs) {
        const TableLease tables(context.db, {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
        if (!tables) {
            return false;
        }
        if (const StoreError e = playlistSongs(context.db.store(), id, songs)) {
            tell(context.prompter, kExportCaption, {QStringLiteral("The playlist cannot be read: %1").arg(e.describe())},
                 true);
            return false;
        }
        return true;
    });
}

void exportSearchFileFrom(const ProcedureContext& context) {
    const qint64 searchId = context.argument.toLongLong();
    if (searchId <= 0) {
        return;
    }
    const QString path = context.prompter.chooseSaveFile(kExportCaption, {}, QStringLiteral("M3U8 Playlist (*.m3u8)"));
    if (path.isEmpty()) {
        return;
    }
    writeM3u8File(context, path, [&](QVector<SongRecord>& songs) {
        const TableLease tables(context.db, {TableId::Tunarium, TableId::Categories, TableId::SavedSearches});
        if (!tables) {
            return false;
        }
        SavedSearchRecord search;
        StoreError e = context.db.store().get(ssr::kKeySearchId, {searchId}, search);
        if (!e) {
            e = foundSongs(context.db.store(), search, songs);
        }
        if (e) {
            tell(context.prompter, kExportCaption,
                 {QStringLiteral("The saved search cannot be read: %1").arg(e.describe())}, true);
            return false;
        }
        return true;
    });
}

void importPlaylistFileFrom(const ProcedureContext& context) {
    const QString path = context.prompter.chooseOpenFile(
        kImportCaption, {}, QStringLiteral("Playlists (*.m3u8 *.m3u *.pls *.xml);;All Files (*)"));
    if (path.isEmpty()) {
        return;
    }
    if (isXml(path)) {
        const RekordboxImport read = importRekordbox(context.db, path);
        if (!read.failed) {
            tell(context.prompter, kImportCaption, read.summary(), !read.refusal.isEmpty() || !read.skipped.isEmpty());
        }
        return;
    }
    const PlaylistImport made = importPlaylistFile(context.db, path);
    if (!made.failed) {
        tell(context.prompter, kImportCaption, made.summary(), made.playlistId == 0 || !made.unmatched.isEmpty());
    }
}

void registerInterchangeProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kExportPlaylistFile), exportPlaylistFileFrom);
    registry.add(QString::fromLatin1(procedure::kExportSearchFile), exportSearchFileFrom);
    registry.add(QString::fromLatin1(procedure::kImportPlaylistFile), importPlaylistFileFrom);
}

} // namespace tunarium
