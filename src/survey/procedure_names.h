// The survey room's procedures by name: the names the frame starts its windows by, and the
// sections of the window-position file where the windows keep their places.
#pragma once

namespace tunarium::procedure {

inline constexpr char kCollectionStatistics[] = "CollectionStatistics";

} // namespace tunarium::procedure
