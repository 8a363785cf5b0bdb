// What import and export share around their files: the error of a failed file operation as the
// messages show it, the messages themselves, and the last file name used in this run.
#pragma once

#include "data/output_file.h"
#include "data/prompter.h"

#include <QString>

namespace tunarium {

// The file dialogs' filters.
inline constexpr char kImportFileFilter[] = "Import Files|*.CSV|All Files|*.*";
inline constexpr char kExportFileFilter[] = "Export Files|*.CSV|All Files|*.*";
// A picture the user gives for a column or a field must begin with "@".
inline constexpr char kPictureRule[] = "Pictures must begin with \"@\"";
// A picture holds at most this many characters.
inline constexpr int kExchangePictureWidth = 30;

// What is wrong with a picture given for a column or a field (as it is kept, cut to its room):
// kPictureRule without "@", a sentence naming it when it is no picture ("@x3", "@s", "@d99");
// empty when it is one.
QString pictureProblem(const QString& picture);

// A failed file operation: the runtime's error code and text ("File Not Found" for 2 ...; for
// any other failure 90 with the system's own text).
struct FileError {
    int code = 0;
    QString text;
    // A sentence that says what went wrong better than a number does; shown instead of it.
    QString sentence;

    bool ok() const { return code == 0; }
    // "Error #2 - File Not Found", or the sentence.
    QString message() const;
};

// The error for the system error number `err` (errno), after a failed open, read or write.
FileError fileErrorFromErrno(int err);

// For a path that names something other than a file: "PATH is a directory, not a file." or
// "PATH is not a regular file." (a device, a pipe). No error for a file, or for a path that
// names nothing yet. A link counts as what it leads to.
FileError notAFileError(const QString& path);

enum class FileUse { Import, Export };
// The error of an import or export aimed at the collection's own file.
FileError collectionFileError(const QString& path, FileUse use);

// The message of a failed file operation: caption `caption` + the file name, "Error #" text,
// stop icon, OK only ("Cannot OPEN ", "Cannot CREATE ", "Cannot CLOSE ").
PromptMessage fileFailureMessage(const QString& caption, const QString& fileName, const FileError& error);

// The file last used by an import or an export in this run; an export's file dialog starts with it.
QString lastExchangeFile();
void setLastExchangeFile(const QString& path);

} // namespace tunarium
