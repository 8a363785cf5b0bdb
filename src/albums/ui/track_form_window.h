// The track form of an add wizard (UpdateAddWizardNoArtist; UpdateAddWizard with the artist for a
// compilation): one row of the wizard's track list through the form pattern. A new row is numbered
// after the last and added at once; Cancel removes it again. The ditto key (Ctrl and the key left
// of 1) brings into the focused field (title, time or track) that field of the row this form saved
// last.
#pragma once

#include "albums/wizard_tracks.h"
#include "catalogue/ui/form_window.h"

class QLabel;
class QPushButton;

namespace tunarium {

class PictureEdit;

class TrackFormWindow : public FormWindow {
public:
    TrackFormWindow(Database& db, WizardTracks& tracks, bool withArtist, const QString& positionFile,
                    Request request, const Row& current, QWidget* caller, Done done);

    // Runs the start of the pattern; false when the form already answered without a window.
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }
    PictureEdit* artistField() const { return m_artist; }
    PictureEdit* titleField() const { return m_title; }
    PictureEdit* timeField() const { return m_time; }
    PictureEdit* trackField() const { return m_track; }

    // OK: the row is saved; a track number another row has keeps the form open.
    void accept();
    // The ditto key on the focused field.
    void ditto();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void display();

    Database& m_db;
    WizardTrackRules m_rules;
    FormSession m_session;
    bool m_withArtist;
    Row m_record;

    PictureEdit* m_artist = nullptr;
    PictureEdit* m_title = nullptr;
    PictureEdit* m_time = nullptr;
    PictureEdit* m_track = nullptr;
};

} // namespace tunarium
