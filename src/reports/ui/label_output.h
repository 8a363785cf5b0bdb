// Labels and binder pages on their way out of the windows: rendered into a page queue, shown in
// the preview window, printed through the print dialog; and the messages when there is nothing to
// print.
#pragma once

#include "data/row.h"
#include "reports/binder_pages.h"
#include "ui/procedure_registry.h"

namespace tunarium {

// The window a label window stands in front of (and disables while it is open): the window in the
// workspace it was started from, never the frame that holds the workspace, which must stay usable.
QWidget* windowCaller(const ProcedureContext& context);

// The label (saved or not) rendered and shown in the preview window; printing from there prints
// it. A picture that cannot print is said first.
void previewLabel(const ProcedureContext& context, const Row& label);
// "&Print" of the labels browse: "Do you wish to PREVIEW this Report?", then the preview or the
// print dialog.
void printLabelAsked(const ProcedureContext& context, const Row& label);

// Binder or flap pages of the range, in the progress window ("Generating Report"), then in the
// preview; "Nothing to Preview." when no album lies in the range.
void runBinderPages(const ProcedureContext& context, BinderStyle style, const BinderRange& range);

} // namespace tunarium
