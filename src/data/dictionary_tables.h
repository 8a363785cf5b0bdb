// The data dictionary's tables as compile-time constants: every table's fields in declared order
// (fields, then memos) and its keys, from which the runtime dictionary (dictionary.h) is built,
// and per table the indexes of its fields and keys as named constants. Code names a field as
// tun::kArtist (TUN:Artist) and a key as tun::kSongsByArtist; a constant is computed from the
// tables below, so a name that is not in them does not compile.
#pragma once

#include "data/dictionary.h"

#include <array>
#include <span>
#include <string_view>

namespace tunarium {

struct FieldSpec {
    std::string_view name;
    FieldType type = FieldType::String;
    int width = 0;
    std::string_view picture; // empty for a text: "@s" and its width
    std::string_view formPicture;
    FieldMeaning meaning = FieldMeaning::Plain;
};

inline constexpr int kMaxKeyComponents = 5;

struct KeySpec {
    std::string_view name;
    std::array<std::string_view, kMaxKeyComponents> components; // field names; unused ones empty
    bool unique = false;
    bool primary = false;
    // Keeps records whose components are all blank (text is still compared without regard to case).
    bool keepsBlank = false;
};

struct TableSpec {
    TableId id;
    std::string_view label;
    std::string_view prefix;
    std::string_view fileName;
    int version;
    int recordBytes;
    std::span<const FieldSpec> fields;
    std::span<const KeySpec> keys;
};

namespace spec {

constexpr FieldSpec text(std::string_view name, int width) {
    return {name, FieldType::String, width};
}
constexpr FieldSpec longField(std::string_view name, std::string_view picture = "@n-14") {
    return {name, FieldType::Long, 0, picture};
}
constexpr FieldSpec byteField(std::string_view name, std::string_view picture = "@n3",
                              std::string_view formPicture = {}) {
    return {name, FieldType::Byte, 0, picture, formPicture};
}
constexpr FieldSpec decimalField(std::string_view name, int digits, std::string_view picture = "@n-14") {
    return {name, FieldType::Decimal, digits, picture};
}
constexpr FieldSpec dateField(std::string_view name, std::string_view picture,
                              std::string_view formPicture = {}) {
    return {name, FieldType::Long, 0, picture, formPicture, FieldMeaning::Date};
}
constexpr FieldSpec timeField(std::string_view name, std::string_view picture = "@t4") {
    return {name, FieldType::Long, 0, picture, {}, FieldMeaning::Time};
}
constexpr FieldSpec memo(std::string_view name, int width) {
    return {name, FieldType::Memo, width};
}

} // namespace spec

// Songs table `Tunarium`.
inline constexpr FieldSpec kSongFields[] = {
    spec::text("Artist", 50),
    spec::text("Title", 50),
    spec::text("Mix", 30),
    spec::text("Album", 50),
    spec::text("Media", 20),
    spec::text("FileNumber", 20),
    spec::dateField("ReleaseDate", "@d2", "@d17"),
    spec::longField("CategoryID", "@n-13"),
    spec::byteField("ChartNumber", "@n3"),
    spec::byteField("TrackNumber", "@n3"),
    spec::byteField("Side", "@n2b"),
    spec::timeField("Time", "@t4"),
    spec::text("UserDefinedKeyField", 30),
    spec::text("AdditionalInformation1", 80),
    spec::text("AdditionalInformation2", 80),
    spec::text("AdditionalInformation3", 80),
    spec::longField("BeatsPerMinute", "@n_4b"),
    spec::text("Style", 30),
    spec::text("Composer", 80),
    spec::dateField("LastPlayed", "@d17-"),
    spec::byteField("Skips", "@n3"),
    spec::text("EndType", 6),
    spec::text("InOut", 20),
    spec::byteField("Rating", "@n2", "@n2b"),
    spec::byteField("Live", "@n3"),
    spec::byteField("DoNotPlay", "@n3"),
    spec::longField("ID", "@n-14"),
    spec::longField("AlbumID", "@n-14"),
    spec::memo("Recording", 256),
    spec::memo("PerformanceNotes", 256),
    spec::memo("Notes", 2000),
};
// The first four keep songs with a blank title or artist in every songs list.
inline constexpr KeySpec kSongKeys[] = {
    {"SongsByArtist", {"Artist", "Title", "Mix"}, false, false, true},
    {"SongsByTitle", {"Title", "Artist"}, false, false, true},
    {"SongsByAlbum", {"Album", "Artist", "Side", "TrackNumber", "Title"}, false, false, true},
    {"SongsByMedia", {"Media", "FileNumber", "Title"}, false, false, true},
    {"SongsByCategory", {"CategoryID", "Artist", "Title", "Album"}},
    {"SongsByChartNumber", {"ChartNumber", "Artist", "Title"}},
    {"SongsByUserDefinedKey", {"UserDefinedKeyField", "Artist", "Title"}},
    {"KeyID", {"ID"}, true, true},
    {"KeyAlbumID", {"AlbumID", "Side", "TrackNumber"}},
    {"KeyBeatsPerMinute", {"BeatsPerMinute", "Title", "Artist"}},
    {"KeyFileNumber", {"FileNumber"}},
    {"KeyMix", {"Mix", "Title", "Artist"}},
};

inline constexpr FieldSpec kAlbumFields[] = {
    spec::longField("AlbumID"),
    spec::text("Artist", 50),
    spec::text("Album", 50),
    spec::text("Media", 20),
    spec::text("FileNumber", 20),
    spec::dateField("ReleaseDate", "@d2", "@d17"),
    spec::decimalField("CategoryID", 11, "@n-13"),
    spec::text("AssociatedWAVFile", 128),
    spec::text("AssociatedImage", 128),
    spec::text("CDIdentifier", 24),
    spec::text("XCCD", 32),
    spec::text("Playlist", 70),
    spec::byteField("Rating", "@n2b"),
    spec::timeField("TotalTime"),
    spec::memo("Recording", 256),
    spec::memo("Performance", 256),
    spec::memo("Notes", 2000),
};
inline constexpr KeySpec kAlbumKeys[] = {
    {"KeyAlbumID", {"AlbumID"}, true, true},
    {"KeyAlbum", {"Album", "Artist"}, true},
    {"KeyArtist", {"Artist", "Album"}, true},
    {"KeyCDIdentifier", {"CDIdentifier"}, true},
    {"KeyFileNumber", {"FileNumber"}},
    {"KeyCategory", {"CategoryID", "Album", "Artist"}},
    {"KeyCategoryArtist", {"CategoryID", "Artist", "Album"}},
};

inline constexpr FieldSpec kCategoryFields[] = {
    spec::decimalField("CategoryID", 11, "@n-13"),
    spec::text("Category", 30),
};
inline constexpr KeySpec kCategoryKeys[] = {
    {"KeyCategoryID", {"CategoryID"}, true, true},
    {"KeyCategory", {"Category"}, true},
};

inline constexpr FieldSpec kFontFields[] = {
    spec::decimalField("FontID", 11), spec::text("TypeFace", 32), spec::text("Size", 32),
    spec::text("Colour", 32),         spec::text("Style", 32),
};
inline constexpr KeySpec kFontKeys[] = {
    {"KeyFontID", {"FontID"}, true, true},
    {"KeyTypeFace", {"TypeFace", "Size", "Colour", "Style"}, true},
};

inline constexpr FieldSpec kLabelFields[] = {
    spec::decimalField("LabelID", 11),
    spec::text("LabelDescription", 30),
    spec::text("LabelType", 9),
    spec::longField("AlbumID"),
    spec::text("CDSpine", 100),
    spec::longField("CDSpineFontID"),
    spec::text("CDTitle", 100),
    spec::longField("CDTitleFontID"),
    spec::longField("CDCoverTextFontID"),
    spec::longField("CDInsideTextFontID"),
    spec::text("CDSpineJustification", 6),
    spec::text("CDTextJustification", 6),
    spec::text("CDBackCoverJustification", 6),
    spec::longField("CassetteFlapFontID"),
    spec::longField("CassetteTitleFontID"),
    spec::longField("CassetteContentsFontID"),
    spec::text("CassetteFormat", 20),
    spec::text("ImageName", 255),
    spec::longField("ImagePositionX"),
    spec::longField("ImagePositionY"),
    spec::text("ImageSize", 20),
    spec::longField("ImageSizeX"),
    spec::text("ImageSizeY", 20),
    spec::memo("CDCoverText", 3000),
    spec::memo("CDInsideText", 3000),
    spec::memo("CassetteFlap", 1024),
    spec::memo("CassetteTitle", 1024),
    spec::memo("CassetteContentsA", 3000),
    spec::memo("CassetteContentsB", 3000),
};
inline constexpr KeySpec kLabelKeys[] = {
    {"KeyLabelID", {"LabelID"}, true, true},
    {"KeyLabelDescription", {"LabelDescription"}, true},
    {"KeyLabelType", {"LabelType", "LabelDescription"}},
};

inline constexpr FieldSpec kTipFields[] = {spec::text("Tip", 1024), spec::longField("ID")};
inline constexpr KeySpec kTipKeys[] = {
    {"KeyTip", {"Tip"}, true},
    {"KeyID", {"ID"}, true, true},
};

inline constexpr FieldSpec kMediaFields[] = {spec::text("Media", 20)};
inline constexpr KeySpec kMediaKeys[] = {{"KeyMedia", {"Media"}, true}};

// Playlist entries `PlaylistDetails`. KeyID keeps entries whose song number is zero.
inline constexpr FieldSpec kPlaylistEntryFields[] = {
    spec::longField("PlaylistID"),
    spec::decimalField("PlaylistSeq", 11),
    spec::decimalField("ID", 11),
    spec::text("PlaylistNotes", 40),
    spec::text("LastWeek", 3),
    spec::text("ThisWeek", 3),
    spec::text("HighestChartPosition", 3),
};
inline constexpr KeySpec kPlaylistEntryKeys[] = {
    {"KeyPlaylistID", {"PlaylistID", "PlaylistSeq"}, true, true},
    {"KeyID", {"ID"}, false, false, true},
};

inline constexpr FieldSpec kPlaylistFields[] = {
    spec::longField("PlaylistID"),
    spec::text("PlaylistDescription", 30),
    spec::dateField("LastEditDate", "@d17"),
    spec::memo("Notes", 1000),
};
inline constexpr KeySpec kPlaylistKeys[] = {
    {"KeyPlaylistID", {"PlaylistID"}, true, true},
    {"KeyPlaylistDescription", {"PlaylistDescription"}, true},
};

// The wizard scratch table `AddWizard`.
inline constexpr FieldSpec kWizardTrackFields[] = {
    spec::decimalField("Instance", 11), spec::text("Side", 1),   spec::decimalField("Track", 3, "@n3"),
    spec::text("Artist", 30),           spec::text("Title", 30), spec::timeField("Time"),
};
inline constexpr KeySpec kWizardTrackKeys[] = {{"KeyInstance", {"Instance", "Side", "Track"}, true, true}};

// Every table, in the order start-up registers them (the order of TableId).
inline constexpr std::array<TableSpec, kTableCount> kTableSpecs = {{
    {TableId::AddWizard, "AddWizard", "AW", "TNRAdWiz", 1, 73, kWizardTrackFields, kWizardTrackKeys},
    {TableId::Album, "Album", "ALB", "tnralbum", 3, 541, kAlbumFields, kAlbumKeys},
    {TableId::Categories, "Categories", "CAT", "TNRCAT", 1, 36, kCategoryFields, kCategoryKeys},
    {TableId::Fonts, "Fonts", "FON", "tnrfont", 1, 134, kFontFields, kFontKeys},
    {TableId::Labels, "Labels", "LAB", "tnrlabel", 2, 622, kLabelFields, kLabelKeys},
    {TableId::TNRTips, "TNRTips", "TIP", "TNRTIPS", 0, 1028, kTipFields, kTipKeys},
    {TableId::Media, "Media", "MED", "tnrmedia", 1, 20, kMediaFields, kMediaKeys},
    {TableId::Tunarium, "Tunarium", "TUN", "tnrdata", 6, 661, kSongFields, kSongKeys},
    {TableId::PlaylistDetails, "PlaylistDetails", "PLA", "tnrpldet", 2, 65, kPlaylistEntryFields,
     kPlaylistEntryKeys},
    {TableId::PlaylistMaster, "PlaylistMaster", "PLD", "tnrplist", 1, 38, kPlaylistFields, kPlaylistKeys},
}};

namespace spec {

// The index of a field or key by its name. Not a constant, and so a compile error, when the table
// has no such name.
consteval int fieldIndex(std::span<const FieldSpec> fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) {
            return static_cast<int>(i);
        }
    }
    throw "the table has no field of this name";
}
consteval int keyIndex(std::span<const KeySpec> keys, std::string_view name) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].name == name) {
            return static_cast<int>(i);
        }
    }
    throw "the table has no key of this name";
}

// Every table sits at its TableId; every key component names a field of the table that is not a
// memo; a table has at most one primary key and its primary key is unique.
consteval bool tablesAreSound() {
    for (std::size_t t = 0; t < kTableSpecs.size(); ++t) {
        const TableSpec& table = kTableSpecs[t];
        if (static_cast<std::size_t>(table.id) != t) {
            return false;
        }
        int primaries = 0;
        for (std::size_t k = 0; k < table.keys.size(); ++k) {
            const KeySpec& key = table.keys[k];
            primaries += key.primary ? 1 : 0;
            if ((key.primary && !key.unique) || key.components[0].size() == 0) {
                return false;
            }
            for (std::size_t c = 0; c < key.components.size(); ++c) {
                const std::string_view& component = key.components[c];
                bool found = component.size() == 0;
                for (std::size_t f = 0; f < table.fields.size(); ++f) {
                    found = found ||
                            (table.fields[f].name == component && table.fields[f].type != FieldType::Memo);
                }
                if (!found) {
                    return false;
                }
            }
        }
        if (primaries > 1) {
            return false;
        }
    }
    return true;
}
static_assert(tablesAreSound(), "a table of the dictionary is out of order or a key names no field");

} // namespace spec

// Songs (TUN), also walked as A_Songs (A_S).
namespace tun {
inline constexpr int kArtist = spec::fieldIndex(kSongFields, "Artist");
inline constexpr int kTitle = spec::fieldIndex(kSongFields, "Title");
inline constexpr int kMix = spec::fieldIndex(kSongFields, "Mix");
inline constexpr int kAlbum = spec::fieldIndex(kSongFields, "Album");
inline constexpr int kMedia = spec::fieldIndex(kSongFields, "Media");
inline constexpr int kFileNumber = spec::fieldIndex(kSongFields, "FileNumber");
inline constexpr int kReleaseDate = spec::fieldIndex(kSongFields, "ReleaseDate");
inline constexpr int kCategoryId = spec::fieldIndex(kSongFields, "CategoryID");
inline constexpr int kChartNumber = spec::fieldIndex(kSongFields, "ChartNumber");
inline constexpr int kTrackNumber = spec::fieldIndex(kSongFields, "TrackNumber");
inline constexpr int kSide = spec::fieldIndex(kSongFields, "Side");
inline constexpr int kTime = spec::fieldIndex(kSongFields, "Time");
inline constexpr int kUserDefinedKeyField = spec::fieldIndex(kSongFields, "UserDefinedKeyField");
inline constexpr int kAdditionalInformation1 = spec::fieldIndex(kSongFields, "AdditionalInformation1");
inline constexpr int kAdditionalInformation2 = spec::fieldIndex(kSongFields, "AdditionalInformation2");
inline constexpr int kAdditionalInformation3 = spec::fieldIndex(kSongFields, "AdditionalInformation3");
inline constexpr int kBeatsPerMinute = spec::fieldIndex(kSongFields, "BeatsPerMinute");
inline constexpr int kStyle = spec::fieldIndex(kSongFields, "Style");
inline constexpr int kComposer = spec::fieldIndex(kSongFields, "Composer");
inline constexpr int kLastPlayed = spec::fieldIndex(kSongFields, "LastPlayed");
inline constexpr int kSkips = spec::fieldIndex(kSongFields, "Skips");
inline constexpr int kEndType = spec::fieldIndex(kSongFields, "EndType");
inline constexpr int kInOut = spec::fieldIndex(kSongFields, "InOut");
inline constexpr int kRating = spec::fieldIndex(kSongFields, "Rating");
inline constexpr int kLive = spec::fieldIndex(kSongFields, "Live");
inline constexpr int kDoNotPlay = spec::fieldIndex(kSongFields, "DoNotPlay");
inline constexpr int kId = spec::fieldIndex(kSongFields, "ID");
inline constexpr int kAlbumId = spec::fieldIndex(kSongFields, "AlbumID");
inline constexpr int kRecording = spec::fieldIndex(kSongFields, "Recording");
inline constexpr int kPerformanceNotes = spec::fieldIndex(kSongFields, "PerformanceNotes");
inline constexpr int kNotes = spec::fieldIndex(kSongFields, "Notes");

inline constexpr int kSongsByArtist = spec::keyIndex(kSongKeys, "SongsByArtist");
inline constexpr int kSongsByTitle = spec::keyIndex(kSongKeys, "SongsByTitle");
inline constexpr int kSongsByAlbum = spec::keyIndex(kSongKeys, "SongsByAlbum");
inline constexpr int kSongsByMedia = spec::keyIndex(kSongKeys, "SongsByMedia");
inline constexpr int kSongsByCategory = spec::keyIndex(kSongKeys, "SongsByCategory");
inline constexpr int kSongsByChartNumber = spec::keyIndex(kSongKeys, "SongsByChartNumber");
inline constexpr int kSongsByUserDefinedKey = spec::keyIndex(kSongKeys, "SongsByUserDefinedKey");
inline constexpr int kKeyId = spec::keyIndex(kSongKeys, "KeyID");
inline constexpr int kKeyAlbumId = spec::keyIndex(kSongKeys, "KeyAlbumID");
inline constexpr int kKeyBeatsPerMinute = spec::keyIndex(kSongKeys, "KeyBeatsPerMinute");
inline constexpr int kKeyFileNumber = spec::keyIndex(kSongKeys, "KeyFileNumber");
inline constexpr int kKeyMix = spec::keyIndex(kSongKeys, "KeyMix");
} // namespace tun

namespace alb {
inline constexpr int kAlbumId = spec::fieldIndex(kAlbumFields, "AlbumID");
inline constexpr int kArtist = spec::fieldIndex(kAlbumFields, "Artist");
inline constexpr int kAlbum = spec::fieldIndex(kAlbumFields, "Album");
inline constexpr int kMedia = spec::fieldIndex(kAlbumFields, "Media");
inline constexpr int kFileNumber = spec::fieldIndex(kAlbumFields, "FileNumber");
inline constexpr int kReleaseDate = spec::fieldIndex(kAlbumFields, "ReleaseDate");
inline constexpr int kCategoryId = spec::fieldIndex(kAlbumFields, "CategoryID");
inline constexpr int kAssociatedWavFile = spec::fieldIndex(kAlbumFields, "AssociatedWAVFile");
inline constexpr int kAssociatedImage = spec::fieldIndex(kAlbumFields, "AssociatedImage");
inline constexpr int kCdIdentifier = spec::fieldIndex(kAlbumFields, "CDIdentifier");
inline constexpr int kXccd = spec::fieldIndex(kAlbumFields, "XCCD");
inline constexpr int kPlaylist = spec::fieldIndex(kAlbumFields, "Playlist");
inline constexpr int kRating = spec::fieldIndex(kAlbumFields, "Rating");
inline constexpr int kTotalTime = spec::fieldIndex(kAlbumFields, "TotalTime");
inline constexpr int kRecording = spec::fieldIndex(kAlbumFields, "Recording");
inline constexpr int kPerformance = spec::fieldIndex(kAlbumFields, "Performance");
inline constexpr int kNotes = spec::fieldIndex(kAlbumFields, "Notes");

inline constexpr int kKeyAlbumId = spec::keyIndex(kAlbumKeys, "KeyAlbumID");
inline constexpr int kKeyAlbum = spec::keyIndex(kAlbumKeys, "KeyAlbum");
inline constexpr int kKeyArtist = spec::keyIndex(kAlbumKeys, "KeyArtist");
inline constexpr int kKeyCdIdentifier = spec::keyIndex(kAlbumKeys, "KeyCDIdentifier");
inline constexpr int kKeyFileNumber = spec::keyIndex(kAlbumKeys, "KeyFileNumber");
inline constexpr int kKeyCategory = spec::keyIndex(kAlbumKeys, "KeyCategory");
inline constexpr int kKeyCategoryArtist = spec::keyIndex(kAlbumKeys, "KeyCategoryArtist");
} // namespace alb

namespace cat {
inline constexpr int kCategoryId = spec::fieldIndex(kCategoryFields, "CategoryID");
inline constexpr int kCategory = spec::fieldIndex(kCategoryFields, "Category");

inline constexpr int kKeyCategoryId = spec::keyIndex(kCategoryKeys, "KeyCategoryID");
inline constexpr int kKeyCategory = spec::keyIndex(kCategoryKeys, "KeyCategory");
} // namespace cat

namespace fon {
inline constexpr int kFontId = spec::fieldIndex(kFontFields, "FontID");
inline constexpr int kTypeFace = spec::fieldIndex(kFontFields, "TypeFace");
inline constexpr int kSize = spec::fieldIndex(kFontFields, "Size");
inline constexpr int kColour = spec::fieldIndex(kFontFields, "Colour");
inline constexpr int kStyle = spec::fieldIndex(kFontFields, "Style");

inline constexpr int kKeyFontId = spec::keyIndex(kFontKeys, "KeyFontID");
inline constexpr int kKeyTypeFace = spec::keyIndex(kFontKeys, "KeyTypeFace");
} // namespace fon

namespace lab {
inline constexpr int kLabelId = spec::fieldIndex(kLabelFields, "LabelID");
inline constexpr int kLabelDescription = spec::fieldIndex(kLabelFields, "LabelDescription");
inline constexpr int kLabelType = spec::fieldIndex(kLabelFields, "LabelType");
inline constexpr int kAlbumId = spec::fieldIndex(kLabelFields, "AlbumID");
inline constexpr int kCdSpine = spec::fieldIndex(kLabelFields, "CDSpine");
inline constexpr int kCdSpineFontId = spec::fieldIndex(kLabelFields, "CDSpineFontID");
inline constexpr int kCdTitle = spec::fieldIndex(kLabelFields, "CDTitle");
inline constexpr int kCdTitleFontId = spec::fieldIndex(kLabelFields, "CDTitleFontID");
inline constexpr int kCdCoverTextFontId = spec::fieldIndex(kLabelFields, "CDCoverTextFontID");
inline constexpr int kCdInsideTextFontId = spec::fieldIndex(kLabelFields, "CDInsideTextFontID");
inline constexpr int kCdSpineJustification = spec::fieldIndex(kLabelFields, "CDSpineJustification");
inline constexpr int kCdTextJustification = spec::fieldIndex(kLabelFields, "CDTextJustification");
inline constexpr int kCdBackCoverJustification = spec::fieldIndex(kLabelFields, "CDBackCoverJustification");
inline constexpr int kCassetteFlapFontId = spec::fieldIndex(kLabelFields, "CassetteFlapFontID");
inline constexpr int kCassetteTitleFontId = spec::fieldIndex(kLabelFields, "CassetteTitleFontID");
inline constexpr int kCassetteContentsFontId = spec::fieldIndex(kLabelFields, "CassetteContentsFontID");
inline constexpr int kCassetteFormat = spec::fieldIndex(kLabelFields, "CassetteFormat");
inline constexpr int kImageName = spec::fieldIndex(kLabelFields, "ImageName");
inline constexpr int kImagePositionX = spec::fieldIndex(kLabelFields, "ImagePositionX");
inline constexpr int kImagePositionY = spec::fieldIndex(kLabelFields, "ImagePositionY");
inline constexpr int kImageSize = spec::fieldIndex(kLabelFields, "ImageSize");
inline constexpr int kImageSizeX = spec::fieldIndex(kLabelFields, "ImageSizeX");
inline constexpr int kImageSizeY = spec::fieldIndex(kLabelFields, "ImageSizeY");
inline constexpr int kCdCoverText = spec::fieldIndex(kLabelFields, "CDCoverText");
inline constexpr int kCdInsideText = spec::fieldIndex(kLabelFields, "CDInsideText");
inline constexpr int kCassetteFlap = spec::fieldIndex(kLabelFields, "CassetteFlap");
inline constexpr int kCassetteTitle = spec::fieldIndex(kLabelFields, "CassetteTitle");
inline constexpr int kCassetteContentsA = spec::fieldIndex(kLabelFields, "CassetteContentsA");
inline constexpr int kCassetteContentsB = spec::fieldIndex(kLabelFields, "CassetteContentsB");

inline constexpr int kKeyLabelId = spec::keyIndex(kLabelKeys, "KeyLabelID");
inline constexpr int kKeyLabelDescription = spec::keyIndex(kLabelKeys, "KeyLabelDescription");
inline constexpr int kKeyLabelType = spec::keyIndex(kLabelKeys, "KeyLabelType");
} // namespace lab

namespace tip {
inline constexpr int kTip = spec::fieldIndex(kTipFields, "Tip");
inline constexpr int kId = spec::fieldIndex(kTipFields, "ID");

inline constexpr int kKeyTip = spec::keyIndex(kTipKeys, "KeyTip");
inline constexpr int kKeyId = spec::keyIndex(kTipKeys, "KeyID");
} // namespace tip

namespace med {
inline constexpr int kMedia = spec::fieldIndex(kMediaFields, "Media");

inline constexpr int kKeyMedia = spec::keyIndex(kMediaKeys, "KeyMedia");
} // namespace med

namespace pla {
inline constexpr int kPlaylistId = spec::fieldIndex(kPlaylistEntryFields, "PlaylistID");
inline constexpr int kPlaylistSeq = spec::fieldIndex(kPlaylistEntryFields, "PlaylistSeq");
inline constexpr int kId = spec::fieldIndex(kPlaylistEntryFields, "ID");
inline constexpr int kPlaylistNotes = spec::fieldIndex(kPlaylistEntryFields, "PlaylistNotes");
inline constexpr int kLastWeek = spec::fieldIndex(kPlaylistEntryFields, "LastWeek");
inline constexpr int kThisWeek = spec::fieldIndex(kPlaylistEntryFields, "ThisWeek");
inline constexpr int kHighestChartPosition = spec::fieldIndex(kPlaylistEntryFields, "HighestChartPosition");

inline constexpr int kKeyPlaylistId = spec::keyIndex(kPlaylistEntryKeys, "KeyPlaylistID");
inline constexpr int kKeyId = spec::keyIndex(kPlaylistEntryKeys, "KeyID");
} // namespace pla

namespace pld {
inline constexpr int kPlaylistId = spec::fieldIndex(kPlaylistFields, "PlaylistID");
inline constexpr int kPlaylistDescription = spec::fieldIndex(kPlaylistFields, "PlaylistDescription");
inline constexpr int kLastEditDate = spec::fieldIndex(kPlaylistFields, "LastEditDate");
inline constexpr int kNotes = spec::fieldIndex(kPlaylistFields, "Notes");

inline constexpr int kKeyPlaylistId = spec::keyIndex(kPlaylistKeys, "KeyPlaylistID");
inline constexpr int kKeyPlaylistDescription = spec::keyIndex(kPlaylistKeys, "KeyPlaylistDescription");
} // namespace pld

namespace aw {
inline constexpr int kInstance = spec::fieldIndex(kWizardTrackFields, "Instance");
inline constexpr int kSide = spec::fieldIndex(kWizardTrackFields, "Side");
inline constexpr int kTrack = spec::fieldIndex(kWizardTrackFields, "Track");
inline constexpr int kArtist = spec::fieldIndex(kWizardTrackFields, "Artist");
inline constexpr int kTitle = spec::fieldIndex(kWizardTrackFields, "Title");
inline constexpr int kTime = spec::fieldIndex(kWizardTrackFields, "Time");

inline constexpr int kKeyInstance = spec::keyIndex(kWizardTrackKeys, "KeyInstance");
} // namespace aw

} // namespace tunarium
