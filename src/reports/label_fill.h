// Filling a label in one step: its description, spine, titles and flap from an album or from a
// file number, and its contents from the songs of either (at most kMaxLabelTracks of them).
#pragma once

#include "data/row.h"
#include "data/store.h"
#include "reports/label_text.h"

namespace tunarium {

// What a label was filled from last; the wizard remembers it.
enum class LabelFillSource { None, Album, Number };

struct LabelFillOptions {
    // The setting `LabelArtistTitleOrder` begins with "A": the artist before the title.
    bool artistFirst = false;
    // The setting `Delimiter` ("Track #/Song Delimiter").
    QString delimiter;
};

struct LabelFill {
    // The songs that made the contents; with none the contents and the picture were left alone.
    int tracks = 0;
    // A read error that ended the walk of the songs; the label keeps what was filled before it.
    StoreError error;
};

// The line of a song in a label's track list: its title; " - " and its turned artist when the
// song's artist is not the album's (the artist first with `artistFirst`); then its time.
QString labelTrackText(const Row& song, const QString& albumArtist, bool artistFirst);

// The label `label` (a Labels row) filled from `album` (an Album row) and its songs.
LabelFill fillLabelFromAlbum(Store& store, const Row& album, const LabelFillOptions& options, Row& label);

// The label filled from the file number of `song` (the first song of that number): the songs of
// the same media and file number, or, when the song has no file number, those of its album title.
LabelFill fillLabelFromFileNumber(Store& store, const Row& song, const LabelFillOptions& options, Row& label);

// A new label as the form starts it: type "Cassette", image size "Thumbnail" of 1000 by "1000",
// and `labelId`.
Row newLabel(qint64 labelId);

} // namespace tunarium
