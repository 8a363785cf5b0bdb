// UpdateLabels ("Update Label"): one label design. "General" holds the type, the description, the
// spine, the title and flap and the picture file; "Front Cover" and "Back Cover" the CD's texts;
// "Position" the justifications and the picture's place and size; "Side A" and "Side B" the
// cassette's contents. Switching the type shows that type's elements only. Each text element has
// "Select Font", which starts "Favorite Fonts", and a line describing its font. "Preview" shows
// the label as it stands, unsaved.
#pragma once

#include "catalogue/ui/form_window.h"
#include "reports/label_fill.h"
#include "reports/label_forms.h"
#include "ui/procedure_registry.h"

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace tunarium {

class UpdateLabelWindow : public FormWindow {
public:
    using Answer = std::function<void(Response response, const Row& label)>;

    UpdateLabelWindow(const ProcedureContext& context, Request request, const Row& label, Answer done);

    // Runs the start of the form pattern; false when the form answered without a window.
    bool start(QMdiArea* area);
    // The label as the window shows it now.
    Row shownLabel() const;
    const Row& record() const { return m_record; }

    // Fills the label from an album (an Album row) and its songs, as the wizard's "&Select Album"
    // does, and says so.
    void fillFromAlbum(const Row& album);
    void setFont(int fontField, qint64 fontId);
    QString fontLine(int fontField) const;
    QComboBox* typeBox() const { return m_type; }
    QTabWidget* tabs() const { return m_tabs; }
    QLabel* pictureNote() const { return m_pictureNote; }
    void accept();
    void preview();

private:
    UpdateLabelWindow(const ProcedureContext& context, Request request, const Row& label, Answer done,
                      std::shared_ptr<Row> answered);
    struct Element {
        int field;
        QLabel* line;
        QPushButton* button;
    };
    void build();
    QWidget* fontRow(int fontField);
    void show(const Row& label);
    void typeChanged();
    void selectFont(int fontField);
    void selectPicture();
    void checkPicture();
    void refreshFontLines();

    ProcedureContext m_context;
    LabelRules m_rules;
    FormSession m_session;
    Row m_record;
    std::shared_ptr<Row> m_answered;
    QList<Element> m_elements;
    QHash<int, qint64> m_fonts;

    QTabWidget* m_tabs = nullptr;
    QWidget* m_general = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_spine = nullptr;
    QLineEdit* m_cdTitle = nullptr;
    QPlainTextEdit* m_cassetteTitle = nullptr;
    QPlainTextEdit* m_flap = nullptr;
    QLineEdit* m_image = nullptr;
    QLabel* m_pictureNote = nullptr;
    QPlainTextEdit* m_inside = nullptr;
    QPlainTextEdit* m_cover = nullptr;
    QPlainTextEdit* m_sideA = nullptr;
    QPlainTextEdit* m_sideB = nullptr;
    QComboBox* m_spineJustification = nullptr;
    QComboBox* m_textJustification = nullptr;
    QComboBox* m_backJustification = nullptr;
    QSpinBox* m_x = nullptr;
    QSpinBox* m_y = nullptr;
    QButtonGroup* m_size = nullptr;
    QSpinBox* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QList<QFormLayout*> m_forms;
    QList<QWidget*> m_cdOnly;
    QList<QWidget*> m_cassetteOnly;
    QWidget* m_frontTab = nullptr;
    QWidget* m_backTab = nullptr;
    QWidget* m_sideATab = nullptr;
    QWidget* m_sideBTab = nullptr;
};

} // namespace tunarium
