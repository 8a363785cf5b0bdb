// Filling a label from an album or a file number.
#include "reports/label_fill.h"

#include "data/dictionary_tables.h"
#include "data/key_walk.h"

namespace tunarium {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isVarious(const QString& artist) {
    return trimTrailingBlanks(artist).toUpper() == QLatin1String("VARIOUS");
}

// Walks `walk` into a track list of at most kMaxLabelTracks songs, while `belongs` holds.
LabelFill collectTracks(KeyWalk& walk, const QString& albumArtist, const LabelFillOptions& options,
                        QVector<LabelTrack>& tracks) {
    LabelFill fill;
    for (bool on = walk.first(); on && tracks.size() < kMaxLabelTracks; on = walk.next()) {
        const Row& song = walk.record();
        const qint64 track = song.number(tun::kTrackNumber);
        const QString side = QString::number(song.number(tun::kSide));
        tracks.push_back({side.isEmpty() ? u'0' : side.back(), track != 0 ? track : tracks.size() + 1,
                          labelTrackText(song, albumArtist, options.artistFirst)});
    }
    fill.error = walk.error();
    fill.tracks = static_cast<int>(tracks.size());
    return fill;
}

void putContents(const QVector<LabelTrack>& tracks, const LabelFillOptions& options, Row& label) {
    const LabelContents c = buildLabelContents(tracks, options.delimiter);
    label.setText(lab::kCdCoverText, c.cdCoverText);
    label.setText(lab::kCdInsideText, c.cdInsideText);
    label.setText(lab::kCassetteContentsA, c.cassetteContentsA);
    label.setText(lab::kCassetteContentsB, c.cassetteContentsB);
}

} // namespace

QString labelTrackText(const Row& song, const QString& albumArtist, bool artistFirst) {
    QString text = trimTrailingBlanks(song.text(tun::kTitle));
    const QString artist = trimTrailingBlanks(song.text(tun::kArtist));
    if (artist.compare(trimTrailingBlanks(albumArtist), Qt::CaseInsensitive) != 0) {
        const QString turned = turnArtistName(artist);
        text = artistFirst ? turned + QStringLiteral(" - ") + text : text + QStringLiteral(" - ") + turned;
    }
    text += labelSongTime(song.number(tun::kTime), song.text(tun::kAdditionalInformation1));
    return text.left(kLabelTrackTextWidth);
}

LabelFill fillLabelFromAlbum(Store& store, const Row& album, const LabelFillOptions& options, Row& label) {
    label.setNumber(lab::kAlbumId, album.number(alb::kAlbumId));
    const QString title = trimTrailingBlanks(album.text(alb::kAlbum));
    const QString artist = trimTrailingBlanks(album.text(alb::kArtist));
    const QString turned = turnArtistName(artist);
    QString spine = title + QStringLiteral(" - ") + turned;
    QString cassette = title + kCrLf + turned;
    label.setText(lab::kLabelDescription, spine);
    if (options.artistFirst) {
        // The album artist as stored: the artist-first order is the order of the album list.
        spine = artist + QStringLiteral(" - ") + title;
        cassette = artist + kCrLf + title;
    }
    if (isVarious(artist)) {
        spine = title;
        cassette = title;
    }
    label.setText(lab::kCdSpine, spine);
    label.setText(lab::kCdTitle, spine);
    label.setText(lab::kCassetteTitle, cassette);
    label.setText(lab::kCassetteFlap, cassette);

    KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId,
                 KeyWalkLimits{{album.number(alb::kAlbumId)}, {}, {}});
    QVector<LabelTrack> tracks;
    LabelFill fill = collectTracks(walk, artist, options, tracks);
    if (!tracks.isEmpty()) {
        putContents(tracks, options, label);
        label.setText(lab::kImageName, album.text(alb::kAssociatedImage));
    }
    return fill;
}

LabelFill fillLabelFromFileNumber(Store& store, const Row& song, const LabelFillOptions& options,
                                  Row& label) {
    label.setNumber(lab::kAlbumId, 0);
    const QString fileNumber = trimTrailingBlanks(song.text(tun::kFileNumber));
    const QString albumTitle = trimTrailingBlanks(song.text(tun::kAlbum));
    const QString artist = trimTrailingBlanks(song.text(tun::kArtist));
    const QString turned = turnArtistName(artist);
    const QString number = QStringLiteral("File Number ") + fileNumber;
    label.setText(lab::kLabelDescription, number);
    QString spine = number + u' ' + albumTitle + QStringLiteral(" - ") + turned;
    QString cassette = number + kCrLf + albumTitle + kCrLf + turned;
    if (options.artistFirst) {
        spine = number + u' ' + turned + QStringLiteral(" - ") + albumTitle;
        cassette = number + kCrLf + turned + QStringLiteral(" - ") + albumTitle;
    }
    label.setText(lab::kCdSpine, spine);
    label.setText(lab::kCdTitle, spine);
    label.setText(lab::kCassetteTitle, cassette);
    label.setText(lab::kCassetteFlap, cassette);

    QVector<LabelTrack> tracks;
    LabelFill fill;
    if (!fileNumber.isEmpty()) {
        KeyWalk walk(store, TableId::Tunarium, tun::kSongsByMedia,
                     KeyWalkLimits{{song.text(tun::kMedia), song.text(tun::kFileNumber)}, {}, {}});
        fill = collectTracks(walk, artist, options, tracks);
    } else {
        KeyWalk walk(store, TableId::Tunarium, tun::kSongsByAlbum,
                     KeyWalkLimits{{song.text(tun::kAlbum)}, {}, {}});
        fill = collectTracks(walk, artist, options, tracks);
    }
    if (!tracks.isEmpty()) {
        putContents(tracks, options, label);
    }
    return fill;
}

Row newLabel(qint64 labelId) {
    Row label(TableId::Labels);
    label.clear();
    label.setNumber(lab::kLabelId, labelId);
    label.setText(lab::kLabelType, QStringLiteral("Cassette"));
    label.setText(lab::kImageSize, QStringLiteral("Thumbnail"));
    label.setNumber(lab::kImageSizeX, 1000);
    label.setText(lab::kImageSizeY, QStringLiteral("1000"));
    return label;
}

} // namespace tunarium
