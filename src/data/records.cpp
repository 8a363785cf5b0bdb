// Member lists of the typed records, in the dictionary's field order.
#include "data/records.h"

namespace tunarium {

const std::array<MemberRef<SongRecord>, 31>& SongRecord::members() {
    using R = SongRecord;
    static const std::array<MemberRef<R>, 31> m = {
        &R::artist, &R::title, &R::mix, &R::album, &R::media, &R::fileNumber, &R::releaseDate, &R::categoryId,
        &R::chartNumber, &R::trackNumber, &R::side, &R::time, &R::userDefinedKeyField,
        &R::additionalInformation1, &R::additionalInformation2, &R::additionalInformation3, &R::beatsPerMinute,
        &R::style, &R::composer, &R::lastPlayed, &R::skips, &R::endType, &R::inOut, &R::rating, &R::live,
        &R::doNotPlay, &R::id, &R::albumId, &R::recording, &R::performanceNotes, &R::notes};
    return m;
}

const std::array<MemberRef<AlbumRecord>, 17>& AlbumRecord::members() {
    using R = AlbumRecord;
    static const std::array<MemberRef<R>, 17> m = {
        &R::albumId, &R::artist, &R::album, &R::media, &R::fileNumber, &R::releaseDate,
        &R::categoryId, &R::associatedWavFile, &R::associatedImage, &R::cdIdentifier, &R::xccd, &R::playlist,
        &R::rating, &R::totalTime, &R::recording, &R::performance, &R::notes};
    return m;
}

const std::array<MemberRef<CategoryRecord>, 2>& CategoryRecord::members() {
    static const std::array<MemberRef<CategoryRecord>, 2> m = {&CategoryRecord::categoryId,
                                                               &CategoryRecord::category};
    return m;
}

const std::array<MemberRef<FontRecord>, 5>& FontRecord::members() {
    using R = FontRecord;
    static const std::array<MemberRef<R>, 5> m = {&R::fontId, &R::typeFace, &R::size, &R::colour, &R::style};
    return m;
}

const std::array<MemberRef<LabelRecord>, 29>& LabelRecord::members() {
    using R = LabelRecord;
    static const std::array<MemberRef<R>, 29> m = {
        &R::labelId, &R::labelDescription, &R::labelType, &R::albumId, &R::cdSpine, &R::cdSpineFontId,
        &R::cdTitle, &R::cdTitleFontId, &R::cdCoverTextFontId, &R::cdInsideTextFontId,
        &R::cdSpineJustification, &R::cdTextJustification, &R::cdBackCoverJustification,
        &R::cassetteFlapFontId, &R::cassetteTitleFontId, &R::cassetteContentsFontId, &R::cassetteFormat,
        &R::imageName, &R::imagePositionX, &R::imagePositionY, &R::imageSize, &R::imageSizeX, &R::imageSizeY,
        &R::cdCoverText, &R::cdInsideText, &R::cassetteFlap, &R::cassetteTitle, &R::cassetteContentsA,
        &R::cassetteContentsB};
    return m;
}

const std::array<MemberRef<TipRecord>, 2>& TipRecord::members() {
    static const std::array<MemberRef<TipRecord>, 2> m = {&TipRecord::tip, &TipRecord::id};
    return m;
}

const std::array<MemberRef<MediaRecord>, 1>& MediaRecord::members() {
    static const std::array<MemberRef<MediaRecord>, 1> m = {&MediaRecord::media};
    return m;
}

const std::array<MemberRef<PlaylistEntryRecord>, 7>& PlaylistEntryRecord::members() {
    using R = PlaylistEntryRecord;
    static const std::array<MemberRef<R>, 7> m = {&R::playlistId, &R::playlistSeq, &R::id, &R::playlistNotes,
                                                  &R::lastWeek, &R::thisWeek, &R::highestChartPosition};
    return m;
}

const std::array<MemberRef<PlaylistRecord>, 4>& PlaylistRecord::members() {
    using R = PlaylistRecord;
    static const std::array<MemberRef<R>, 4> m = {&R::playlistId, &R::playlistDescription, &R::lastEditDate,
                                                  &R::notes};
    return m;
}

const std::array<MemberRef<WizardTrackRecord>, 6>& WizardTrackRecord::members() {
    using R = WizardTrackRecord;
    static const std::array<MemberRef<R>, 6> m = {&R::instance, &R::side, &R::track, &R::artist, &R::title,
                                                  &R::time};
    return m;
}

} // namespace tunarium
