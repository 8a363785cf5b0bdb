// The upgrade of an older collection on the command line: while an UpgradeLines lives, the steps
// of an upgrade are shown on standard error as check shows its progress, a line a step, its
// percent rewritten in place.
#pragma once

#include "data/upgrade_progress.h"

#include <QString>
#include <QTextStream>

namespace tunarium::cli {

class UpgradeLines {
public:
    // Quiet: nothing is shown.
    UpgradeLines(QTextStream& stream, bool quiet);
    ~UpgradeLines();
    UpgradeLines(const UpgradeLines&) = delete;
    UpgradeLines& operator=(const UpgradeLines&) = delete;

private:
    void tell(const UpgradeStep& step);

    QTextStream& m_stream;
    QString m_current;
    int m_percent = -1;
    UpgradeListenerScope m_scope;
};

} // namespace tunarium::cli
