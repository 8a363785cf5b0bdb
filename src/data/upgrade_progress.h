// Progress of the upgrade of an older collection: the dated backup, the rewrite of a table into
// its new layout, its keys and the songs' search index. At a million songs this takes minutes, so
// the store reports each step as it goes, and every so often while one long statement runs, to
// whoever listens: the program's progress window, or the command line's standard error.
#pragma once

#include "data/dictionary.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

namespace tunarium {

class Connection;

// In the order an upgrade runs them: the backup once, then for each table that needs it the
// rewrite, its keys and (songs only) the search index.
enum class UpgradePhase { BackingUp, Rewriting, BuildingKeys, BuildingSearchIndex };

struct UpgradeStep {
    UpgradePhase phase = UpgradePhase::BackingUp;
    // The table the phase works on (unused while backing up).
    TableId table = TableId::Tunarium;
    // How far the phase is, 0 to 1; it never goes back within one phase of one table.
    double fraction = 0;
};

using UpgradeProgress = std::function<void(const UpgradeStep&)>;

// The step in the program's words: "Backing up the collection", "Rewriting the songs"...
QString upgradeStepText(const UpgradeStep& step);

// While a statement runs, a step is told again at most this often.
inline constexpr int kUpgradeRepeatMs = 50;

// The listener of the upgrades this process makes (empty: none), told a step again every
// `repeatMs` at most while a statement runs (0: at every row and every tick). Upgrades run on the
// thread that owns the collection, and so is the listener called.
void setUpgradeListener(UpgradeProgress listener, int repeatMs = kUpgradeRepeatMs);
const UpgradeProgress& upgradeListener();
int upgradeRepeatMs();

// Installs a listener for as long as it lives and puts back the one before.
class UpgradeListenerScope {
public:
    explicit UpgradeListenerScope(UpgradeProgress listener, int repeatMs = kUpgradeRepeatMs);
    ~UpgradeListenerScope();
    UpgradeListenerScope(const UpgradeListenerScope&) = delete;
    UpgradeListenerScope& operator=(const UpgradeListenerScope&) = delete;

private:
    UpgradeProgress m_before;
    int m_beforeRepeatMs;
};

// The store's side of the reports during one table's upgrade: phases begin at 0 and end at 1,
// rows counted by the statements that walk a table move the fraction, and while a statement runs
// the step is told again now and then (upgradeRepeatMs), so that a window can repaint.
class UpgradeReporter {
public:
    UpgradeReporter(Connection& connection, const UpgradeProgress& listener);
    ~UpgradeReporter();
    UpgradeReporter(const UpgradeReporter&) = delete;
    UpgradeReporter& operator=(const UpgradeReporter&) = delete;

    bool active() const { return static_cast<bool>(m_listener); }
    // A phase over `rows` rows (0 when rows are not counted).
    void begin(UpgradePhase phase, TableId table, qint64 rows = 0);
    void setFraction(double fraction);
    // Rows counted since the phase began, out of the rows it was begun with.
    void countRows(qint64 counted);
    // Ends the phase begun last (nothing when none was, or it has ended).
    void finish();

private:
    void tell(bool always);

    Connection& m_connection;
    const UpgradeProgress& m_listener;
    UpgradeStep m_step;
    qint64 m_rows = 0;
    bool m_begun = false;
    QElapsedTimer m_clock;
    int m_repeatMs = kUpgradeRepeatMs;
};

} // namespace tunarium
