// The frame's own actions that act on other widgets: the clipboard commands on the focused
// control, and lining up the minimized windows of the workspace.
#pragma once

#include "shell/frame_commands.h"

class QMdiArea;
class QWidget;

namespace tunarium {

// Cut, Copy or Paste on `target` (the focused control). False when the control takes no part
// in the clipboard.
bool clipboardAction(FrameCommand command, QWidget* target);
// Whether Cut, Copy or Paste would do something on `target` now: text selected to cut or copy
// (cut only where it may be changed), text on the clipboard to paste where it may be changed.
bool clipboardActionAvailable(FrameCommand command, QWidget* target);

// Lines up the minimized windows of the workspace along its bottom edge, left to right.
void arrangeIcons(QMdiArea* workspace);

} // namespace tunarium
