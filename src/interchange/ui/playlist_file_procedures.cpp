// The export and import of playlist files, through the prompter's file dialogs.
#include "interchange/ui/playlist_file_procedures.h"

#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "interchange/m3u_playlist.h"
#include "interchange/rekordbox_xml.h"
#include "playlists/procedure_names.h"

#include <QFileInfo>

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
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".m3u8");
    }
    const int relative = context.prompter.message(
        {kExportCaption, QStringLiteral("Write each song's file as a path relative to the playlist file's folder?\n"
                                        "(No writes the whole path.)"),
         PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo});
    QVector<SongRecord> songs;
    StoreError e;
    {
        const TableLease tables(context.db, {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
        if (!tables) {
            return;
        }
        e = playlistSongs(context.db.store(), id, songs);
    }
    QString problem = e ? QStringLiteral("The playlist cannot be read: %1").arg(e.describe()) : QString();
    if (problem.isEmpty()) {
        problem = writeM3u8(path, songs, relative == kButtonYes, context.db.collectionDir());
    }
    tell(context.prompter, kExportCaption,
         {problem.isEmpty() ? QStringLiteral("%1 entries written to %2").arg(songs.size()).arg(path) : problem},
         !problem.isEmpty());
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
    registry.add(QString::fromLatin1(procedure::kImportPlaylistFile), importPlaylistFileFrom);
}

} // namespace tunarium
