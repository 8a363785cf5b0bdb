// The tip editor (`DbgMode`): the list "Tips" with its one column "Tip", "&Add", "&Change",
// "&Delete" and "Cl&ose", and the tip form the first three open. The writes and their warnings
// are TipEditing's.
#pragma once

#include "data/table_lease.h"
#include "shell/tips.h"
#include "ui/procedure_registry.h"

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tunarium {

inline constexpr int kTipLength = 1024;

// One tip, added or changed.
class TipFormWindow : public QDialog {
    Q_OBJECT
public:
    TipFormWindow(Database& db, const TipRecord& tip, bool insert, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }
    const TipRecord& tip() const { return m_tip; }
    // "&OK": adds or rewrites the tip; the form closes when it was written (or given up).
    void ok();

private:
    Database& m_db;
    TipRecord m_tip;
    bool m_insert;
    QPlainTextEdit* m_text;
};

class TipsBrowseWindow : public QDialog {
    Q_OBJECT
public:
    explicit TipsBrowseWindow(const ProcedureContext& context);
    ~TipsBrowseWindow() override;

    bool start();
    QTableWidget* list() const { return m_list; }
    QPushButton* button(const QString& caption) const;
    // The form open now, or null.
    TipFormWindow* form() const { return m_form; }

    void add();
    void change();
    void remove();

private:
    void refresh(qint64 selectId = 0);
    std::optional<TipRecord> selected() const;
    void openForm(const TipRecord& tip, bool insert);

    ProcedureContext m_context;
    TableLease m_table;
    QTableWidget* m_list;
    QList<QPushButton*> m_buttons;
    QVector<TipRecord> m_tips;
    QPointer<TipFormWindow> m_form;
};

void startTipEditor(const ProcedureContext& context);

} // namespace tunarium
