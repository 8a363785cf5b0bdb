// Progress of the upgrade of an older collection.
#include "data/upgrade_progress.h"

#include "data/store_connection.h"

#include <algorithm>

namespace tunarium {

namespace {

struct Listener {
    UpgradeProgress progress;
    int repeatMs = kUpgradeRepeatMs;
};

Listener& listenerSlot() {
    static Listener listener;
    return listener;
}

QString tableWords(TableId table) {
    switch (table) {
    case TableId::Tunarium:
        return QStringLiteral("the songs");
    case TableId::Album:
        return QStringLiteral("the albums");
    default:
        return tableDef(table).label;
    }
}

} // namespace

QString upgradeStepText(const UpgradeStep& step) {
    switch (step.phase) {
    case UpgradePhase::BackingUp:
        return QStringLiteral("Backing up the collection");
    case UpgradePhase::Rewriting:
        return QStringLiteral("Rewriting ") + tableWords(step.table);
    case UpgradePhase::BuildingKeys:
        return QStringLiteral("Building the keys of ") + tableWords(step.table);
    case UpgradePhase::BuildingSearchIndex:
        return QStringLiteral("Building the search index");
    }
    return {};
}

void setUpgradeListener(UpgradeProgress listener, int repeatMs) {
    listenerSlot() = {std::move(listener), repeatMs};
}

const UpgradeProgress& upgradeListener() {
    return listenerSlot().progress;
}

int upgradeRepeatMs() {
    return listenerSlot().repeatMs;
}

UpgradeListenerScope::UpgradeListenerScope(UpgradeProgress listener, int repeatMs)
    : m_before(upgradeListener()), m_beforeRepeatMs(upgradeRepeatMs()) {
    setUpgradeListener(std::move(listener), repeatMs);
}

UpgradeListenerScope::~UpgradeListenerScope() {
    setUpgradeListener(std::move(m_before), m_beforeRepeatMs);
}

UpgradeReporter::UpgradeReporter(Connection& connection, const UpgradeProgress& listener)
    : m_connection(connection), m_listener(listener), m_repeatMs(upgradeRepeatMs()) {
    if (!active()) {
        return;
    }
    m_clock.start();
    m_connection.setProgress([this] { tell(false); });
    m_connection.setRowCounter([this](qint64 counted) { countRows(counted); });
}

UpgradeReporter::~UpgradeReporter() {
    if (active()) {
        m_connection.setProgress(nullptr);
        m_connection.setRowCounter(nullptr);
    }
}

void UpgradeReporter::begin(UpgradePhase phase, TableId table, qint64 rows) {
    if (!active()) {
        return;
    }
    m_step = {phase, table, 0};
    m_rows = rows;
    m_begun = true;
    m_connection.setRowCounter([this](qint64 counted) { countRows(counted); });
    tell(true);
}

void UpgradeReporter::setFraction(double fraction) {
    if (!active()) {
        return;
    }
    // A phase never goes back, whatever a walk counts (rows added since it was begun).
    m_step.fraction = std::clamp(fraction, m_step.fraction, 1.0);
    tell(fraction >= 1);
}

void UpgradeReporter::finish() {
    if (active() && m_begun && m_step.fraction < 1) {
        setFraction(1);
    }
}

void UpgradeReporter::countRows(qint64 counted) {
    if (m_rows > 0) {
        const double fraction = std::min(0.999, static_cast<double>(counted) / static_cast<double>(m_rows));
        m_step.fraction = std::max(m_step.fraction, fraction);
        tell(false);
    }
}

void UpgradeReporter::tell(bool always) {
    if (always || m_clock.elapsed() >= m_repeatMs) {
        m_clock.restart();
        m_listener(m_step);
    }
}

} // namespace tunarium
