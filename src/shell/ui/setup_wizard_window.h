// The setup wizard: the pages Welcome, Date, User Defined Key Field, Start Up and Done, stepped
// through with "&Back" and "&Next"; "&Finish" writes the preferences as the Preferences window
// does (with the adding of albums on) and marks the wizard complete, so that it no longer runs
// at start-up.
#pragma once

#include "shell/preferences.h"
#include "ui/procedure_registry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace tunarium {

class SetupWizardWindow : public QDialog {
    Q_OBJECT
public:
    explicit SetupWizardWindow(const ProcedureContext& context);

    static QStringList pageNames();
    int page() const;
    QString pageName() const { return pageNames().value(page()); }
    QPushButton* button(const QString& caption) const;
    QComboBox* dateList() const { return m_dates; }
    QLineEdit* udkField() const { return m_udk; }
    QCheckBox* checkBox(const QString& caption) const;
    PreferenceEditor& editor() { return m_editor; }

    void next();
    void back();
    // Writes everything, asks the "Year Only" question, writes the date format, runs the loader.
    void finish();

private:
    void showPage(int page);
    void afterConversion();
    void done(int result) override;

    ProcedureContext m_context;
    PreferenceEditor m_editor;
    QStackedWidget* m_pages;
    QLabel* m_heading;
    QComboBox* m_dates = nullptr;
    QLineEdit* m_udk = nullptr;
    QList<QCheckBox*> m_checks;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
    QPushButton* m_cancel;
    bool m_busy = false;
};

// Runs the setup wizard over the caller and waits until it is closed: the windows that follow it
// at start-up (the tip of the day) come after it.
void startSetupWizard(const ProcedureContext& context);

} // namespace tunarium
