// The "Associated Files" tab of the album form.
#include "albums/ui/album_files_tab.h"

#include "albums/album_files.h"
#include "data/prompter.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPushButton>
#include <QThread>
#include <QUrl>

namespace tunarium {

AlbumFilesTab::AlbumFilesTab(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    m_sound = new QLineEdit;
    m_sound->setMaxLength(128);
    m_image = new QLineEdit;
    m_image->setMaxLength(128);
    auto* browseSound = new QPushButton(QStringLiteral("..."));
    auto* browseImage = new QPushButton(QStringLiteral("..."));
    for (QPushButton* b : {browseSound, browseImage}) {
        b->setAutoDefault(false);
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3);
    }
    browseSound->setToolTip(QStringLiteral("Choose the sound file"));
    browseImage->setToolTip(QStringLiteral("Choose the image file"));
    m_play = new QPushButton(QStringLiteral("Play WAV file"));
    // The desktop's own names: Windows Explorer is Windows's file manager only.
#ifdef Q_OS_WIN
    m_playShell =
        new QPushButton(QStringLiteral("Play using associated player (Windows Explorer File Type)"));
    m_openShell = new QPushButton(QStringLiteral("Open using Windows Explorer"));
#else
    m_playShell = new QPushButton(QStringLiteral("Play using associated player"));
    m_openShell = new QPushButton(QStringLiteral("Open Containing Folder"));
#endif
    m_playShell->setToolTip(QStringLiteral("Open the file with the program the desktop plays it with"));
    m_openShell->setToolTip(QStringLiteral("Show the file's folder in the file manager"));
    for (QPushButton* b : {m_play, m_playShell, m_openShell}) {
        b->setAutoDefault(false);
    }
    m_view = new QLabel;
    m_view->setAlignment(Qt::AlignCenter);
    m_view->setMinimumSize(120, 90);
    m_view->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_view->setFrameShape(QFrame::StyledPanel);
    m_view->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("WAV/MP3 File:")), 0, 0);
    grid->addWidget(m_sound, 0, 1);
    grid->addWidget(browseSound, 0, 2);
    auto* playRow = new QHBoxLayout;
    playRow->addWidget(m_play);
    playRow->addWidget(m_playShell);
    playRow->addWidget(m_openShell);
    playRow->addStretch();
    grid->addLayout(playRow, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Image File")), 2, 0);
    grid->addWidget(m_image, 2, 1);
    grid->addWidget(browseImage, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Image:")), 3, 0, Qt::AlignTop);
    grid->addWidget(m_view, 3, 1, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    connect(browseSound, &QPushButton::clicked, this, &AlbumFilesTab::chooseSound);
    connect(browseImage, &QPushButton::clicked, this, &AlbumFilesTab::chooseImage);
    connect(m_play, &QPushButton::clicked, this, &AlbumFilesTab::play);
    connect(m_playShell, &QPushButton::clicked, this, &AlbumFilesTab::openWithDesktop);
    connect(m_openShell, &QPushButton::clicked, this, &AlbumFilesTab::showInFolder);
    connect(m_sound, &QLineEdit::textChanged, this, &AlbumFilesTab::updateButtons);
    connect(m_image, &QLineEdit::editingFinished, this, &AlbumFilesTab::showImage);
    m_resized.setSingleShot(true);
    m_resized.setInterval(150);
    connect(&m_resized, &QTimer::timeout, this, &AlbumFilesTab::showImage);
    updateButtons();
}

AlbumFilesTab::~AlbumFilesTab() {
    if (m_player) {
        m_player->stop();
    }
}

void AlbumFilesTab::setPaths(const QString& sound, const QString& image) {
    m_sound->setText(sound);
    m_image->setText(image);
    updateButtons();
    showImage();
}

QString AlbumFilesTab::soundPath() const {
    return m_sound->text();
}

QString AlbumFilesTab::imagePath() const {
    return m_image->text();
}

void AlbumFilesTab::updateButtons() {
    const bool any = !m_sound->text().trimmed().isEmpty();
    for (QPushButton* b : {m_play, m_playShell, m_openShell}) {
        b->setEnabled(any);
    }
}

void AlbumFilesTab::chooseSound() {
    const QString path = m_prompter.chooseOpenFile(
        QStringLiteral("Select WAV File"), m_sound->text().trimmed(), QString::fromLatin1(kSoundFileFilter));
    if (!path.isEmpty()) {
        m_sound->setText(path);
    }
}

void AlbumFilesTab::chooseImage() {
    const QString path = m_prompter.chooseOpenFile(QStringLiteral("Choose a File"), m_image->text().trimmed(),
                                                   QString::fromLatin1(kImageFileFilter));
    if (!path.isEmpty()) {
        m_image->setText(path);
        showImage();
    }
}

void AlbumFilesTab::couldNotPlay(const QString& reason) {
    m_prompter.message({QStringLiteral("Error"), couldNotPlayText(m_sound->text(), reason), PromptIcon::Stop,
                        kButtonOk, kButtonOk});
}

void AlbumFilesTab::play() {
    const QString path = m_sound->text().trimmed();
    if (const QString problem = soundFileProblem(path); !problem.isEmpty()) {
        couldNotPlay(problem);
        return;
    }
    // Qt 6.4's players fail hard (instead of reporting an error) on a machine without a sound
    // output, so the form asks first.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        couldNotPlay(QStringLiteral("This computer has no sound output."));
        return;
    }
    if (!m_player) {
        // Qt 6.4's GStreamer backend crashes building its player when GStreamer lacks one of its
        // elements; the FFmpeg backend beside it plays every format we offer. A backend the user
        // chose stays chosen.
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

void AlbumFilesTab::openWithDesktop() {
    const QString path = m_sound->text().trimmed();
    if (const QString problem = soundFileProblem(path); !problem.isEmpty()) {
        couldNotPlay(problem);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        couldNotPlay(QStringLiteral("The desktop has no program to play it with."));
    }
}

void AlbumFilesTab::showInFolder() {
    const QFileInfo file(m_sound->text().trimmed());
    if (!file.exists()) {
        couldNotPlay(QStringLiteral("The file does not exist."));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
}

void AlbumFilesTab::showImage() {
    const QString path = m_image->text().trimmed();
    const int request = ++m_imageRequest;
    if (path.isEmpty()) {
        m_view->clear();
        return;
    }
    const QSize box = m_view->contentsRect().size().expandedTo(QSize(16, 16));
    m_view->setText(QStringLiteral("Reading the image..."));
    // Read on a thread of its own: a photograph of many megapixels keeps the form responsive.
    QPointer<AlbumFilesTab> self(this);
    QThread* reader = QThread::create([self, path, box, request] {
        ScaledImage loaded = loadScaledImage(path, box);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, loaded = std::move(loaded), request, path] {
                if (!self || request != self->m_imageRequest) {
                    return;
                }
                if (loaded.image.isNull()) {
                    self->m_view->setText(path + QStringLiteral("\n") + loaded.problem);
                } else {
                    self->m_view->setPixmap(QPixmap::fromImage(loaded.image));
                }
            },
            Qt::QueuedConnection);
    });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    reader->start();
}

void AlbumFilesTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Once the user stops resizing, the image is read again for its new box.
    if (!m_image->text().trimmed().isEmpty()) {
        m_resized.start();
    }
}

} // namespace tunarium
