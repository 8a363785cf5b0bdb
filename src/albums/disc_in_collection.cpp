// The albums that hold a disc just read.
#include "albums/disc_in_collection.h"

#include "data/fold_key.h"
#include "data/key_walk.h"

namespace tunarium {

namespace {

QString keyText(const QString& text) {
    return foldKey(trimTrailingBlanks(text));
}

bool listed(const QVector<DiscHolder>& holders, qint64 albumId) {
    for (const DiscHolder& h : holders) {
        if (h.album.albumId == albumId) {
            return true;
        }
    }
    return false;
}

// Every album whose `key` (of one field) holds `value`, in key order, a page at a time.
template <class Take> StoreError eachAlbumWith(Store& store, int key, const QString& value, Take take) {
    KeyWalk walk(store, TableId::Album, key, {{value}});
    return walk.forEach([&take](const Row& row) {
        take(fromRow<AlbumRecord>(row));
        return true;
    });
}

} // namespace

StoreError albumsHoldingDisc(Store& store, const AlbumRecord& disc, QVector<DiscHolder>& out) {
    out.clear();
    const QString identifier = keyText(disc.cdIdentifier);
    const auto other = [&disc](const AlbumRecord& album) {
        return disc.albumId == 0 || album.albumId != disc.albumId;
    };
    if (!identifier.isEmpty()) {
        const StoreError e = eachAlbumWith(store, alb::kKeyCdIdentifier, disc.cdIdentifier, [&](AlbumRecord album) {
            if (other(album)) {
                out.push_back({std::move(album), DiscMatch::CdIdentifier});
            }
        });
        if (e) {
            return e;
        }
    }
    if (keyText(disc.xccd).isEmpty()) {
        return {};
    }
    return eachAlbumWith(store, alb::kKeyOrderXccd, disc.xccd, [&](AlbumRecord album) {
        const QString itsIdentifier = keyText(album.cdIdentifier);
        const bool anotherDisc = !itsIdentifier.isEmpty() && !identifier.isEmpty() && itsIdentifier != identifier;
        if (other(album) && !anotherDisc && !listed(out, album.albumId)) {
            out.push_back({std::move(album), DiscMatch::DiscId});
        }
    });
}

QString albumPlace(const AlbumRecord& album) {
    QString place;
    const QString fileNumber = trimTrailingBlanks(album.fileNumber);
    if (!fileNumber.isEmpty()) {
        place = QStringLiteral("file number ") + fileNumber + QStringLiteral(", ");
    }
    return place + trimTrailingBlanks(album.artist) + QStringLiteral(" \u2013 ") + trimTrailingBlanks(album.album);
}

QString discInCollectionText(const QVector<DiscHolder>& holders) {
    if (holders.isEmpty()) {
        return {};
    }
    QString text = QStringLiteral("This disc is in the collection: ") + albumPlace(holders.first().album);
    const qsizetype more = holders.size() - 1;
    if (more == 1) {
        text += QStringLiteral(", and 1 more album");
    } else if (more > 1) {
        text += QStringLiteral(", and %1 more albums").arg(more);
    }
    return text;
}

} // namespace tunarium
