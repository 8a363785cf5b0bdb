// "Report Criteria": the style, preview, custom font and include choices a song or album report
// starts with, and the text "Selected" matches. It opens window-modal over its caller with the
// program's criteria, keeps its place in the position file under "ReportCriteria", and answers
// through `finished`; "&OK" makes its choices the program's criteria for this and later reports.
#pragma once

#include "reports/report_run.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tunarium {

class ReportCriteriaWindow : public QDialog {
    Q_OBJECT
public:
    // `prompt`: "Select artists that start with:" and the like.
    ReportCriteriaWindow(const ReportCriteria& criteria, const QString& prompt, bool hasBrief,
                         QString positionFile, QWidget* parent);

    // The choices as they stand.
    ReportCriteria criteria() const;

    QRadioButton* standardButton() const { return m_standard; }
    QRadioButton* briefButton() const { return m_brief; }
    QCheckBox* previewBox() const { return m_preview; }
    QCheckBox* customFontBox() const { return m_customFont; }
    QRadioButton* allButton() const { return m_all; }
    QRadioButton* selectedButton() const { return m_selected; }
    QLabel* promptLabel() const { return m_prompt; }
    QLineEdit* selectionEdit() const { return m_selection; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void includeChanged();

    QString m_positionFile;
    bool m_placed = false;
    QRadioButton* m_standard;
    QRadioButton* m_brief;
    QCheckBox* m_preview;
    QCheckBox* m_customFont;
    QRadioButton* m_all;
    QRadioButton* m_selected;
    QLabel* m_prompt;
    QLineEdit* m_selection;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace tunarium
