// The rule of the house for OK buttons: every one is made by the row in src/ui (ui/ok_cancel_row.h),
// so that OK has one caption and one place in every form and dialog.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::test {

// Every line under `sourceRoot` outside src/ui/ok_cancel_row.cpp whose string literals hold an
// OK button's caption ("&OK", "&Ok" in any letter case), as "src/PATH:LINE: text". Comments are
// not read.
QStringList okCaptionViolations(const QString& sourceRoot);

} // namespace tunarium::test
