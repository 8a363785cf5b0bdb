// UpdateSong: the song form window. It adds, copies, changes and deletes one song through the
// form pattern and the song rules; the caller learns the response through its callback.
#pragma once

#include "catalogue/song_rules.h"
#include "catalogue/ui/form_window.h"

#include <QHash>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tunarium {

class PictureEdit;

class SongFormWindow : public FormWindow {
public:
    // Opens the form for `request` (Insert, Change, Delete or Copy) on `current`. Delete and a
    // failed add answer at once without showing a window; check isOpen() after start().
    SongFormWindow(Database& db, const Settings& settings, const QString& positionFile, int request,
                   const SongRecord& current, AlbumContext context, QWidget* caller, Done done);

    // Runs the start of the pattern; false when the form already answered (no window).
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }

    // Presses OK: every field is accepted in tab order, then the song is saved.
    void accept();
    // The control of a checked field.
    QWidget* checkedControl(SongCheck check) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void activated() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    QWidget* buildGeneral();
    QWidget* buildRecording();
    QWidget* buildCustom();
    QWidget* buildNotes();
    void display(const Row& record);
    void readInto(Row& record) const;
    bool acceptFields();
    // The user left a checked field: its check runs when its text changed since it was last shown
    // or accepted.
    void fieldLeft(SongCheck check);
    QString controlText(SongCheck check) const;
    void showCategoryChoices();
    void refreshCategory();
    // Shows what a check changed in the record (the time brought back to minutes and seconds,
    // the category taken) and remembers the texts as accepted.
    void showAccepted();
    // The add-mode dispatch: where adding a song hands over to the add wizards. Returns true when
    // a wizard took over (the form then closes).
    bool dispatchToWizard(AddDispatch dispatch);

    Database& m_db;
    const Settings& m_settings;
    SongRules m_rules;
    FormSession m_session;
    Row m_record;

    QTabWidget* m_tabs = nullptr;
    PictureEdit* m_artist = nullptr;
    PictureEdit* m_title = nullptr;
    PictureEdit* m_album = nullptr;
    QComboBox* m_media = nullptr;
    PictureEdit* m_time = nullptr;
    PictureEdit* m_fileNumber = nullptr;
    PictureEdit* m_releaseDate = nullptr;
    QComboBox* m_category = nullptr;
    PictureEdit* m_track = nullptr;
    PictureEdit* m_side = nullptr;
    PictureEdit* m_bpm = nullptr;
    PictureEdit* m_chart = nullptr;
    PictureEdit* m_mix = nullptr;
    PictureEdit* m_style = nullptr;
    PictureEdit* m_rating = nullptr;
    PictureEdit* m_inOut = nullptr;
    QCheckBox* m_skips = nullptr;
    QCheckBox* m_doNotPlay = nullptr;
    QCheckBox* m_live = nullptr;
    QRadioButton* m_slow = nullptr;
    QRadioButton* m_fast = nullptr;
    QRadioButton* m_abrupt = nullptr;
    QPlainTextEdit* m_recording = nullptr;
    PictureEdit* m_composer = nullptr;
    QPlainTextEdit* m_performance = nullptr;
    QLabel* m_udkPrompt = nullptr;
    PictureEdit* m_udk = nullptr;
    PictureEdit* m_info[3] = {nullptr, nullptr, nullptr};
    QPlainTextEdit* m_notes = nullptr;
    QPushButton* m_albumDefaults = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;

    QHash<int, QString> m_accepted; // per check: the text last shown or accepted
    bool m_checking = false;
};

} // namespace tunarium
