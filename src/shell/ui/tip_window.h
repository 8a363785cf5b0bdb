// The tip of the day: one tip at a time, "&Back" and "&Next" through them (round at either end),
// "Show tip at startup", and "&OK" / "Cl&ose", which keep the check box in `ShowTips` and the tip
// shown in `Tip`, so that the next start shows the tip after it.
#pragma once

#include "data/table_lease.h"
#include "shell/tips.h"
#include "ui/procedure_registry.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tunarium {

class TipWindow : public QDialog {
    Q_OBJECT
public:
    explicit TipWindow(const ProcedureContext& context);
    ~TipWindow() override;

    // Opens the tips table and reads the tip after the one shown last. False when there is no
    // tip: the window is not shown then.
    bool start();
    const TipCursor& cursor() const { return m_cursor; }
    QString tipText() const;
    QCheckBox* showAtStartUp() const { return m_show; }
    QPushButton* button(const QString& caption) const;

    void next();
    void back();

private:
    void showTip();
    void done(int result) override;

    ProcedureContext m_context;
    TipCursor m_cursor;
    TableLease m_table;
    QLabel* m_text;
    QCheckBox* m_show;
    QList<QPushButton*> m_buttons;
};

// Help › Tips and the start-up tip: the window over the caller, unless there is no tip.
void startTipOfTheDay(const ProcedureContext& context);

} // namespace tunarium
