// "Select Add Mode": asked when a new song is added while the AddMode preference says to ask each
// time; the choice decides whether the compilation wizard, the single-artist wizard or the song
// form itself adds it.
#pragma once

#include "catalogue/song_rules.h"

#include <QDialog>

class QRadioButton;

namespace tunarium {

class SelectAddModeDialog : public QDialog {
public:
    explicit SelectAddModeDialog(QWidget* parent = nullptr);

    // The choice as the song form acts on it: its first letter "C" or "S" starts a wizard;
    // anything else (also closing the window) opens the form.
    AddDispatch choice() const;
    QRadioButton* option(AddDispatch dispatch) const;

    // Shows the window and waits for the choice.
    static AddDispatch ask(QWidget* parent);

private:
    QRadioButton* m_compilation;
    QRadioButton* m_singleArtist;
    QRadioButton* m_normal;
};

} // namespace tunarium
