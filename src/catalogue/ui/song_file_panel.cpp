// The song form's audio file line.
#include "catalogue/ui/song_file_panel.h"

#include "catalogue/song_file.h"
#include "data/prompter.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPushButton>
#include <QUrl>

namespace tunarium {

SongFilePanel::SongFilePanel(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    m_path = new QLineEdit;
    m_path->setReadOnly(true);
    m_path->setPlaceholderText(QStringLiteral("No audio file"));
    m_play = new QPushButton(QStringLiteral("Play"));
    m_folder = new QPushButton(QStringLiteral("Open Containing Folder"));
    for (QPushButton* b : {m_play, m_folder}) {
        b->setAutoDefault(false);
    }
    connect(m_play, &QPushButton::clicked, this, &SongFilePanel::play);
    connect(m_folder, &QPushButton::clicked, this, &SongFilePanel::openFolder);
    auto* label = new QLabel(QStringLiteral("Audio File:"));
    label->setBuddy(m_path);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_path, 1);
    layout->addWidget(m_play);
    layout->addWidget(m_folder);
}

void SongFilePanel::showFile(const QString& path, bool missing) {
    m_path->setText(path);
    m_path->setCursorPosition(0);
    m_path->setToolTip(missing ? QStringLiteral("The last scan did not find this file.") : path);
    m_play->setEnabled(!path.trimmed().isEmpty());
    m_folder->setEnabled(!path.trimmed().isEmpty());
    if (m_player) {
        m_player->stop();
    }
}

void SongFilePanel::couldNotPlay(const QString& reason) {
    m_prompter.message({QStringLiteral("Error"), songCouldNotPlayText(m_path->text(), reason), PromptIcon::Stop,
                        kButtonOk, kButtonOk});
}

void SongFilePanel::play() {
    const QString path = m_path->text().trimmed();
    if (const QString problem = songFileProblem(path); !problem.isEmpty()) {
        couldNotPlay(problem);
        return;
    }
    // As in the album form: a machine without a sound output is told so before any player is
    // made (Qt 6.4's players fail hard there), and the FFmpeg backend is taken unless the user
    // chose one.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        couldNotPlay(QStringLiteral("This computer has no sound output."));
        return;
    }
    if (!m_player) {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        }
        m_player = new QMediaPlayer(this);
        m_output = new QAudioOutput(this);
        m_player->setAudioOutput(m_output);
        connect(m_player, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error, const QString& text) { couldNotPlay(text); });
    }
    m_player->stop();
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

void SongFilePanel::openFolder() {
    const QString folder = songFileFolder(m_path->text());
    if (folder.isEmpty() || !QDir(folder).exists()) {
        m_prompter.message({QStringLiteral("Error"),
                            QStringLiteral("The folder %1 is missing.").arg(QDir::toNativeSeparators(folder)),
                            PromptIcon::Stop, kButtonOk, kButtonOk});
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
        m_prompter.message({QStringLiteral("Error"),
                            QStringLiteral("The desktop has no program to open the folder %1 with.")
                                .arg(QDir::toNativeSeparators(folder)),
                            PromptIcon::Stop, kButtonOk, kButtonOk});
    }
}

} // namespace tunarium
