// Whether a disc just read is in the collection already: the albums that hold its CD identifier
// (ALB:KeyCDIdentifier) or its CDDB number (ALB:XCCD, through ALB:KeyOrderXCCD), read through
// the keys. The add wizards, the album wizard and `tunarium-cli cd identify` tell the user
// with the same line; the album wizard refuses a disc whose identifier another album holds.
#pragma once

#include "data/records.h"
#include "data/store.h"

#include <QVector>

namespace tunarium {

// What an album holds of the disc.
enum class DiscMatch {
    CdIdentifier, // the disc's CD identifier: the same disc (the key is unique)
    DiscId,       // the disc's CDDB number, with no CD identifier of another disc
};

struct DiscHolder {
    AlbumRecord album;
    DiscMatch match = DiscMatch::CdIdentifier;
};

// The albums other than `disc` itself (by ALB:AlbumID; 0 leaves none out) that hold the disc
// whose identifiers `disc` carries (`cdIdentifier`, `xccd`, as the read filled them): the album
// with its CD identifier first, then those with its CDDB number in the key's order. A CDDB number
// is only the disc's total length and track count, which other discs share now and then: an
// album whose CD identifier is another disc's does not hold this one by its CDDB number. Blank
// identifiers find nothing. The Album table must be open.
StoreError albumsHoldingDisc(Store& store, const AlbumRecord& disc, QVector<DiscHolder>& out);

// Where an album stands on the shelf: "file number F000123, Abba – Arrival" (the album's artist
// and name alone when it has no file number).
QString albumPlace(const AlbumRecord& album);

// "This disc is in the collection: file number F000123, Abba – Arrival", with ", and 2 more
// albums" when others hold it too; empty when none does.
QString discInCollectionText(const QVector<DiscHolder>& holders);

} // namespace tunarium
