// Commands of tunarium-cli. Exit status: 0 done, 1 failed, 2 bad usage; messages go to
// standard error, results to standard output.
#pragma once

#include "data/prompter.h"

#include <QStringList>
#include <QVector>
#include <QTextStream>

namespace tunarium {
class Process;
}

namespace tunarium::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int run(const QStringList& args);

// Standard output and standard error.
QTextStream& out();
QTextStream& err();
// The usage text --help prints.
QString usageText();
// Tells a usage problem and the usage; returns kExitUsage.
int usage(const QString& problem);
// Tells a failure; returns kExitFailure.
int fail(const QString& message);

// What a command needs of the file in the collection directory: a collection this version
// reads (Readable); one that is ours to salvage, which may be damaged past reading (Ours, for
// repair); any file at all, which it replaces (AnyFile, for restore).
enum class CollectionNeed { Readable, Ours, AnyFile };

// Whether `dir` holds a collection; when it does not, says so (and how to make one) and returns
// false. Every command but info and import works only on an existing collection: it never
// makes one (nor the directory). Another program's file, or a collection of a newer version, is
// refused with the words for it (as is a file that is no database, unless the need is Ours).
bool requireCollection(const QString& dir, CollectionNeed need = CollectionNeed::Readable);
// Says that the collection in `dir` is damaged and how to repair it; returns kExitFailure.
int damaged(const QString& dir);

// Messages go to standard error and take their default answer: the command line runs
// unattended.
class CliPrompter : public RecordingPrompter {
public:
    int message(const PromptMessage& m) override;
    void halt(const QString& text) override;
};

// Runs a process to its end, showing its title and percent line on standard error unless quiet.
// True when it completed.
bool runWithProgress(Process& process, bool quiet);

// The import and export commands; `args` are the command's own arguments, `dir` the collection
// directory named before the command (a --dir among the arguments changes it).
int runImport(QString& dir, const QStringList& args);
int runExport(QString& dir, const QStringList& args);
// The playlist files: `playlist export ID --m3u8 FILE [--relative]` and `playlist import FILE`
// (`args` the playlist command's own), and `export --rekordbox FILE [--playlist ID]...` and
// `import --rekordbox FILE` (the export's and the import's own).
int runPlaylistFile(QString& dir, const QStringList& args);
int runRekordbox(QString& dir, const QStringList& args, bool exporting);
// Whether the arguments give `--NAME` (alone or as --NAME=VALUE).
bool givesOption(const QStringList& args, const char* name);
// The first argument that is no option (nor the value of --dir); empty when none.
QString firstWord(const QStringList& args);
// The scan command (`scan DIR... [--quiet]`): songs from the audio files under the folders.
int runScan(QString& dir, const QStringList& args);
// The report command: `report --list`, or `report NAME --pdf FILE` and its choices.
int runReport(QString& dir, const QStringList& args);
// The label command (`label ID --pdf FILE`) and the binder command (`binder --from N --to N
// [--flap] --pdf FILE`).
int runLabel(QString& dir, const QStringList& args);
int runBinder(QString& dir, const QStringList& args);
// The stats command (`stats [--json]`): the figures of the collection's statistics.
int runStats(QString& dir, const QStringList& args);
// Whether the arguments of tunarium-cli name a command that paints (a report): it needs the
// program's fonts and paint devices, not only its core.
bool commandPaints(const QStringList& args);

// What a command does with the collection directory: makes a collection where there is none
// (info, import), needs one there (the command tells its absence after reading its arguments),
// or needs one only for part of its work (cd looks the disc up in one when there is one; report
// --list names the reports without one).
enum class CommandCollection { Makes, Needed, Optional };

// One command of tunarium-cli: its name, its lines in the usage text, what it does with the
// collection, whether it paints, and what runs it on the arguments after its name (`dir` the
// collection directory named before it; a --dir among the arguments changes it).
struct CliCommand {
    const char* name;
    const char* usage;
    CommandCollection collection;
    bool paints;
    int (*run)(QString& dir, const QStringList& args);
};

// Every command, in the order of the usage text.
const QVector<CliCommand>& cliCommands();
// The command of that name; null for none.
const CliCommand* findCommand(const QString& name);

} // namespace tunarium::cli
