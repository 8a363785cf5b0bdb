// The "Year Only" conversion as the Preferences window and the setup wizard run it: a dated copy
// of the collection first, then the song dates and the album dates each with its progress window,
// then what was done and where the copy is.
#pragma once

#include "shell/preferences.h"
#include "ui/procedure_registry.h"

#include <functional>

namespace tunarium {

// Runs the conversion; `then` is called when it is over, whatever became of it.
void runYearOnlyConversion(const ProcedureContext& context, std::function<void()> then);
// OK of Preferences and Finish of the setup wizard, after the settings were written: asks "Basic
// Format Changed" when "Year Only" is newly chosen and converts the dates on Yes; `then` is called
// when that is over (at once when nothing was asked or No was answered).
void settleDateFormat(const ProcedureContext& context, const PreferenceEditor& editor,
                      std::function<void()> then);

} // namespace tunarium
