// An add wizard without its window: a whole album entered at once. The album-wide facts (artist
// or compilation name, album, release date, file number, category, media) are kept in a song
// record, checked as the song form checks them; the tracks are the wizard's rows in the AddWizard
// table. Opening takes an instance number for the rows and writes nothing to the songs or albums;
// OK numbers the songs from the next free number and writes one song per track and, when asked, an
// album, in one transaction: either the whole album is written (and its track rows are gone) or
// nothing is, and the wizard stays as it was.
//
// Two kinds: the single-artist wizard, whose tracks all have the wizard's artist, and the
// compilation wizard, whose tracks each have their own artist and whose album's artist is
// "Various".
#pragma once

#include "albums/wizard_tracks.h"
#include "catalogue/song_rules.h"
#include "data/table_lease.h"

#include <memory>

namespace tunarium {

enum class WizardKind { SingleArtist, Compilation };

class AddWizard {
public:
    // `start` is the song the wizard starts from: the new song of the song form, or a blank one.
    AddWizard(Database& db, WizardKind kind, const SongRecord& start = {});
    // Closes the wizard if it is still open.
    ~AddWizard();
    AddWizard(const AddWizard&) = delete;
    AddWizard& operator=(const AddWizard&) = delete;

    // The window's title, and its procedure name (its section in the position file).
    static QString title(WizardKind kind);
    static QString procedureName(WizardKind kind);

    // Opens the tables, takes an instance number, primes the facts as a new song's and loads the
    // category and media choices. False when the wizard cannot open; the message was shown and whatever was
    // opened is closed again.
    bool open();
    // Gives the instance number back (the track rows stay) and closes the tables.
    void close();
    bool isOpen() const { return m_open; }

    Database& database() { return m_db; }
    WizardKind kind() const { return m_kind; }
    bool isCompilation() const { return m_kind == WizardKind::Compilation; }
    // The album-wide facts, as a song record; the category check sets its category number.
    Row& fields() { return m_fields; }
    const Row& fields() const { return m_fields; }
    // Whether the album-wide facts differ from those the wizard opened with.
    bool fieldsChanged() const;
    SongRules& rules() { return m_rules; }
    WizardTracks& tracks() { return m_tracks; }
    // "Add Information to Album Database"; ticked when the wizard opens.
    bool addToAlbums() const { return m_addToAlbums; }
    void setAddToAlbums(bool add) { m_addToAlbums = add; }
    // The CD identifier and the CDDB number of the disc read last; the album written on OK
    // carries them (the identifier only while no other album has it).
    const QString& cdIdentifier() const { return m_cdIdentifier; }
    const QString& cddbNumber() const { return m_cddbNumber; }
    void setDiscIdentifiers(const QString& identifier, const QString& cddbNumber) {
        m_cdIdentifier = identifier;
        m_cddbNumber = cddbNumber;
    }

    // OK. Writes the album (when the box is ticked) and one song per track row in track order,
    // deleting the rows, all in one transaction. True when it was written; false after a failure,
    // whose message was shown, with nothing written.
    bool writeAll();
    // What the last writeAll() wrote: the album the songs belong to (0: none) and the songs.
    qint64 writtenAlbumId() const { return m_writtenAlbum; }
    const QVector<qint64>& writtenSongIds() const { return m_writtenSongs; }

    // The artist of the album: the wizard's, or "Various" for a compilation.
    QString albumArtist() const;

private:
    bool writeAlbum(qint64& albumId);
    StoreError addSong(SongRecord& song);
    bool failed(const QString& caption, const QString& text);

    Database& m_db;
    WizardKind m_kind;
    SongRules m_rules;
    WizardTracks m_tracks;
    Row m_fields;
    Row m_openedWith;
    bool m_open = false;
    TableLease m_tables;
    bool m_addToAlbums = true;
    QString m_cdIdentifier;
    QString m_cddbNumber;
    qint64 m_writtenAlbum = 0;
    QVector<qint64> m_writtenSongs;
};

} // namespace tunarium
