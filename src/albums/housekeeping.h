// The housekeeping processes of the collection: converting stored release dates to bare years
// ("Year Only"), and testing (and mending) the links between songs and albums. Both rewrite up
// to every song, so both commit in steps: a cancel or a crash keeps the steps done, never leaves
// a song half written, and other windows and copies of the program get the file between steps.
#pragma once

#include "albums/housekeeping_steps.h"
#include "data/database.h"

#include <QVector>

#include <optional>

namespace tunarium {

// Record numbers one statement of the date conversion covers; a step (one transaction) runs such
// statements until it is full.
inline constexpr int kDateConversionChunk = 250;
// Songs read from the album key at a time; a step handles as many pages as fit in it.
inline constexpr int kLinkTestPage = 500;

// Writes a dated copy of the collection ("tunarium-dates-YYYYMMDD-HHMMSS.db" beside it) before
// the year-only conversion, which cannot be undone otherwise. `written` receives its path.
StoreError backupBeforeYearOnly(Store& store, QString& written);
// The same before the album link test ("tunarium-links-YYYYMMDD-HHMMSS.db"), which rewrites the
// links of up to every song.
StoreError backupBeforeLinkTest(Store& store, QString& written);
// What the user is told when the year-only conversion ends: how many dates became years, whether
// it ran to its end, and where the copy from before it is.
QString yearOnlyReport(qint64 songs, qint64 albums, bool completed, const QString& backupPath);

// Replaces every release date of one table (songs or albums) that holds a day number by its
// year. Values of 3000 and below are years already (or 0, no date) and stay as they are; so does a
// date in the year 3000 or later, whose year would be taken for a day number.
class DateConversionProcess final : public HousekeepingSteps {
public:
    // `table` is TableId::Tunarium or TableId::Album.
    DateConversionProcess(Database& db, TableId table);
    ~DateConversionProcess() override;

    // Dates converted in the steps written so far.
    qint64 changed() const { return m_changed; }

protected:
    bool begin() override;
    // Converts the next kDateConversionChunk record numbers inside the step's transaction.
    bool handleNext() override;
    void end() override;
    void committed(qint64 written) override { m_changed += written; }

private:
    TableId m_table;
    int m_field;
    // Record numbers from m_first to m_last; those up to m_after are done.
    qint64 m_first = 0;
    qint64 m_last = 0;
    qint64 m_after = 0;
    qint64 m_changed = 0;
};

// The album link test: a song linked to an album that holds its album title stays so (the songs
// of a compilation kept under any album artist, not only "Various"). Every other song is linked
// to the album of its album title and artist, or failing that to the album of that title under
// the artist "Various", or to none (0) when neither exists; a song without an identifier gets the
// next free one. Only songs whose link or identifier changes are rewritten. Songs are walked in
// album order, so the album looked up last serves the songs that follow it.
class AlbumLinkTest final : public HousekeepingSteps {
public:
    explicit AlbumLinkTest(Database& db);
    ~AlbumLinkTest() override;

    // Songs whose link changed: all of them, and by kind (linked where they had no album, moved
    // to another album, unlinked because no album holds their title).
    qint64 relinked() const { return m_linked + m_moved + m_unlinked; }
    qint64 linked() const { return m_linked; }
    qint64 moved() const { return m_moved; }
    qint64 unlinked() const { return m_unlinked; }
    qint64 numbered() const { return m_numbered; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    bool readPage();
    // The album of the song's title and artist (or "Various"); nullopt when a read failed.
    std::optional<qint64> lookUp(const Row& song);
    // The song's album holds its album title; nullopt when a read failed.
    std::optional<bool> keepsItsAlbum(const Row& song);
    bool link(Row& song);

    QVector<Row> m_page;
    int m_next = 0;
    bool m_lastPage = false;
    KeyPosition m_position;
    qint64 m_total = 0;
    qint64 m_nextId = 0;
    qint64 m_linked = 0;
    qint64 m_moved = 0;
    qint64 m_unlinked = 0;
    qint64 m_numbered = 0;
    // The album whose title was read last for a linked song (the songs of an album follow one
    // another), its title folded.
    qint64 m_checkedAlbumId = 0;
    bool m_checkedExists = false;
    QString m_checkedTitle;
    bool m_haveLast = false;
    QString m_lastAlbum;
    QString m_lastArtist;
    qint64 m_lastAlbumId = 0;
};

// What the user is told when the link test ends: how many songs it linked, moved, unlinked and
// numbered, whether it ran to its end, and where the copy from before it is.
QString linkTestReport(const AlbumLinkTest& test, bool completed, const QString& backupPath);

} // namespace tunarium
