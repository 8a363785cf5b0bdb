// "CD Player Preferences": how often the CD drive is looked at (`CDTimer`, in hundredths of a
// second), which the disc-change watch of the album windows follows; "Do Not Check" stores 0.
#pragma once

#include <QDialog>

class QComboBox;

namespace tunarium {

class Settings;

// The choices offered, in hundredths of a second; 0 is "Do Not Check".
const QVector<int>& cdTimerChoices();

class CdPlayerPreferencesWindow : public QDialog {
    Q_OBJECT
public:
    CdPlayerPreferencesWindow(Settings& settings, QWidget* parent = nullptr);

    QComboBox* choices() const { return m_choices; }
    // Writes `CDTimer` and runs the settings loader.
    void accept() override;

private:
    Settings& m_settings;
    QComboBox* m_choices;
};

} // namespace tunarium
