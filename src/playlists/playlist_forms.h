// What the playlist windows are made of without their widgets: the playlists browse and the
// entries list as list definitions with their list formats, the rules the playlist form and the
// entry form add to the form pattern, and the ditto copy of the playlist form.
#pragma once

#include "catalogue/form_session.h"
#include "catalogue/list_definition.h"

namespace tunarium {

inline constexpr char kPlaylistsListFormat[] = "80L(4)|M~Playlist Description~L(1)@S20@";
inline constexpr char kEntriesListFormat[] = "23R(2)|M~Seq~C(0)@n_5@80L(2)|M~Artist~L(0)@s50@80L(2)|M~Title~"
                                             "L(0)@s50@35R(2)|M~Time~@t9@80L(2)|M~Notes~@s50@";

// BrowsePlayLists: the playlists in the order of their numbers (the order they were made in).
ListDefinition playlistsListDefinition();
// The entries of one playlist in order (the range is the playlist's number), with the artist,
// title and time of each entry's song: blank when the song is gone.
ListDefinition entriesListDefinition();

// The playlist form numbers a new playlist with the highest number + 1 and adds it before its
// window opens. A new playlist that is cancelled goes through the delete routine, with the entries
// dropped on it meanwhile.
class PlaylistRules : public FormRules {
public:
    explicit PlaylistRules(Database& db) : m_db(db) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("PLD:KeyPlaylistID"); }
    QString duplicateKeyName(const StoreError& error) const override;

private:
    Database& m_db;
};

// The entry form: a new entry takes the next sequence of its playlist and is added at once.
class PlaylistEntryRules : public FormRules {
public:
    PlaylistEntryRules(Database& db, qint64 playlistId) : m_db(db), m_playlistId(playlistId) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("PLA:KeyPlaylistID"); }

private:
    Database& m_db;
    qint64 m_playlistId;
};

// The playlist form's ditto key brings back the description and the last edit date saved last in
// this run of the program.
struct PlaylistDitto {
    bool has = false;
    QString description;
    qint64 lastEditDate = 0;
};
PlaylistDitto& playlistDitto();

} // namespace tunarium
