// The program's own pictures (the icon and the frame's logo), kept as resources of the shell.
#pragma once

namespace tunarium {

// Makes the pictures available (resources of a static library); safe to call again.
void initShellResources();

} // namespace tunarium
