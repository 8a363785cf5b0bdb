// Upgrade progress on standard error.
#include "cli/upgrade_lines.h"

#include <cmath>

namespace tunarium::cli {

UpgradeLines::UpgradeLines(QTextStream& stream, bool quiet)
    : m_stream(stream),
      m_scope(quiet ? UpgradeProgress{} : UpgradeProgress{[this](const UpgradeStep& s) { tell(s); }}) {}

UpgradeLines::~UpgradeLines() {
    if (!m_current.isEmpty()) {
        m_stream << "\n";
        m_stream.flush();
    }
}

void UpgradeLines::tell(const UpgradeStep& step) {
    const QString text = upgradeStepText(step);
    const int percent = static_cast<int>(std::floor(step.fraction * 100));
    if (text == m_current && percent == m_percent) {
        return;
    }
    if (text != m_current && !m_current.isEmpty()) {
        m_stream << "\n";
    }
    m_current = text;
    m_percent = percent;
    m_stream << "\rUpgrading the collection: " << text << "... " << percent << "%   ";
    m_stream.flush();
}

} // namespace tunarium::cli
