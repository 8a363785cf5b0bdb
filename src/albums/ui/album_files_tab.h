// The "Associated Files" tab of the album form: the album's sound file ("WAV/MP3 File:"), played
// in the program with the system's media backend or opened with the desktop's program for it, and
// its image ("Image File"), shown scaled with its aspect kept. A path that names nothing playable
// or showable is told in words and kept as typed. Large images are read off the window's thread.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QAudioOutput;
class QLabel;
class QLineEdit;
class QMediaPlayer;
class QPushButton;

namespace tunarium {

class Prompter;

class AlbumFilesTab : public QWidget {
public:
    AlbumFilesTab(Prompter& prompter, QWidget* parent = nullptr);
    ~AlbumFilesTab() override;

    void setPaths(const QString& sound, const QString& image);
    QString soundPath() const;
    QString imagePath() const;

    QLineEdit* soundEdit() const { return m_sound; }
    QLineEdit* imageEdit() const { return m_image; }
    QPushButton* playButton() const { return m_play; }
    QLabel* imageView() const { return m_view; }
    QMediaPlayer* player() const { return m_player; }

    void chooseSound();
    void chooseImage();
    // "Play WAV file": plays the file in the background; "Could not play " and why, when it cannot.
    void play();
    void openWithDesktop();
    void showInFolder();
    // Reads the image again for the control's size (asynchronously).
    void showImage();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateButtons();
    void couldNotPlay(const QString& reason);

    Prompter& m_prompter;
    QLineEdit* m_sound;
    QLineEdit* m_image;
    QPushButton* m_play;
    QPushButton* m_playShell;
    QPushButton* m_openShell;
    QLabel* m_view;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    int m_imageRequest = 0;
    QTimer m_resized;
};

} // namespace tunarium
