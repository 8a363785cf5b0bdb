// The album windows' procedures by name: the names the program starts them by, and the sections of
// the window-position file where the windows keep their places.
#pragma once

namespace tunarium::procedure {

// The album form: started with the request (an int of Request) and the album (ALB:AlbumID) as the
// argument, a QVariantList of the two; it answers through the context's answer with the album as
// saved.
inline constexpr char kUpdateAlbum[] = "UpdateAlbum";

} // namespace tunarium::procedure
