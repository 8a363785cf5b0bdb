// The housekeeping processes of the collection: converting stored release dates to bare years
// ("Year Only"), and testing (and mending) the links between songs and albums. Both rewrite up
// to every song, so both commit in steps: a cancel or a crash keeps the steps done, never leaves
// a song half written, and other windows and copies of the program get the file between steps.
#pragma once

#include "data/database.h"
#include "process/process_runner.h"

#include <QElapsedTimer>
#include <QVector>

#include <optional>

namespace tunarium {

// Record numbers one statement of the date conversion covers; a step (one transaction) runs such
// statements until its time is up.
inline constexpr int kDateConversionChunk = 1000;
// Songs one step of the link test handles at most (one transaction).
inline constexpr int kLinkTestPerStep = 2000;
// A step of either ends once it took this long, so that the progress window answers at once.
inline constexpr int kHousekeepingStepMs = 20;

// Writes a dated copy of the collection ("tunarium-dates-YYYYMMDD-HHMMSS.db" beside it) before
// the year-only conversion, which cannot be undone otherwise. `written` receives its path.
StoreError backupBeforeYearOnly(Store& store, QString& written);
// What the user is told when the year-only conversion ends: how many dates became years, whether
// it ran to its end, and where the copy from before it is.
QString yearOnlyReport(qint64 songs, qint64 albums, bool completed, const QString& backupPath);

// Replaces every release date of one table (songs or albums) that holds a day number by its
// year. Values of 3000 and below are years already (or 0, no date) and stay as they are; so does a
// date in the year 3000 or later, whose year would be taken for a day number.
class DateConversionProcess final : public Process {
public:
    // `table` is TableId::Tunarium or TableId::Album.
    DateConversionProcess(Database& db, TableId table);
    ~DateConversionProcess() override;

    // Dates converted in the steps written so far.
    qint64 changed() const { return m_changed; }
    // A step that could not be written ended the run (the user was told); what was committed
    // before it stays.
    bool failed() const { return m_failed; }

protected:
    bool begin() override;
    // Converts the next kDateConversionChunk record numbers inside the step's transaction.
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;

private:
    bool fail(const StoreError& error);

    Database& m_db;
    QElapsedTimer m_stepClock;
    TableId m_table;
    int m_field;
    bool m_open = false;
    bool m_failed = false;
    std::optional<Transaction> m_transaction;
    // Record numbers from m_first to m_last; those up to m_after are done.
    qint64 m_first = 0;
    qint64 m_last = 0;
    qint64 m_after = 0;
    qint64 m_stepChanged = 0;
    qint64 m_changed = 0;
};

// The album link test: every song is linked to the album of its album title and artist, or
// failing that to the album of that title under the artist "Various", or to none (0) when
// neither exists; a song without an identifier gets the next free one. Only songs whose link or
// identifier changes are rewritten. Songs are walked in album order, so the album looked up last
// serves the songs that follow it.
class AlbumLinkTest final : public Process {
public:
    explicit AlbumLinkTest(Database& db);
    ~AlbumLinkTest() override;

    qint64 relinked() const { return m_relinked; }
    qint64 numbered() const { return m_numbered; }
    bool failed() const { return m_failed; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;

private:
    bool readPage();
    // The album of the song's title and artist (or "Various"); nullopt when a read failed.
    std::optional<qint64> lookUp(const Row& song);
    bool link(Row& song);
    bool fail(const StoreError& error);

    Database& m_db;
    QElapsedTimer m_stepClock;
    bool m_open = false;
    bool m_failed = false;
    QVector<Row> m_page;
    int m_next = 0;
    bool m_lastPage = false;
    KeyPosition m_position;
    qint64 m_total = 0;
    qint64 m_nextId = 0;
    qint64 m_relinked = 0;
    qint64 m_numbered = 0;
    std::optional<Transaction> m_transaction;
    bool m_haveLast = false;
    QString m_lastAlbum;
    QString m_lastArtist;
    qint64 m_lastAlbumId = 0;
};

} // namespace tunarium
