// SelectFont ("Favorite Fonts"): the favourite fonts, with "&Select" (answering the caller with the
// chosen font), "Cancel", "&Add", "&Change", "&Delete" and "&Freeform". The form "Update the Fonts
// File" edits a font's four texts with choices of the system's fonts, sizes and styles; the form
// "Update Font Information (Freeform)" takes the four texts as typed and picks the colour in the
// colour dialog.
#pragma once

#include "catalogue/ui/browse_window.h"
#include "catalogue/ui/form_window.h"
#include "reports/label_forms.h"
#include "ui/procedure_registry.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tunarium {

class FontFormWindow : public FormWindow {
public:
    using Answer = std::function<void(Response response, const Row& font)>;
    FontFormWindow(const ProcedureContext& context, Request request, const Row& font, bool freeform,
                   Answer done);

    bool start(QMdiArea* area);
    void setTexts(const QString& typeFace, const QString& size, const QString& colour, const QString& style);
    void chooseColour();
    void accept();

private:
    FontFormWindow(const ProcedureContext& context, Request request, const Row& font, bool freeform,
                   Answer done, std::shared_ptr<Row> answered);
    void build();
    void showColour();
    // Whether the field's text is refused (not a whole number from 0 to `high`): the message has
    // named the field and what it takes, and the field has the focus.
    bool refused(int field, const QString& label, const QString& what, qint64 high);
    QString text(int field) const;

    ProcedureContext m_context;
    FontRules m_rules;
    FormSession m_session;
    Row m_record;
    bool m_freeform;
    std::shared_ptr<Row> m_answered;
    QList<QComboBox*> m_choices; // the standard form: typeface, size, style
    QList<QLineEdit*> m_texts;   // the freeform form: all four; the standard form: the colour
    QLabel* m_swatch = nullptr;  // the colour shown
};

class FavoriteFontsWindow : public BrowseWindow {
public:
    // With the Select request the list answers its caller with the chosen font; the argument of
    // the context is the FON:FontID to open on.
    explicit FavoriteFontsWindow(const ProcedureContext& context);
    static FavoriteFontsWindow* openFonts(const ProcedureContext& context);

    QPushButton* freeformButton() const { return m_freeform; }
    void freeform();

protected:
    void openForm(Request request, const Row& record) override;
    void pageShown() override;

private:
    void openFontForm(Request request, const Row& record, bool freeform);

    ProcedureContext m_context;
    QPushButton* m_freeform = nullptr;
};

} // namespace tunarium
