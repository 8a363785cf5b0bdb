// Typed records of every table. kMembers lists each record's members with the fields they hold,
// in the dictionary's field order (fields, then memos), so that toRow/fromRow can map them; the
// compiler checks every list against its table in the dictionary.
#pragma once

#include "data/dictionary_tables.h"
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
    QString filePath;
    qint64 fileModified = 0, fileMissing = 0;
    QString musicalKey;
    QString recording, performanceNotes, notes;
    RecordMeta meta;

    static const std::array<Member<SongRecord>, 35> kMembers;
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

    static const std::array<Member<AlbumRecord>, 17> kMembers;
};

struct CategoryRecord {
    static constexpr TableId kTable = TableId::Categories;
    qint64 categoryId = 0;
    QString category;
    RecordMeta meta;

    static const std::array<Member<CategoryRecord>, 2> kMembers;
};

struct FontRecord {
    static constexpr TableId kTable = TableId::Fonts;
    qint64 fontId = 0;
    QString typeFace, size, colour, style;
    RecordMeta meta;

    static const std::array<Member<FontRecord>, 5> kMembers;
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

    static const std::array<Member<LabelRecord>, 29> kMembers;
};

struct TipRecord {
    static constexpr TableId kTable = TableId::TNRTips;
    QString tip;
    qint64 id = 0;
    RecordMeta meta;

    static const std::array<Member<TipRecord>, 2> kMembers;
};

struct MediaRecord {
    static constexpr TableId kTable = TableId::Media;
    QString media;
    RecordMeta meta;

    static const std::array<Member<MediaRecord>, 1> kMembers;
};

struct PlaylistEntryRecord {
    static constexpr TableId kTable = TableId::PlaylistDetails;
    qint64 playlistId = 0, playlistSeq = 0, id = 0;
    QString playlistNotes, lastWeek, thisWeek, highestChartPosition;
    RecordMeta meta;

    static const std::array<Member<PlaylistEntryRecord>, 7> kMembers;
};

struct PlaylistRecord {
    static constexpr TableId kTable = TableId::PlaylistMaster;
    qint64 playlistId = 0;
    QString playlistDescription;
    qint64 lastEditDate = 0;
    QString notes;
    RecordMeta meta;

    static const std::array<Member<PlaylistRecord>, 4> kMembers;
};

struct SavedSearchRecord {
    static constexpr TableId kTable = TableId::SavedSearches;
    qint64 searchId = 0;
    QString name, searchText;
    qint64 sortOrder = 0, lastEditDate = 0;
    RecordMeta meta;

    static const std::array<Member<SavedSearchRecord>, 5> kMembers;
};

struct WizardTrackRecord {
    static constexpr TableId kTable = TableId::AddWizard;
    qint64 instance = 0;
    QString side;
    qint64 track = 0;
    QString artist, title;
    qint64 time = 0;
    RecordMeta meta;

    static const std::array<Member<WizardTrackRecord>, 6> kMembers;
};

// Whether a member list holds every field of its table once, in order, each in a member of its
// type (text and memos in a QString, numbers in a qint64).
template <class T> consteval bool membersMatchDictionary() {
    const std::span<const FieldDecl> fields = kTableDecls[static_cast<int>(T::kTable)].fields;
    if (T::kMembers.size() != fields.size()) {
        return false;
    }
    for (std::size_t i = 0; i < T::kMembers.size(); ++i) {
        const Member<T>& m = T::kMembers[i];
        const bool text = fields[i].type == FieldType::String || fields[i].type == FieldType::Memo;
        if (m.field != static_cast<int>(i) || std::holds_alternative<QString T::*>(m.ref) != text) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (T::kMembers[j].ref == m.ref) {
                return false;
            }
        }
    }
    return true;
}

inline constexpr std::array<Member<SongRecord>, 35> SongRecord::kMembers = [] {
    using R = SongRecord;
    return std::array<Member<R>, 35>{{{tun::kArtist, &R::artist},
                                      {tun::kTitle, &R::title},
                                      {tun::kMix, &R::mix},
                                      {tun::kAlbum, &R::album},
                                      {tun::kMedia, &R::media},
                                      {tun::kFileNumber, &R::fileNumber},
                                      {tun::kReleaseDate, &R::releaseDate},
                                      {tun::kCategoryId, &R::categoryId},
                                      {tun::kChartNumber, &R::chartNumber},
                                      {tun::kTrackNumber, &R::trackNumber},
                                      {tun::kSide, &R::side},
                                      {tun::kTime, &R::time},
                                      {tun::kUserDefinedKeyField, &R::userDefinedKeyField},
                                      {tun::kAdditionalInformation1, &R::additionalInformation1},
                                      {tun::kAdditionalInformation2, &R::additionalInformation2},
                                      {tun::kAdditionalInformation3, &R::additionalInformation3},
                                      {tun::kBeatsPerMinute, &R::beatsPerMinute},
                                      {tun::kStyle, &R::style},
                                      {tun::kComposer, &R::composer},
                                      {tun::kLastPlayed, &R::lastPlayed},
                                      {tun::kSkips, &R::skips},
                                      {tun::kEndType, &R::endType},
                                      {tun::kInOut, &R::inOut},
                                      {tun::kRating, &R::rating},
                                      {tun::kLive, &R::live},
                                      {tun::kDoNotPlay, &R::doNotPlay},
                                      {tun::kId, &R::id},
                                      {tun::kAlbumId, &R::albumId},
                                      {tun::kFilePath, &R::filePath},
                                      {tun::kFileModified, &R::fileModified},
                                      {tun::kFileMissing, &R::fileMissing},
                                      {tun::kMusicalKey, &R::musicalKey},
                                      {tun::kRecording, &R::recording},
                                      {tun::kPerformanceNotes, &R::performanceNotes},
                                      {tun::kNotes, &R::notes}}};
}();
static_assert(membersMatchDictionary<SongRecord>());

inline constexpr std::array<Member<AlbumRecord>, 17> AlbumRecord::kMembers = [] {
    using R = AlbumRecord;
    return std::array<Member<R>, 17>{{{alb::kAlbumId, &R::albumId},
                                      {alb::kArtist, &R::artist},
                                      {alb::kAlbum, &R::album},
                                      {alb::kMedia, &R::media},
                                      {alb::kFileNumber, &R::fileNumber},
                                      {alb::kReleaseDate, &R::releaseDate},
                                      {alb::kCategoryId, &R::categoryId},
                                      {alb::kAssociatedWavFile, &R::associatedWavFile},
                                      {alb::kAssociatedImage, &R::associatedImage},
                                      {alb::kCdIdentifier, &R::cdIdentifier},
                                      {alb::kXccd, &R::xccd},
                                      {alb::kPlaylist, &R::playlist},
                                      {alb::kRating, &R::rating},
                                      {alb::kTotalTime, &R::totalTime},
                                      {alb::kRecording, &R::recording},
                                      {alb::kPerformance, &R::performance},
                                      {alb::kNotes, &R::notes}}};
}();
static_assert(membersMatchDictionary<AlbumRecord>());

inline constexpr std::array<Member<CategoryRecord>, 2> CategoryRecord::kMembers = [] {
    using R = CategoryRecord;
    return std::array<Member<R>, 2>{{{cat::kCategoryId, &R::categoryId}, {cat::kCategory, &R::category}}};
}();
static_assert(membersMatchDictionary<CategoryRecord>());

inline constexpr std::array<Member<FontRecord>, 5> FontRecord::kMembers = [] {
    using R = FontRecord;
    return std::array<Member<R>, 5>{{{fon::kFontId, &R::fontId},
                                     {fon::kTypeFace, &R::typeFace},
                                     {fon::kSize, &R::size},
                                     {fon::kColour, &R::colour},
                                     {fon::kStyle, &R::style}}};
}();
static_assert(membersMatchDictionary<FontRecord>());

inline constexpr std::array<Member<LabelRecord>, 29> LabelRecord::kMembers = [] {
    using R = LabelRecord;
    return std::array<Member<R>, 29>{{{lab::kLabelId, &R::labelId},
                                      {lab::kLabelDescription, &R::labelDescription},
                                      {lab::kLabelType, &R::labelType},
                                      {lab::kAlbumId, &R::albumId},
                                      {lab::kCdSpine, &R::cdSpine},
                                      {lab::kCdSpineFontId, &R::cdSpineFontId},
                                      {lab::kCdTitle, &R::cdTitle},
                                      {lab::kCdTitleFontId, &R::cdTitleFontId},
                                      {lab::kCdCoverTextFontId, &R::cdCoverTextFontId},
                                      {lab::kCdInsideTextFontId, &R::cdInsideTextFontId},
                                      {lab::kCdSpineJustification, &R::cdSpineJustification},
                                      {lab::kCdTextJustification, &R::cdTextJustification},
                                      {lab::kCdBackCoverJustification, &R::cdBackCoverJustification},
                                      {lab::kCassetteFlapFontId, &R::cassetteFlapFontId},
                                      {lab::kCassetteTitleFontId, &R::cassetteTitleFontId},
                                      {lab::kCassetteContentsFontId, &R::cassetteContentsFontId},
                                      {lab::kCassetteFormat, &R::cassetteFormat},
                                      {lab::kImageName, &R::imageName},
                                      {lab::kImagePositionX, &R::imagePositionX},
                                      {lab::kImagePositionY, &R::imagePositionY},
                                      {lab::kImageSize, &R::imageSize},
                                      {lab::kImageSizeX, &R::imageSizeX},
                                      {lab::kImageSizeY, &R::imageSizeY},
                                      {lab::kCdCoverText, &R::cdCoverText},
                                      {lab::kCdInsideText, &R::cdInsideText},
                                      {lab::kCassetteFlap, &R::cassetteFlap},
                                      {lab::kCassetteTitle, &R::cassetteTitle},
                                      {lab::kCassetteContentsA, &R::cassetteContentsA},
                                      {lab::kCassetteContentsB, &R::cassetteContentsB}}};
}();
static_assert(membersMatchDictionary<LabelRecord>());

inline constexpr std::array<Member<TipRecord>, 2> TipRecord::kMembers = [] {
    using R = TipRecord;
    return std::array<Member<R>, 2>{{{tip::kTip, &R::tip}, {tip::kId, &R::id}}};
}();
static_assert(membersMatchDictionary<TipRecord>());

inline constexpr std::array<Member<MediaRecord>, 1> MediaRecord::kMembers = [] {
    using R = MediaRecord;
    return std::array<Member<R>, 1>{{{med::kMedia, &R::media}}};
}();
static_assert(membersMatchDictionary<MediaRecord>());

inline constexpr std::array<Member<PlaylistEntryRecord>, 7> PlaylistEntryRecord::kMembers = [] {
    using R = PlaylistEntryRecord;
    return std::array<Member<R>, 7>{{{pla::kPlaylistId, &R::playlistId},
                                     {pla::kPlaylistSeq, &R::playlistSeq},
                                     {pla::kId, &R::id},
                                     {pla::kPlaylistNotes, &R::playlistNotes},
                                     {pla::kLastWeek, &R::lastWeek},
                                     {pla::kThisWeek, &R::thisWeek},
                                     {pla::kHighestChartPosition, &R::highestChartPosition}}};
}();
static_assert(membersMatchDictionary<PlaylistEntryRecord>());

inline constexpr std::array<Member<PlaylistRecord>, 4> PlaylistRecord::kMembers = [] {
    using R = PlaylistRecord;
    return std::array<Member<R>, 4>{{{pld::kPlaylistId, &R::playlistId},
                                     {pld::kPlaylistDescription, &R::playlistDescription},
                                     {pld::kLastEditDate, &R::lastEditDate},
                                     {pld::kNotes, &R::notes}}};
}();
static_assert(membersMatchDictionary<PlaylistRecord>());

inline constexpr std::array<Member<SavedSearchRecord>, 5> SavedSearchRecord::kMembers = [] {
    using R = SavedSearchRecord;
    return std::array<Member<R>, 5>{{{ssr::kSearchId, &R::searchId},
                                     {ssr::kName, &R::name},
                                     {ssr::kSearchText, &R::searchText},
                                     {ssr::kSortOrder, &R::sortOrder},
                                     {ssr::kLastEditDate, &R::lastEditDate}}};
}();
static_assert(membersMatchDictionary<SavedSearchRecord>());

inline constexpr std::array<Member<WizardTrackRecord>, 6> WizardTrackRecord::kMembers = [] {
    using R = WizardTrackRecord;
    return std::array<Member<R>, 6>{{{aw::kInstance, &R::instance},
                                     {aw::kSide, &R::side},
                                     {aw::kTrack, &R::track},
                                     {aw::kArtist, &R::artist},
                                     {aw::kTitle, &R::title},
                                     {aw::kTime, &R::time}}};
}();
static_assert(membersMatchDictionary<WizardTrackRecord>());

} // namespace tunarium
