// The Preferences window (File › Preferences): the tabs General, Start Up, Adding, Labels,
// Housekeeping and Logo, each control with the setting it edits; OK writes them in their order,
// asks about the date format, and runs the settings loader.
#pragma once

#include "shell/frame_commands.h"
#include "shell/preferences.h"
#include "ui/procedure_registry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tunarium {

class PreferencesWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesWindow(const ProcedureContext& context);
    ~PreferencesWindow() override;

    PreferenceEditor& editor() { return m_editor; }
    QTabWidget* tabs() const { return m_tabs; }
    QComboBox* dateList() const { return m_dates; }
    QPushButton* button(const QString& caption) const;
    QCheckBox* checkBox(const QString& caption) const;
    QLineEdit* field(const QString& name) const;
    // Sets the logo from a chosen file: refused with a message (the logo unchanged) when the
    // file is no picture. True when taken.
    bool takeLogo(const QString& file);

    // OK: writes the settings, asks about the date format (and converts the dates when the user
    // says so), writes the date format and runs the loader; the window then closes.
    void ok();

private:
    QWidget* buildGeneral();
    QWidget* buildStartUp();
    QWidget* buildAdding();
    QWidget* buildLabels();
    QWidget* buildHousekeeping();
    QWidget* buildLogo();
    void readControls();
    void afterConversion();
    void createAlbums();
    void testLinks();
    void openFileManager();
    void openCdPlayerPreferences();
    void useSetupWizard();
    void done(int result) override;

    ProcedureContext m_context;
    PreferenceEditor m_editor;
    QTabWidget* m_tabs = nullptr;
    QRadioButton* m_standard = nullptr;
    QRadioButton* m_explorer = nullptr;
    QComboBox* m_dates = nullptr;
    QLineEdit* m_udk = nullptr;
    QLineEdit* m_notes = nullptr;
    QVector<QRadioButton*> m_addModes;
    QRadioButton* m_artistFirst = nullptr;
    QRadioButton* m_titleFirst = nullptr;
    QLineEdit* m_delimiter = nullptr;
    QLineEdit* m_logo = nullptr;
    QList<QCheckBox*> m_checks;
    QList<QPushButton*> m_buttons;
    bool m_busy = false;
};

// Starts the Preferences window, or the setup wizard in its place while the wizard was never
// finished.
void startPreferences(const ProcedureContext& context);

} // namespace tunarium
