// The export run: every song in artist, title, mix order, one line each, as a process of 25
// songs per step. The header line is written before the run starts. The songs are read on a
// connection of the run's own, in one read transaction: the file holds the collection as it was
// when the run began, whatever another copy commits meanwhile (a restore, an import), and the
// program's other windows go on writing through their own connection.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "exchange/delimited.h"
#include "exchange/exchange_files.h"
#include "exchange/export_choice.h"
#include "process/process_runner.h"

#include <QHash>

#include <memory>
#include <optional>

namespace tunarium {

inline constexpr int kExportSongsPerStep = 25;

// An export file with its name, writing a line with Retry and Abort on failure. The lines go to
// a new file that takes the name only when the export is done: a file of that name stays as it
// was until then, and for good when the export fails.
class ExportFile {
public:
    explicit ExportFile(Prompter& prompter) : m_prompter(prompter) {}
    // An export neither closed nor abandoned is abandoned.
    ~ExportFile();

    // Makes the file ready for writing. On failure the user has been told ("Cannot CREATE ") and
    // nothing is left behind.
    bool create(const QString& path);
    // Writes one line; on failure asks Retry or Abort ("Cannot ADD to " and the file name). False
    // when the user gave up.
    bool writeLine(const QString& line);
    // Puts the file written in place; on failure tells the user ("Cannot CLOSE "), and a file
    // that was there stays as it was. Safe to call twice.
    bool close();
    // Gives the export up without telling anything more: a file that was there stays as it was.
    // A device written directly keeps what reached it and is closed as close() does.
    void abandon();
    const QString& path() const { return m_path; }
    bool isOpen() const { return m_open; }

private:
    Prompter& m_prompter;
    DelimitedWriter m_writer;
    QString m_path;
    bool m_open = false;
};

// Which songs an export writes and in which order: every song by artist, or the songs a saved
// search finds in its order.
struct ExportSelection {
    int key = tun::kSongsByArtist;
    SqlCondition songs; // empty: every song
};

// The header line: each field's name, quoted.
QString exportHeaderLine(const QVector<ExportField>& fields);

class ExportProcess final : public Process {
public:
    // The file is open (and holds the header line when one was asked for); the process writes
    // the songs and closes the file at its end.
    ExportProcess(Database& db, std::unique_ptr<ExportFile> file, QVector<ExportField> fields,
                  ExportSelection selection = {});
    ~ExportProcess() override;

    qint64 songsWritten() const { return m_written; }
    // The run could not read the songs, or a line could not be written and was given up (the
    // user was told): the file is then left as it was before the export.
    bool failed() const { return m_failed; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    bool readPage();
    QString categoryName(qint64 categoryId);
    QString buildLine(const Row& song);

    Database& m_db;
    TableLease m_tables;
    // The connection the songs are read on, and its one snapshot of the collection.
    std::unique_ptr<Store> m_reader;
    std::optional<ReadTransaction> m_snapshot;
    std::unique_ptr<ExportFile> m_file;
    QVector<ExportField> m_fields;
    ExportSelection m_selection;
    QVector<int> m_columns; // per export field: the song field, -2 for the category name, -1 none
    QVector<Row> m_page;
    int m_next = 0;
    bool m_lastPage = false;
    bool m_failed = false;
    qint64 m_total = 0;
    qint64 m_written = 0;
    QHash<qint64, QString> m_categories;
    DelimitedLineBuilder m_builder;
};

// Creates the export file at `path`, writes the header line when `header` is set, and returns the
// run that writes the songs. Null when the file could not be made or the header line was given
// up; the user has been told, and no file is left open. The collection's own file is refused
// before anything is written.
std::unique_ptr<ExportProcess> openExport(Database& db, Prompter& prompter, const QString& path,
                                          QVector<ExportField> fields, bool header,
                                          ExportSelection selection = {});

} // namespace tunarium
