// Typed records of every table. Members follow the dictionary's field order (fields, then memos);
// members() lists them in that order so that toRow/fromRow can map them.
#pragma once

#include "data/row.h"

#include <array>

namespace tunarium {

struct SongRecord {
    static constexpr TableId kTable = TableId::Tunarium;
    QString artist, title, mix, album, media, fileNumber;
    qint64 releaseDate = 0, categoryId = 0, chartNumber = 0, trackNumber = 0, side = 0, time = 0;
    QString userDefinedKeyField, additionalInformation1, additionalInformation2, additionalInformation3;
    qint64 beatsPerMinute = 0;
    QString style, composer;
    qint64 lastPlayed = 0, skips = 0;
    QString endType, inOut;
    qint64 rating = 0, live = 0, doNotPlay = 0, id = 0, albumId = 0;
    QString recording, performanceNotes, notes;
    RecordMeta meta;

    static const std::array<MemberRef<SongRecord>, 31>& members();
};

struct AlbumRecord {
    static constexpr TableId kTable = TableId::Album;
    qint64 albumId = 0;
    QString artist, album, media, fileNumber;
    qint64 releaseDate = 0, categoryId = 0;
    QString associatedWavFile, associatedImage, cdIdentifier, xccd, playlist;
    qint64 rating = 0, totalTime = 0;
    QString recording, performance, notes;
    RecordMeta meta;

    static const std::array<MemberRef<AlbumRecord>, 17>& members();
};

struct CategoryRecord {
    static constexpr TableId kTable = TableId::Categories;
    qint64 categoryId = 0;
    QString category;
    RecordMeta meta;

    static const std::array<MemberRef<CategoryRecord>, 2>& members();
};

struct FontRecord {
    static constexpr TableId kTable = TableId::Fonts;
    qint64 fontId = 0;
    QString typeFace, size, colour, style;
    RecordMeta meta;

    static const std::array<MemberRef<FontRecord>, 5>& members();
};

struct LabelRecord {
    static constexpr TableId kTable = TableId::Labels;
    qint64 labelId = 0;
    QString labelDescription, labelType;
    qint64 albumId = 0;
    QString cdSpine;
    qint64 cdSpineFontId = 0;
    QString cdTitle;
    qint64 cdTitleFontId = 0, cdCoverTextFontId = 0, cdInsideTextFontId = 0;
    QString cdSpineJustification, cdTextJustification, cdBackCoverJustification;
    qint64 cassetteFlapFontId = 0, cassetteTitleFontId = 0, cassetteContentsFontId = 0;
    QString cassetteFormat, imageName;
    qint64 imagePositionX = 0, imagePositionY = 0;
    QString imageSize;
    qint64 imageSizeX = 0;
    QString imageSizeY;
    QString cdCoverText, cdInsideText, cassetteFlap, cassetteTitle, cassetteContentsA, cassetteContentsB;
    RecordMeta meta;

    static const std::array<MemberRef<LabelRecord>, 29>& members();
};

struct TipRecord {
    static constexpr TableId kTable = TableId::TNRTips;
    QString tip;
    qint64 id = 0;
    RecordMeta meta;

    static const std::array<MemberRef<TipRecord>, 2>& members();
};

struct MediaRecord {
    static constexpr TableId kTable = TableId::Media;
    QString media;
    RecordMeta meta;

    static const std::array<MemberRef<MediaRecord>, 1>& members();
};

struct PlaylistEntryRecord {
    static constexpr TableId kTable = TableId::PlaylistDetails;
    qint64 playlistId = 0, playlistSeq = 0, id = 0;
    QString playlistNotes, lastWeek, thisWeek, highestChartPosition;
    RecordMeta meta;

    static const std::array<MemberRef<PlaylistEntryRecord>, 7>& members();
};

struct PlaylistRecord {
    static constexpr TableId kTable = TableId::PlaylistMaster;
    qint64 playlistId = 0;
    QString playlistDescription;
    qint64 lastEditDate = 0;
    QString notes;
    RecordMeta meta;

    static const std::array<MemberRef<PlaylistRecord>, 4>& members();
};

struct WizardTrackRecord {
    static constexpr TableId kTable = TableId::AddWizard;
    qint64 instance = 0;
    QString side;
    qint64 track = 0;
    QString artist, title;
    qint64 time = 0;
    RecordMeta meta;

    static const std::array<MemberRef<WizardTrackRecord>, 6>& members();
};

} // namespace tunarium
