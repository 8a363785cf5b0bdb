// Rewrites of a field over a range of records made by one statement inside the file, for the
// housekeeping work that would otherwise read every record and rewrite it one by one. Each works
// on the records numbered above `afterRec` up to `throughRec`, so that its caller can commit a
// range at a time.
#pragma once

#include "data/dictionary.h"
#include "data/store_error.h"

namespace tunarium {

class StoreBulk {
public:
    StoreBulk() = default;
    virtual ~StoreBulk() = default;
    StoreBulk(const StoreBulk&) = delete;
    StoreBulk& operator=(const StoreBulk&) = delete;

    // Replaces the date in the number field `field` of each record in the range by its year, where
    // the value is a day number (above kBareYearLimit, up to kLastDayNumber) whose year is below
    // kBareYearLimit: a year of 3000 or more would read as a day number again, so such a date keeps
    // its day. Every rewritten record's version goes up, so that a window holding it from before
    // sees the change. `changed` receives how many records were rewritten.
    virtual StoreError daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec,
                                   qint64& changed) = 0;

    // Files the songs numbered in the range that name an album but are linked to none: each is
    // linked to the album of its album title and artist, or failing that to the album of that
    // title under `compilationArtist`; where neither exists an album is made, from the facts of
    // the first song in record order that needs it (its notes, file number, artist, album title,
    // media, release date and category), numbered after the highest album ID. Albums are made in
    // the order of those first songs, so that a range gives what filing its songs one by one in
    // record order would give. All of it or nothing: a failure leaves the range as it was.
    // Every linked song's version goes up. On failure `failedTable` names the table whose write
    // failed.
    struct AlbumFiling {
        qint64 albumsMade = 0;
        qint64 songsLinked = 0;
        TableId failedTable = TableId::Tunarium;
    };
    virtual StoreError fileSongsUnderAlbums(qint64 afterRec, qint64 throughRec, const QString& compilationArtist,
                                            AlbumFiling& filed) = 0;
};

} // namespace tunarium
