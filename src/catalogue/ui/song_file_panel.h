// The song form's line for the song's audio file: its path, "Play" (through Qt Multimedia, as the
// album form plays its sound file) and "Open Containing Folder" (the desktop's file manager). The
// path is the scan's to write; the form only shows it.
#pragma once

#include <QWidget>

class QAudioOutput;
class QLineEdit;
class QMediaPlayer;
class QPushButton;

namespace tunarium {

class Prompter;

class SongFilePanel final : public QWidget {
public:
    explicit SongFilePanel(Prompter& prompter, QWidget* parent = nullptr);

    // Shows the song's file; `missing` when the last scan found it gone.
    void showFile(const QString& path, bool missing);

    QLineEdit* pathEdit() const { return m_path; }
    QPushButton* playButton() const { return m_play; }
    QPushButton* folderButton() const { return m_folder; }
    QMediaPlayer* player() const { return m_player; }

    void play();
    void openFolder();

private:
    void couldNotPlay(const QString& reason);

    Prompter& m_prompter;
    QLineEdit* m_path = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_folder = nullptr;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
};

} // namespace tunarium
