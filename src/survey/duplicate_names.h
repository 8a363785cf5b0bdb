// The procedure name of "Find Duplicates", also its section of the window-position file.
#pragma once

namespace tunarium::procedure {

inline constexpr char kFindDuplicates[] = "FindDuplicates";

} // namespace tunarium::procedure
