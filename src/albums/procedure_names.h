// The albums' procedures by name: the names the program starts their windows by, and the sections
// of the window-position file where the windows keep their places. The selection lists
// (SelectAlbum, SelectFileNumber) are named with the catalogue's, whose song form starts them.
#pragma once

#include "catalogue/procedure_names.h" // UpdateAlbum, CreateLabel, QuickCDInsert: started from the catalogue too
#include "catalogue/request.h"

#include <QVariant>

namespace tunarium::procedure {

inline constexpr char kBrowseAlbums[] = "BrowseAlbums";
inline constexpr char kAlbumWizard[] = "AlbumWizard";

} // namespace tunarium::procedure

namespace tunarium {

// What the album form (UpdateAlbum) is started on: the request (Insert, Copy, Change or Delete) and the
// album's ALB:AlbumID (0 for an Insert; the source album for a Copy).
struct AlbumFormCall {
    Request request = Request::None;
    qint64 albumId = 0;
};

inline QVariant albumFormArgument(const AlbumFormCall& call) {
    return QVariantList{static_cast<int>(call.request), call.albumId};
}

inline AlbumFormCall albumFormCall(const QVariant& argument) {
    const QVariantList list = argument.toList();
    if (list.size() != 2) {
        return {};
    }
    return {static_cast<Request>(list[0].toInt()), list[1].toLongLong()};
}

} // namespace tunarium
