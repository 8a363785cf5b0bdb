// An album's associated files: its sound file (played by the album form, or opened with the
// desktop's program for it) and its image (shown scaled in the form). What is wrong with a path
// is told in words before anything is tried on it, and an image is read at the size it is shown
// at, so that a very large one costs no more than a small one.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace tunarium {

// The file dialogs' filters, in the program's form ("Name|*.A;*.B|...").
inline constexpr char kSoundFileFilter[] =
    "Sound Files|*.wav;*.mp3;*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aac;*.wma;*.aif;*.aiff|WAV Files|*.WAV|All "
    "Files|*.*";
inline constexpr char kImageFileFilter[] = "Image Files|*.png;*.jpg;*.jpeg;*.gif;*.bmp|All Files|*.*";

// Why `path` cannot be played: it is blank, does not exist, is a folder, or is no sound (nor
// video) file by its contents. Empty when it may be played.
QString soundFileProblem(const QString& path);
// "Could not play " with the path, and on the next line why.
QString couldNotPlayText(const QString& path, const QString& reason);

// Why `path` cannot be shown as an image; empty when it can.
QString imageFileProblem(const QString& path);

struct ScaledImage {
    QImage image;
    QString problem; // why there is no image
};
// The image at `path` scaled to fit `box` with its aspect kept (never enlarged). Large images are
// decoded at the reduced size where the format allows it.
ScaledImage loadScaledImage(const QString& path, const QSize& box);

} // namespace tunarium
