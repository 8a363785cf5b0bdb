// The files room's procedures by name: the name the frame starts its window by.
#pragma once

namespace tunarium::procedure {

inline constexpr char kAddMusicFiles[] = "AddMusicFiles";

} // namespace tunarium::procedure
