// Pieces the albums room's windows share: the four move buttons beside a hand-ordered list, the
// line a wizard's step begins with, and the window a wizard stands in front of.
#pragma once

#include "catalogue/move_routine.h"
#include "ui/procedure_registry.h"

#include <QList>

#include <functional>

class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace tunarium {

// The four moves (to the top, up one, down one, to the bottom) as arrow buttons in a column,
// each with its tip; the buttons are appended to `buttons`.
QVBoxLayout* makeMoveColumn(QWidget* owner, std::function<void(MoveDirection)> moved,
                            QList<QPushButton*>& buttons);

// The bold line a wizard's step begins with ("Step 1:  Select the kind of album you are adding.").
QLabel* stepLabel(const QString& text);

// The window a wizard stands in front of: a window in the workspace (a browse), never the frame
// that holds the workspace, which must stay usable around the wizard.
QWidget* wizardCaller(const ProcedureContext& context);

} // namespace tunarium
