// LabelWizard ("Add Label Wizard"): a new label in steps, with "&Back" and "&Next": an
// introduction, the label type, the source of its texts ("&Select Album" and "&Select File
// Number", which start the albums room's selectors by name and stay disabled until they are
// registered), the general texts, then the CD's front and back covers or the cassette's sides.
// "&Finish" saves the label, "Preview" shows it as it stands, "Cancel" drops it.
#pragma once

#include "catalogue/ui/form_window.h"
#include "reports/label_fill.h"
#include "reports/label_forms.h"
#include "ui/procedure_registry.h"

#include <memory>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace tunarium {

class LabelWizardWindow : public FormWindow {
public:
    explicit LabelWizardWindow(const ProcedureContext& context);
    static LabelWizardWindow* openWizard(const ProcedureContext& context);

    LabelWizardPage page() const { return m_pages.value(m_index); }
    LabelFillSource source() const { return m_source; }
    // The label as the wizard's fields hold it now.
    Row shownLabel() const;
    void next();
    void back();
    void finishWizard();
    // Takes the texts from an album (an Album row) or from the file number of a song.
    void fillFromAlbum(const Row& album);
    void fillFromFileNumber(const Row& song);
    QPushButton* selectAlbumButton() const { return m_selectAlbum; }
    QPushButton* selectFileNumberButton() const { return m_selectNumber; }
    QLineEdit* descriptionEdit() const { return m_description; }

private:
    QWidget* makePage(LabelWizardPage page);
    void showPage();
    void show(const Row& label);
    void filled(const LabelFill& fill, const Row& label);
    void select(const char* procedure);

    ProcedureContext m_context;
    LabelRules m_rules;
    FormSession m_session;
    Row m_record;
    // The label as Finish saved it, for the caller's answer; empty until then.
    std::shared_ptr<Row> m_added = std::make_shared<Row>();
    LabelFillSource m_source = LabelFillSource::None;
    QVector<LabelWizardPage> m_pages;
    int m_index = 0;

    QStackedWidget* m_stack = nullptr;
    QHash<int, QWidget*> m_pageWidgets;
    QComboBox* m_type = nullptr;
    QFormLayout* m_generalForm = nullptr;
    QPushButton* m_selectAlbum = nullptr;
    QPushButton* m_selectNumber = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_spine = nullptr;
    QPlainTextEdit* m_title = nullptr;
    QPlainTextEdit* m_flap = nullptr;
    QPlainTextEdit* m_inside = nullptr;
    QPlainTextEdit* m_cover = nullptr;
    QPlainTextEdit* m_sideA = nullptr;
    QPlainTextEdit* m_sideB = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
};

} // namespace tunarium
