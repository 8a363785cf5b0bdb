// What the user chooses for an export, whichever way it is started: the file, the song fields
// written in their order with their pictures, and the header line. The window "Choose Fields for
// Export..." fills it from its lists (ExportChoice::options); the command line from its options.
// Both then open the export the one way below.
#pragma once

#include "exchange/export_process.h"

namespace tunarium {

struct ExportOptions {
    QString file;
    // Every exportable field with its usual picture, unless the user chose otherwise.
    QVector<ExportField> fields = exportableFields();
    bool header = true;
    // The songs written and their order: every song by artist unless a saved search chose them.
    ExportSelection selection;
};

// Writes the fields named in `list` ("TUN:Artist,TUN:Title"), in that order, each once however
// often it is named. Returns what is wrong (a name that is no exportable field); empty when none.
QString chooseExportFields(ExportOptions& options, const QString& list);
// Writes the field `name` (among those chosen) through `picture`. Returns what is wrong; empty
// when none.
QString setExportPicture(ExportOptions& options, const QString& name, const QString& picture);

// What the window's lists say, for `file`.
ExportOptions exportOptionsOf(const ExportChoice& choice, const QString& file);

// Creates the export file and returns the run that writes the songs; null when the file could not
// be made (the user was told). See openExport.
std::unique_ptr<ExportProcess> openExport(Database& db, Prompter& prompter, const ExportOptions& options);

} // namespace tunarium
