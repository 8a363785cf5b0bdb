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

struct FieldDecl {
    std::string_view name;
    FieldType type = FieldType::String;
    int width = 0;
    std::string_view picture; // empty for a text: "@s" and its width
    std::string_view formPicture;
    FieldMeaning meaning = FieldMeaning::Plain;
    bool mayHoldBareYear = false; // FieldDef::mayHoldBareYear
};

inline constexpr int kMaxKeyComponents = 5;

struct KeyDecl {
    std::string_view name;
    std::array<std::string_view, kMaxKeyComponents> components; // field names; unused ones empty
    bool unique = false;
    bool primary = false;
    // Keeps records whose components are all blank (text is still compared without regard to case).
    bool keepsBlank = false;
};

struct TableDecl {
    TableId id;
    std::string_view label;
    std::string_view prefix;
    std::string_view fileName;
    int version;
    int recordBytes;
    std::span<const FieldDecl> fields;
    std::span<const KeyDecl> keys;
};

namespace fielddef {

constexpr FieldDecl text(std::string_view name, int width) {
    return {name, FieldType::String, width};
}
constexpr FieldDecl longField(std::string_view name, std::string_view picture = "@n-14") {
    return {name, FieldType::Long, 0, picture};
}
constexpr FieldDecl byteField(std::string_view name, std::string_view picture = "@n3",
                              std::string_view formPicture = {}) {
    return {name, FieldType::Byte, 0, picture, formPicture};
}
constexpr FieldDecl decimalField(std::string_view name, int digits, std::string_view picture = "@n-14") {
    return {name, FieldType::Decimal, digits, picture};
}
constexpr FieldDecl dateField(std::string_view name, std::string_view picture,
                              std::string_view formPicture = {}) {
    return {name, FieldType::Long, 0, picture, formPicture, FieldMeaning::Date};
}
// A release date: a day number or a bare year, keys ordering the year among its year's dates.
constexpr FieldDecl releaseDateField(std::string_view name, std::string_view picture,
                                     std::string_view formPicture = {}) {
    return {name, FieldType::Long, 0, picture, formPicture, FieldMeaning::Date, true};
}
// A length: shown in lists as h:mm:ss, typed and shown in forms as m:ss (hours when there are any).
constexpr FieldDecl timeField(std::string_view name, std::string_view picture = "@t4",
                              std::string_view formPicture = "@t9") {
    return {name, FieldType::Long, 0, picture, formPicture, FieldMeaning::Time};
}
constexpr FieldDecl memo(std::string_view name, int width) {
    return {name, FieldType::Memo, width};
}

} // namespace fielddef

// Songs table `Tunarium`.
inline constexpr FieldDecl kSongFields[] = {
    fielddef::text("Artist", 50),
    fielddef::text("Title", 50),
    fielddef::text("Mix", 30),
    fielddef::text("Album", 50),
    fielddef::text("Media", 20),
    fielddef::text("FileNumber", 20),
    fielddef::releaseDateField("ReleaseDate", "@d2", "@d17"),
    fielddef::longField("CategoryID", "@n-13"),
    fielddef::byteField("ChartNumber", "@n3", "@n3b"),
    fielddef::byteField("TrackNumber", "@n3"),
    fielddef::byteField("Side", "@n2b"),
    fielddef::timeField("Time", "@t4"),
    fielddef::text("UserDefinedKeyField", 30),
    fielddef::text("AdditionalInformation1", 80),
    fielddef::text("AdditionalInformation2", 80),
    fielddef::text("AdditionalInformation3", 80),
    fielddef::longField("BeatsPerMinute", "@n_4b"),
    fielddef::text("Style", 30),
    fielddef::text("Composer", 80),
    fielddef::dateField("LastPlayed", "@d17-"),
    fielddef::byteField("Skips", "@n3"),
    fielddef::text("EndType", 6),
    fielddef::text("InOut", 20),
    fielddef::byteField("Rating", "@n2", "@n2b"),
    fielddef::byteField("Live", "@n3"),
    fielddef::byteField("DoNotPlay", "@n3"),
    fielddef::longField("ID", "@n-14"),
    fielddef::longField("AlbumID", "@n-14"),
    // The song's audio file: its absolute path, its modification time in seconds since the epoch
    // when it was last read (0 when none), and 1 when the last scan found it gone.
    fielddef::text("FilePath", 1024),
    fielddef::longField("FileModified", "@n-14"),
    fielddef::byteField("FileMissing", "@n3"),
    // The musical key in Camelot notation ("8A", "12B"), blank when unknown.
    fielddef::text("MusicalKey", 3),
    fielddef::memo("Recording", 256),
    fielddef::memo("PerformanceNotes", 256),
    fielddef::memo("Notes", 2000),
};
// The first four keep songs with a blank title or artist in every songs list.
inline constexpr KeyDecl kSongKeys[] = {
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
    // The explorer's header orders: one field each, every song kept, ties in record order. The
    // explorer orders Artist, Title, Album and Media by the first four keys above.
    {"KeyOrderFileNumber", {"FileNumber"}, false, false, true},
    {"KeyOrderCategory", {"CategoryID"}, false, false, true},
    {"KeyOrderTime", {"Time"}, false, false, true},
    {"KeyOrderReleaseDate", {"ReleaseDate"}, false, false, true},
    {"KeyOrderBeatsPerMinute", {"BeatsPerMinute"}, false, false, true},
    {"KeyOrderUserDefinedKey", {"UserDefinedKeyField"}, false, false, true},
    {"KeyOrderLastPlayed", {"LastPlayed"}, false, false, true},
    {"KeyOrderStyle", {"Style"}, false, false, true},
    {"KeyOrderTrackNumber", {"TrackNumber"}, false, false, true},
    {"KeyOrderSide", {"Side"}, false, false, true},
    {"KeyOrderRating", {"Rating"}, false, false, true},
    {"KeyOrderMix", {"Mix"}, false, false, true},
    {"KeyOrderMusicalKey", {"MusicalKey"}, false, false, true},
    // The songs of an audio file, and the songs whose file the last scan found gone.
    {"KeyFilePath", {"FilePath"}},
    {"KeyFileMissing", {"FileMissing", "Artist", "Title"}},
};

inline constexpr FieldDecl kAlbumFields[] = {
    fielddef::longField("AlbumID"),
    fielddef::text("Artist", 50),
    fielddef::text("Album", 50),
    fielddef::text("Media", 20),
    fielddef::text("FileNumber", 20),
    fielddef::releaseDateField("ReleaseDate", "@d2", "@d17"),
    fielddef::decimalField("CategoryID", 11, "@n-13"),
    fielddef::text("AssociatedWAVFile", 128),
    fielddef::text("AssociatedImage", 128),
    fielddef::text("CDIdentifier", 24),
    fielddef::text("XCCD", 32),
    fielddef::text("Playlist", 70),
    fielddef::byteField("Rating", "@n2b"),
    fielddef::timeField("TotalTime"),
    fielddef::memo("Recording", 256),
    fielddef::memo("Performance", 256),
    fielddef::memo("Notes", 2000),
};
inline constexpr KeyDecl kAlbumKeys[] = {
    {"KeyAlbumID", {"AlbumID"}, true, true},
    {"KeyAlbum", {"Album", "Artist"}, true},
    {"KeyArtist", {"Artist", "Album"}, true},
    {"KeyCDIdentifier", {"CDIdentifier"}, true},
    {"KeyFileNumber", {"FileNumber"}},
    {"KeyCategory", {"CategoryID", "Album", "Artist"}},
    {"KeyCategoryArtist", {"CategoryID", "Artist", "Album"}},
    // The explorer's header orders: one field each, every album kept, ties in record order.
    {"KeyOrderAlbum", {"Album"}, false, false, true},
    {"KeyOrderArtist", {"Artist"}, false, false, true},
    {"KeyOrderMedia", {"Media"}, false, false, true},
    {"KeyOrderFileNumber", {"FileNumber"}, false, false, true},
    {"KeyOrderReleaseDate", {"ReleaseDate"}, false, false, true},
    {"KeyOrderXCCD", {"XCCD"}, false, false, true},
};

inline constexpr FieldDecl kCategoryFields[] = {
    fielddef::decimalField("CategoryID", 11, "@n-13"),
    fielddef::text("Category", 30),
};
inline constexpr KeyDecl kCategoryKeys[] = {
    {"KeyCategoryID", {"CategoryID"}, true, true},
    {"KeyCategory", {"Category"}, true},
    // Categories by name with the blank name kept: the songs explorer orders its category column
    // by walking it.
    {"KeyOrderName", {"Category"}, false, false, true},
};

inline constexpr FieldDecl kFontFields[] = {
    fielddef::decimalField("FontID", 11), fielddef::text("TypeFace", 32), fielddef::text("Size", 32),
    fielddef::text("Colour", 32),         fielddef::text("Style", 32),
};
inline constexpr KeyDecl kFontKeys[] = {
    {"KeyFontID", {"FontID"}, true, true},
    {"KeyTypeFace", {"TypeFace", "Size", "Colour", "Style"}, true},
};

inline constexpr FieldDecl kLabelFields[] = {
    fielddef::decimalField("LabelID", 11),
    fielddef::text("LabelDescription", 30),
    fielddef::text("LabelType", 9),
    fielddef::longField("AlbumID"),
    fielddef::text("CDSpine", 100),
    fielddef::longField("CDSpineFontID"),
    fielddef::text("CDTitle", 100),
    fielddef::longField("CDTitleFontID"),
    fielddef::longField("CDCoverTextFontID"),
    fielddef::longField("CDInsideTextFontID"),
    fielddef::text("CDSpineJustification", 6),
    fielddef::text("CDTextJustification", 6),
    fielddef::text("CDBackCoverJustification", 6),
    fielddef::longField("CassetteFlapFontID"),
    fielddef::longField("CassetteTitleFontID"),
    fielddef::longField("CassetteContentsFontID"),
    fielddef::text("CassetteFormat", 20),
    fielddef::text("ImageName", 255),
    fielddef::longField("ImagePositionX"),
    fielddef::longField("ImagePositionY"),
    fielddef::text("ImageSize", 20),
    fielddef::longField("ImageSizeX"),
    fielddef::text("ImageSizeY", 20),
    fielddef::memo("CDCoverText", 3000),
    fielddef::memo("CDInsideText", 3000),
    fielddef::memo("CassetteFlap", 1024),
    fielddef::memo("CassetteTitle", 1024),
    fielddef::memo("CassetteContentsA", 3000),
    fielddef::memo("CassetteContentsB", 3000),
};
inline constexpr KeyDecl kLabelKeys[] = {
    {"KeyLabelID", {"LabelID"}, true, true},
    {"KeyLabelDescription", {"LabelDescription"}, true},
    {"KeyLabelType", {"LabelType", "LabelDescription"}},
};

inline constexpr FieldDecl kTipFields[] = {fielddef::text("Tip", 1024), fielddef::longField("ID")};
inline constexpr KeyDecl kTipKeys[] = {
    {"KeyTip", {"Tip"}, true},
    {"KeyID", {"ID"}, true, true},
};

inline constexpr FieldDecl kMediaFields[] = {fielddef::text("Media", 20)};
inline constexpr KeyDecl kMediaKeys[] = {{"KeyMedia", {"Media"}, true}};

// Playlist entries `PlaylistDetails`. KeyID keeps entries whose song number is zero.
inline constexpr FieldDecl kPlaylistEntryFields[] = {
    fielddef::longField("PlaylistID"),
    fielddef::decimalField("PlaylistSeq", 11),
    fielddef::decimalField("ID", 11),
    fielddef::text("PlaylistNotes", 40),
    fielddef::text("LastWeek", 3),
    fielddef::text("ThisWeek", 3),
    fielddef::text("HighestChartPosition", 3),
};
inline constexpr KeyDecl kPlaylistEntryKeys[] = {
    {"KeyPlaylistID", {"PlaylistID", "PlaylistSeq"}, true, true},
    {"KeyID", {"ID"}, false, false, true},
};

inline constexpr FieldDecl kPlaylistFields[] = {
    fielddef::longField("PlaylistID"),
    fielddef::text("PlaylistDescription", 30),
    fielddef::dateField("LastEditDate", "@d17", "@d18"),
    fielddef::memo("Notes", 1000),
};
inline constexpr KeyDecl kPlaylistKeys[] = {
    {"KeyPlaylistID", {"PlaylistID"}, true, true},
    {"KeyPlaylistDescription", {"PlaylistDescription"}, true},
};

// Searches of the songs list kept under a name `SavedSearches`: the text typed in the search box
// and the sort order it was saved in. The name is unique without regard to case; nothing links to
// a saved search and it links to nothing (its songs are found again each time it runs).
inline constexpr FieldDecl kSavedSearchFields[] = {
    fielddef::longField("SearchID"),
    fielddef::text("Name", 40),
    fielddef::text("SearchText", 200),
    fielddef::byteField("SortOrder", "@n1"),
    fielddef::dateField("LastEditDate", "@d17", "@d18"),
};
inline constexpr KeyDecl kSavedSearchKeys[] = {
    {"KeySearchID", {"SearchID"}, true, true},
    {"KeyName", {"Name"}, true},
};

// The wizard scratch table `AddWizard`.
inline constexpr FieldDecl kWizardTrackFields[] = {
    fielddef::decimalField("Instance", 11),
    fielddef::text("Side", 1),
    fielddef::decimalField("Track", 3, "@n3"),
    fielddef::text("Artist", 30),
    fielddef::text("Title", 30),
    fielddef::timeField("Time"),
};
inline constexpr KeyDecl kWizardTrackKeys[] = {{"KeyInstance", {"Instance", "Side", "Track"}, true, true}};

// Every table, in the order start-up registers them (the order of TableId).
inline constexpr std::array<TableDecl, kTableCount> kTableDecls = {{
    {TableId::AddWizard, "AddWizard", "AW", "TNRAdWiz", 1, 73, kWizardTrackFields, kWizardTrackKeys},
    {TableId::Album, "Album", "ALB", "tnralbum", 3, 541, kAlbumFields, kAlbumKeys},
    {TableId::Categories, "Categories", "CAT", "TNRCAT", 2, 36, kCategoryFields, kCategoryKeys},
    {TableId::Fonts, "Fonts", "FON", "tnrfont", 1, 134, kFontFields, kFontKeys},
    {TableId::Labels, "Labels", "LAB", "tnrlabel", 2, 622, kLabelFields, kLabelKeys},
    {TableId::TNRTips, "TNRTips", "TIP", "TNRTIPS", 0, 1028, kTipFields, kTipKeys},
    {TableId::Media, "Media", "MED", "tnrmedia", 1, 20, kMediaFields, kMediaKeys},
    {TableId::Tunarium, "Tunarium", "TUN", "tnrdata", 7, 1693, kSongFields, kSongKeys},
    {TableId::PlaylistDetails, "PlaylistDetails", "PLA", "tnrpldet", 2, 65, kPlaylistEntryFields,
     kPlaylistEntryKeys},
    {TableId::PlaylistMaster, "PlaylistMaster", "PLD", "tnrplist", 1, 38, kPlaylistFields, kPlaylistKeys},
    {TableId::SavedSearches, "SavedSearches", "SSR", "tnrsrch", 1, 249, kSavedSearchFields, kSavedSearchKeys},
}};

namespace fielddef {

// The index of a field or key by its name. Not a constant, and so a compile error, when the table
// has no such name.
consteval int fieldIndex(std::span<const FieldDecl> fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) {
            return static_cast<int>(i);
        }
    }
    throw "the table has no field of this name";
}
consteval int keyIndex(std::span<const KeyDecl> keys, std::string_view name) {
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
    for (std::size_t t = 0; t < kTableDecls.size(); ++t) {
        const TableDecl& table = kTableDecls[t];
        if (static_cast<std::size_t>(table.id) != t) {
            return false;
        }
        int primaries = 0;
        for (std::size_t k = 0; k < table.keys.size(); ++k) {
            const KeyDecl& key = table.keys[k];
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

} // namespace fielddef

// Songs (TUN), also walked as A_Songs (A_S).
namespace tun {
inline constexpr int kArtist = fielddef::fieldIndex(kSongFields, "Artist");
inline constexpr int kTitle = fielddef::fieldIndex(kSongFields, "Title");
inline constexpr int kMix = fielddef::fieldIndex(kSongFields, "Mix");
inline constexpr int kAlbum = fielddef::fieldIndex(kSongFields, "Album");
inline constexpr int kMedia = fielddef::fieldIndex(kSongFields, "Media");
inline constexpr int kFileNumber = fielddef::fieldIndex(kSongFields, "FileNumber");
inline constexpr int kReleaseDate = fielddef::fieldIndex(kSongFields, "ReleaseDate");
inline constexpr int kCategoryId = fielddef::fieldIndex(kSongFields, "CategoryID");
inline constexpr int kChartNumber = fielddef::fieldIndex(kSongFields, "ChartNumber");
inline constexpr int kTrackNumber = fielddef::fieldIndex(kSongFields, "TrackNumber");
inline constexpr int kSide = fielddef::fieldIndex(kSongFields, "Side");
inline constexpr int kTime = fielddef::fieldIndex(kSongFields, "Time");
inline constexpr int kUserDefinedKeyField = fielddef::fieldIndex(kSongFields, "UserDefinedKeyField");
inline constexpr int kAdditionalInformation1 = fielddef::fieldIndex(kSongFields, "AdditionalInformation1");
inline constexpr int kAdditionalInformation2 = fielddef::fieldIndex(kSongFields, "AdditionalInformation2");
inline constexpr int kAdditionalInformation3 = fielddef::fieldIndex(kSongFields, "AdditionalInformation3");
inline constexpr int kBeatsPerMinute = fielddef::fieldIndex(kSongFields, "BeatsPerMinute");
inline constexpr int kStyle = fielddef::fieldIndex(kSongFields, "Style");
inline constexpr int kComposer = fielddef::fieldIndex(kSongFields, "Composer");
inline constexpr int kLastPlayed = fielddef::fieldIndex(kSongFields, "LastPlayed");
inline constexpr int kSkips = fielddef::fieldIndex(kSongFields, "Skips");
inline constexpr int kEndType = fielddef::fieldIndex(kSongFields, "EndType");
inline constexpr int kInOut = fielddef::fieldIndex(kSongFields, "InOut");
inline constexpr int kRating = fielddef::fieldIndex(kSongFields, "Rating");
inline constexpr int kLive = fielddef::fieldIndex(kSongFields, "Live");
inline constexpr int kDoNotPlay = fielddef::fieldIndex(kSongFields, "DoNotPlay");
inline constexpr int kId = fielddef::fieldIndex(kSongFields, "ID");
inline constexpr int kAlbumId = fielddef::fieldIndex(kSongFields, "AlbumID");
inline constexpr int kFilePath = fielddef::fieldIndex(kSongFields, "FilePath");
inline constexpr int kFileModified = fielddef::fieldIndex(kSongFields, "FileModified");
inline constexpr int kFileMissing = fielddef::fieldIndex(kSongFields, "FileMissing");
inline constexpr int kMusicalKey = fielddef::fieldIndex(kSongFields, "MusicalKey");
inline constexpr int kRecording = fielddef::fieldIndex(kSongFields, "Recording");
inline constexpr int kPerformanceNotes = fielddef::fieldIndex(kSongFields, "PerformanceNotes");
inline constexpr int kNotes = fielddef::fieldIndex(kSongFields, "Notes");

inline constexpr int kSongsByArtist = fielddef::keyIndex(kSongKeys, "SongsByArtist");
inline constexpr int kSongsByTitle = fielddef::keyIndex(kSongKeys, "SongsByTitle");
inline constexpr int kSongsByAlbum = fielddef::keyIndex(kSongKeys, "SongsByAlbum");
inline constexpr int kSongsByMedia = fielddef::keyIndex(kSongKeys, "SongsByMedia");
inline constexpr int kSongsByCategory = fielddef::keyIndex(kSongKeys, "SongsByCategory");
inline constexpr int kSongsByChartNumber = fielddef::keyIndex(kSongKeys, "SongsByChartNumber");
inline constexpr int kSongsByUserDefinedKey = fielddef::keyIndex(kSongKeys, "SongsByUserDefinedKey");
inline constexpr int kKeyId = fielddef::keyIndex(kSongKeys, "KeyID");
inline constexpr int kKeyAlbumId = fielddef::keyIndex(kSongKeys, "KeyAlbumID");
inline constexpr int kKeyBeatsPerMinute = fielddef::keyIndex(kSongKeys, "KeyBeatsPerMinute");
inline constexpr int kKeyFileNumber = fielddef::keyIndex(kSongKeys, "KeyFileNumber");
inline constexpr int kKeyMix = fielddef::keyIndex(kSongKeys, "KeyMix");
inline constexpr int kKeyOrderFileNumber = fielddef::keyIndex(kSongKeys, "KeyOrderFileNumber");
inline constexpr int kKeyOrderCategory = fielddef::keyIndex(kSongKeys, "KeyOrderCategory");
inline constexpr int kKeyOrderTime = fielddef::keyIndex(kSongKeys, "KeyOrderTime");
inline constexpr int kKeyOrderReleaseDate = fielddef::keyIndex(kSongKeys, "KeyOrderReleaseDate");
inline constexpr int kKeyOrderBeatsPerMinute = fielddef::keyIndex(kSongKeys, "KeyOrderBeatsPerMinute");
inline constexpr int kKeyOrderUserDefinedKey = fielddef::keyIndex(kSongKeys, "KeyOrderUserDefinedKey");
inline constexpr int kKeyOrderLastPlayed = fielddef::keyIndex(kSongKeys, "KeyOrderLastPlayed");
inline constexpr int kKeyOrderStyle = fielddef::keyIndex(kSongKeys, "KeyOrderStyle");
inline constexpr int kKeyOrderTrackNumber = fielddef::keyIndex(kSongKeys, "KeyOrderTrackNumber");
inline constexpr int kKeyOrderSide = fielddef::keyIndex(kSongKeys, "KeyOrderSide");
inline constexpr int kKeyOrderRating = fielddef::keyIndex(kSongKeys, "KeyOrderRating");
inline constexpr int kKeyOrderMix = fielddef::keyIndex(kSongKeys, "KeyOrderMix");
inline constexpr int kKeyOrderMusicalKey = fielddef::keyIndex(kSongKeys, "KeyOrderMusicalKey");
inline constexpr int kKeyFilePath = fielddef::keyIndex(kSongKeys, "KeyFilePath");
inline constexpr int kKeyFileMissing = fielddef::keyIndex(kSongKeys, "KeyFileMissing");
} // namespace tun

namespace alb {
inline constexpr int kAlbumId = fielddef::fieldIndex(kAlbumFields, "AlbumID");
inline constexpr int kArtist = fielddef::fieldIndex(kAlbumFields, "Artist");
inline constexpr int kAlbum = fielddef::fieldIndex(kAlbumFields, "Album");
inline constexpr int kMedia = fielddef::fieldIndex(kAlbumFields, "Media");
inline constexpr int kFileNumber = fielddef::fieldIndex(kAlbumFields, "FileNumber");
inline constexpr int kReleaseDate = fielddef::fieldIndex(kAlbumFields, "ReleaseDate");
inline constexpr int kCategoryId = fielddef::fieldIndex(kAlbumFields, "CategoryID");
inline constexpr int kAssociatedWavFile = fielddef::fieldIndex(kAlbumFields, "AssociatedWAVFile");
inline constexpr int kAssociatedImage = fielddef::fieldIndex(kAlbumFields, "AssociatedImage");
inline constexpr int kCdIdentifier = fielddef::fieldIndex(kAlbumFields, "CDIdentifier");
inline constexpr int kXccd = fielddef::fieldIndex(kAlbumFields, "XCCD");
inline constexpr int kPlaylist = fielddef::fieldIndex(kAlbumFields, "Playlist");
inline constexpr int kRating = fielddef::fieldIndex(kAlbumFields, "Rating");
inline constexpr int kTotalTime = fielddef::fieldIndex(kAlbumFields, "TotalTime");
inline constexpr int kRecording = fielddef::fieldIndex(kAlbumFields, "Recording");
inline constexpr int kPerformance = fielddef::fieldIndex(kAlbumFields, "Performance");
inline constexpr int kNotes = fielddef::fieldIndex(kAlbumFields, "Notes");

inline constexpr int kKeyAlbumId = fielddef::keyIndex(kAlbumKeys, "KeyAlbumID");
inline constexpr int kKeyAlbum = fielddef::keyIndex(kAlbumKeys, "KeyAlbum");
inline constexpr int kKeyArtist = fielddef::keyIndex(kAlbumKeys, "KeyArtist");
inline constexpr int kKeyCdIdentifier = fielddef::keyIndex(kAlbumKeys, "KeyCDIdentifier");
inline constexpr int kKeyFileNumber = fielddef::keyIndex(kAlbumKeys, "KeyFileNumber");
inline constexpr int kKeyCategory = fielddef::keyIndex(kAlbumKeys, "KeyCategory");
inline constexpr int kKeyCategoryArtist = fielddef::keyIndex(kAlbumKeys, "KeyCategoryArtist");
inline constexpr int kKeyOrderAlbum = fielddef::keyIndex(kAlbumKeys, "KeyOrderAlbum");
inline constexpr int kKeyOrderArtist = fielddef::keyIndex(kAlbumKeys, "KeyOrderArtist");
inline constexpr int kKeyOrderMedia = fielddef::keyIndex(kAlbumKeys, "KeyOrderMedia");
inline constexpr int kKeyOrderFileNumber = fielddef::keyIndex(kAlbumKeys, "KeyOrderFileNumber");
inline constexpr int kKeyOrderReleaseDate = fielddef::keyIndex(kAlbumKeys, "KeyOrderReleaseDate");
inline constexpr int kKeyOrderXccd = fielddef::keyIndex(kAlbumKeys, "KeyOrderXCCD");
} // namespace alb

namespace cat {
inline constexpr int kCategoryId = fielddef::fieldIndex(kCategoryFields, "CategoryID");
inline constexpr int kCategory = fielddef::fieldIndex(kCategoryFields, "Category");

inline constexpr int kKeyCategoryId = fielddef::keyIndex(kCategoryKeys, "KeyCategoryID");
inline constexpr int kKeyCategory = fielddef::keyIndex(kCategoryKeys, "KeyCategory");
inline constexpr int kKeyOrderName = fielddef::keyIndex(kCategoryKeys, "KeyOrderName");
} // namespace cat

namespace fon {
inline constexpr int kFontId = fielddef::fieldIndex(kFontFields, "FontID");
inline constexpr int kTypeFace = fielddef::fieldIndex(kFontFields, "TypeFace");
inline constexpr int kSize = fielddef::fieldIndex(kFontFields, "Size");
inline constexpr int kColour = fielddef::fieldIndex(kFontFields, "Colour");
inline constexpr int kStyle = fielddef::fieldIndex(kFontFields, "Style");

inline constexpr int kKeyFontId = fielddef::keyIndex(kFontKeys, "KeyFontID");
inline constexpr int kKeyTypeFace = fielddef::keyIndex(kFontKeys, "KeyTypeFace");
} // namespace fon

namespace lab {
inline constexpr int kLabelId = fielddef::fieldIndex(kLabelFields, "LabelID");
inline constexpr int kLabelDescription = fielddef::fieldIndex(kLabelFields, "LabelDescription");
inline constexpr int kLabelType = fielddef::fieldIndex(kLabelFields, "LabelType");
inline constexpr int kAlbumId = fielddef::fieldIndex(kLabelFields, "AlbumID");
inline constexpr int kCdSpine = fielddef::fieldIndex(kLabelFields, "CDSpine");
inline constexpr int kCdSpineFontId = fielddef::fieldIndex(kLabelFields, "CDSpineFontID");
inline constexpr int kCdTitle = fielddef::fieldIndex(kLabelFields, "CDTitle");
inline constexpr int kCdTitleFontId = fielddef::fieldIndex(kLabelFields, "CDTitleFontID");
inline constexpr int kCdCoverTextFontId = fielddef::fieldIndex(kLabelFields, "CDCoverTextFontID");
inline constexpr int kCdInsideTextFontId = fielddef::fieldIndex(kLabelFields, "CDInsideTextFontID");
inline constexpr int kCdSpineJustification = fielddef::fieldIndex(kLabelFields, "CDSpineJustification");
inline constexpr int kCdTextJustification = fielddef::fieldIndex(kLabelFields, "CDTextJustification");
inline constexpr int kCdBackCoverJustification =
    fielddef::fieldIndex(kLabelFields, "CDBackCoverJustification");
inline constexpr int kCassetteFlapFontId = fielddef::fieldIndex(kLabelFields, "CassetteFlapFontID");
inline constexpr int kCassetteTitleFontId = fielddef::fieldIndex(kLabelFields, "CassetteTitleFontID");
inline constexpr int kCassetteContentsFontId = fielddef::fieldIndex(kLabelFields, "CassetteContentsFontID");
inline constexpr int kCassetteFormat = fielddef::fieldIndex(kLabelFields, "CassetteFormat");
inline constexpr int kImageName = fielddef::fieldIndex(kLabelFields, "ImageName");
inline constexpr int kImagePositionX = fielddef::fieldIndex(kLabelFields, "ImagePositionX");
inline constexpr int kImagePositionY = fielddef::fieldIndex(kLabelFields, "ImagePositionY");
inline constexpr int kImageSize = fielddef::fieldIndex(kLabelFields, "ImageSize");
inline constexpr int kImageSizeX = fielddef::fieldIndex(kLabelFields, "ImageSizeX");
inline constexpr int kImageSizeY = fielddef::fieldIndex(kLabelFields, "ImageSizeY");
inline constexpr int kCdCoverText = fielddef::fieldIndex(kLabelFields, "CDCoverText");
inline constexpr int kCdInsideText = fielddef::fieldIndex(kLabelFields, "CDInsideText");
inline constexpr int kCassetteFlap = fielddef::fieldIndex(kLabelFields, "CassetteFlap");
inline constexpr int kCassetteTitle = fielddef::fieldIndex(kLabelFields, "CassetteTitle");
inline constexpr int kCassetteContentsA = fielddef::fieldIndex(kLabelFields, "CassetteContentsA");
inline constexpr int kCassetteContentsB = fielddef::fieldIndex(kLabelFields, "CassetteContentsB");

inline constexpr int kKeyLabelId = fielddef::keyIndex(kLabelKeys, "KeyLabelID");
inline constexpr int kKeyLabelDescription = fielddef::keyIndex(kLabelKeys, "KeyLabelDescription");
inline constexpr int kKeyLabelType = fielddef::keyIndex(kLabelKeys, "KeyLabelType");
} // namespace lab

namespace tip {
inline constexpr int kTip = fielddef::fieldIndex(kTipFields, "Tip");
inline constexpr int kId = fielddef::fieldIndex(kTipFields, "ID");

inline constexpr int kKeyTip = fielddef::keyIndex(kTipKeys, "KeyTip");
inline constexpr int kKeyId = fielddef::keyIndex(kTipKeys, "KeyID");
} // namespace tip

namespace med {
inline constexpr int kMedia = fielddef::fieldIndex(kMediaFields, "Media");

inline constexpr int kKeyMedia = fielddef::keyIndex(kMediaKeys, "KeyMedia");
} // namespace med

namespace pla {
inline constexpr int kPlaylistId = fielddef::fieldIndex(kPlaylistEntryFields, "PlaylistID");
inline constexpr int kPlaylistSeq = fielddef::fieldIndex(kPlaylistEntryFields, "PlaylistSeq");
inline constexpr int kId = fielddef::fieldIndex(kPlaylistEntryFields, "ID");
inline constexpr int kPlaylistNotes = fielddef::fieldIndex(kPlaylistEntryFields, "PlaylistNotes");
inline constexpr int kLastWeek = fielddef::fieldIndex(kPlaylistEntryFields, "LastWeek");
inline constexpr int kThisWeek = fielddef::fieldIndex(kPlaylistEntryFields, "ThisWeek");
inline constexpr int kHighestChartPosition =
    fielddef::fieldIndex(kPlaylistEntryFields, "HighestChartPosition");

inline constexpr int kKeyPlaylistId = fielddef::keyIndex(kPlaylistEntryKeys, "KeyPlaylistID");
inline constexpr int kKeyId = fielddef::keyIndex(kPlaylistEntryKeys, "KeyID");
} // namespace pla

namespace pld {
inline constexpr int kPlaylistId = fielddef::fieldIndex(kPlaylistFields, "PlaylistID");
inline constexpr int kPlaylistDescription = fielddef::fieldIndex(kPlaylistFields, "PlaylistDescription");
inline constexpr int kLastEditDate = fielddef::fieldIndex(kPlaylistFields, "LastEditDate");
inline constexpr int kNotes = fielddef::fieldIndex(kPlaylistFields, "Notes");

inline constexpr int kKeyPlaylistId = fielddef::keyIndex(kPlaylistKeys, "KeyPlaylistID");
inline constexpr int kKeyPlaylistDescription = fielddef::keyIndex(kPlaylistKeys, "KeyPlaylistDescription");
} // namespace pld

namespace ssr {
inline constexpr int kSearchId = fielddef::fieldIndex(kSavedSearchFields, "SearchID");
inline constexpr int kName = fielddef::fieldIndex(kSavedSearchFields, "Name");
inline constexpr int kSearchText = fielddef::fieldIndex(kSavedSearchFields, "SearchText");
inline constexpr int kSortOrder = fielddef::fieldIndex(kSavedSearchFields, "SortOrder");
inline constexpr int kLastEditDate = fielddef::fieldIndex(kSavedSearchFields, "LastEditDate");

inline constexpr int kKeySearchId = fielddef::keyIndex(kSavedSearchKeys, "KeySearchID");
inline constexpr int kKeyName = fielddef::keyIndex(kSavedSearchKeys, "KeyName");
} // namespace ssr

namespace aw {
inline constexpr int kInstance = fielddef::fieldIndex(kWizardTrackFields, "Instance");
inline constexpr int kSide = fielddef::fieldIndex(kWizardTrackFields, "Side");
inline constexpr int kTrack = fielddef::fieldIndex(kWizardTrackFields, "Track");
inline constexpr int kArtist = fielddef::fieldIndex(kWizardTrackFields, "Artist");
inline constexpr int kTitle = fielddef::fieldIndex(kWizardTrackFields, "Title");
inline constexpr int kTime = fielddef::fieldIndex(kWizardTrackFields, "Time");

inline constexpr int kKeyInstance = fielddef::keyIndex(kWizardTrackKeys, "KeyInstance");
} // namespace aw

} // namespace tunarium
