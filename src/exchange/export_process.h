// The export run: every song in artist, title, mix order, one line each, as a process of 25
// songs per step. The header line is written before the run starts.
#pragma once

#include "data/database.h"
#include "exchange/delimited.h"
#include "exchange/exchange_files.h"
#include "exchange/export_choice.h"
#include "reports/process_runner.h"

#include <QHash>

#include <memory>

namespace tunarium {

inline constexpr int kExportSongsPerStep = 25;

// An open export file with its name, writing a line with Retry and Abort on failure.
class ExportFile {
public:
    explicit ExportFile(Prompter& prompter) : m_prompter(prompter) {}
    ~ExportFile();

    // Creates the file, replacing one that exists, and opens it for writing. On failure the user
    // has been told ("Cannot CREATE " or "Cannot OPEN ") and nothing is left behind.
    bool create(const QString& path);
    // Writes one line; on failure asks Retry or Abort ("Cannot ADD to " and the file name). False
    // when the user gave up.
    bool writeLine(const QString& line);
    // Closes the file; on failure tells the user ("Cannot CLOSE "). Safe to call twice.
    bool close();
    const QString& path() const { return m_path; }
    bool isOpen() const { return m_open; }

private:
    Prompter& m_prompter;
    DelimitedWriter m_writer;
    QString m_path;
    bool m_open = false;
};

// The header line: each field's name, quoted.
QString exportHeaderLine(const QVector<ExportField>& fields);

class ExportProcess final : public Process {
public:
    // The file is open (and holds the header line when one was asked for); the process writes
    // the songs and closes the file at its end.
    ExportProcess(Database& db, std::unique_ptr<ExportFile> file, QVector<ExportField> fields);
    ~ExportProcess() override;

    qint64 songsWritten() const { return m_written; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    bool readPage();
    QString categoryName(qint64 categoryId);
    QString buildLine(const Row& song);

    Database& m_db;
    std::unique_ptr<ExportFile> m_file;
    QVector<ExportField> m_fields;
    QVector<int> m_columns; // per export field: the song field, -2 for the category name, -1 none
    QVector<Row> m_page;
    int m_next = 0;
    bool m_lastPage = false;
    bool m_open = false;
    qint64 m_total = 0;
    qint64 m_written = 0;
    QHash<qint64, QString> m_categories;
    DelimitedLineBuilder m_builder;
};

// Creates the export file at `path`, writes the header line when `header` is set, and returns the
// run that writes the songs. Null when the file could not be made or the header line was given
// up; the user has been told, and no file is left open.
std::unique_ptr<ExportProcess> openExport(Database& db, Prompter& prompter, const QString& path,
                                          QVector<ExportField> fields, bool header);

} // namespace tunarium
