// The weekly chart: a playlist's order is its chart, and "Chart" copies each entry's current
// position into the entry's notes as last week's position, the marker " LW:" and the position.
// Running it again replaces the marker: every "LW:" with the digits after it (and the blank
// before it) is taken out first, so that an entry always carries one marker, whatever its
// position. The notes hold 40 characters: the note's own text gives way to the marker when both do
// not fit.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "process/process_runner.h"

#include <optional>

namespace tunarium {

inline constexpr char kChartMarker[] = "LW:";
// Entries charted per step of the process, and the count its progress is measured against.
inline constexpr int kChartEntriesPerStep = 25;
inline constexpr int kChartExpectedEntries = 50;

// The notes without any chart marker, trailing blanks removed.
QString withoutChartMarker(const QString& notes);
// The position the notes' chart marker holds (last week's); 0 when they hold none.
qint64 chartMarkerPosition(const QString& notes);
// The notes of an entry at `position` after Chart.
QString chartNotes(const QString& notes, qint64 position);

// The question Chart asks first (OK and Cancel, under "Warning").
PromptMessage chartQuestion();

// Walks the playlist's entries in order and writes each one's chart notes, a transaction per step.
// A failed write is told (warning 31, naming "Process:View") and ends the run.
class ChartProcess final : public Process {
public:
    ChartProcess(Database& db, qint64 playlistId);
    ~ChartProcess() override;

    qint64 entriesCharted() const { return m_charted; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;

private:
    bool readPage();
    bool failed(const StoreError& error);

    Database& m_db;
    qint64 m_playlistId;
    QVector<PlaylistEntryRecord> m_page;
    int m_next = 0;
    qint64 m_charted = 0;
    TableLease m_tables;
    std::optional<Transaction> m_transaction;
};

} // namespace tunarium
