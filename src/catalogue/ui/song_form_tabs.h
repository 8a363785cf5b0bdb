// The song form's four tabs and their controls, each as wide as its field and reading through
// its picture: a song shown in them and read back from them. No rules here: the song form window
// checks the fields and saves the song.
#pragma once

#include "catalogue/song_rules.h"

#include <QTabWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace tunarium {

class PictureEdit;
class Settings;

class SongFormTabs final : public QTabWidget {
public:
    explicit SongFormTabs(const Settings& settings, QWidget* parent = nullptr);

    // Shows the song, its category under `categoryName`.
    void display(const Row& song, const QString& categoryName);
    // Puts what the controls show into the song, all but its category.
    void readInto(Row& song) const;
    // The control of a checked field, and its text.
    QWidget* checkedControl(SongCheck check) const;
    QString controlText(SongCheck check) const;

    PictureEdit* artistEdit() const { return m_artist; }
    PictureEdit* titleEdit() const { return m_title; }
    PictureEdit* albumEdit() const { return m_album; }
    PictureEdit* timeEdit() const { return m_time; }
    QComboBox* mediaBox() const { return m_media; }
    QComboBox* categoryBox() const { return m_category; }

private:
    QWidget* buildGeneral();
    QWidget* buildRecording();
    QWidget* buildCustom();
    QWidget* buildNotes();

    const Settings& m_settings;
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
    PictureEdit* m_key = nullptr;
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
};

} // namespace tunarium
