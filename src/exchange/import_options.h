// What the user chooses for an import besides its file, whichever way it is started: the song
// field each column of the file goes to, the pictures columns are read through, whether the
// first line is a header, and whether album entries are made for the new songs afterwards. The
// assignment window fills these as the user works it; the command line fills them from its
// options. Both then go the one way below: the choices put on the setup, the run made from it,
// the album entries after it.
#pragma once

#include "albums/album_entries.h"
#include "exchange/import_process.h"

#include <QPair>
#include <QVector>

#include <memory>
#include <optional>

namespace tunarium {

// A column by its name ("Field_3") and what it is given: a song field ("TUN:Artist") or a picture.
using ColumnChoice = QPair<QString, QString>;

struct ImportOptions {
    QString file;
    // Columns and the song fields they go to; none: A&uto pairs the columns with the song fields
    // the file's first line names.
    QVector<ColumnChoice> assignments;
    // Columns and the pictures they are read through; a picture given stands over A&uto's.
    QVector<ColumnChoice> pictures;
    // Whether the first line is left out; none: as A&uto found it.
    std::optional<bool> stripHeader;
    bool createAlbums = true;
};

// Puts the choices on a setup whose file is open, as the window's buttons do: the pictures, A&uto
// when no assignment is given, the assignments, the header. Returns what is wrong with a choice
// (a column the file does not have, a song field an import cannot fill, a picture without "@");
// empty when every choice was taken.
QString applyImportOptions(ImportSetup& setup, const ImportOptions& options);

// What keeps the choices from making a run: no column assigned ("You must select one or more
// fields to import."); empty when they make one.
QString importRunProblem(const ImportSetup& setup);
// The run of an import whose choices are made (OK in the window), once importRunProblem has
// nothing to say. The setup is spent.
std::unique_ptr<ImportProcess> makeImportRun(Database& db, ImportSetup& setup);

// After a run: album entries for the songs the run added (those alone) when the user chose them
// and the run added songs.
std::unique_ptr<AlbumEntriesProcess> albumEntriesAfter(Database& db, const ImportProcess& run,
                                                       const ImportOptions& options);

} // namespace tunarium
