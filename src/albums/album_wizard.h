// The album wizard without its window: a new album entered in three steps (the kind of album, its
// facts, its songs one disc or side at a time). The album record is made when the wizard opens and
// the songs are written to the songs table as they are read or entered; Finish saves the album
// through the update routine, and Cancel (also the program closing with the wizard open) removes
// every song of the album on every side and the album itself, in one transaction.
#pragma once

#include "albums/cd_reader.h"
#include "catalogue/list_definition.h"
#include "catalogue/song_rules.h"
#include "data/settings.h"
#include "data/table_lease.h"

namespace tunarium {

enum class AlbumKind { SingleArtist, Compilation };
enum class AlbumCarrier { OneDiscOrSide, MultiDiscCd, Cassette };

class AlbumWizard {
public:
    static constexpr int kSteps = 3;

    AlbumWizard(Database& db, const Settings& settings);
    // An open wizard that was neither finished nor cancelled is cancelled.
    ~AlbumWizard();
    AlbumWizard(const AlbumWizard&) = delete;
    AlbumWizard& operator=(const AlbumWizard&) = delete;

    // Opens the tables, adds the five default categories to an empty categories table, and adds
    // the album with the next album number: no artist, name, file number or identifiers, media
    // "CD", this year as the release date when dates are entered as bare years. False when the
    // wizard cannot open (the message was shown); nothing stays open then.
    bool open();
    bool isOpen() const { return m_tables.held(); }

    Database& database() { return m_db; }
    AlbumRecord& album() { return m_album; }
    const AlbumRecord& album() const { return m_album; }
    qint64 side() const { return m_side; }
    void setSide(qint64 side) { m_side = side; }

    AlbumKind kind() const { return m_kind; }
    void setKind(AlbumKind kind) { m_kind = kind; }
    AlbumCarrier carrier() const { return m_carrier; }
    void setCarrier(AlbumCarrier carrier) { m_carrier = carrier; }

    int step() const { return m_step; }
    bool backEnabled() const { return m_step > 1; }
    bool nextEnabled() const { return m_step < kSteps; }
    bool finishVisible() const { return m_step == kSteps; }
    // "Side/Disc:" and "Next &Disc or Side" are off for an album of one disc or side.
    bool sideControlsOn() const { return m_carrier != AlbumCarrier::OneDiscOrSide; }
    // What the song form is told: 1 while the wizard runs, 2 after a single-artist choice (the
    // artist is the album's), 3 after a compilation choice.
    int albumContextMode() const { return m_contextMode; }
    AlbumContext songContext() const { return {m_contextMode, m_album, m_side}; }

    // Any media that contains "CD", in any letter case, is read from the disc.
    static bool isCdMedia(const QString& media);
    bool readsDisc() const { return isCdMedia(m_album.media); }

    // "&Next": one step on. True when the disc is to be read into the current side now (leaving
    // step 2 with a CD media).
    bool next();
    void back();
    // "Next &Disc or Side": the next side. True when the disc is to be read into it.
    bool nextSide();

    // A completed read: its tracks written into the songs of the current side, the album's
    // identifier, disc number and total time taken from it. A disc whose CD identifier another
    // album already holds (albumsHoldingDisc) writes nothing: the duplicate-key message names the
    // key and that album, and discHeld() tells until the next read.
    StoreError applyRead(const CdReader& reader, const AlbumRecord& readAlbum);
    bool discHeld() const { return m_discHeld; }

    // Step 2's required fields: the album's artist and name. The first one left blank.
    enum class Required { None, Artist, Album };
    Required missingRequired() const;
    // The question Cancel asks: "Cancel the album and remove its 24 songs?" (Yes, No; No the
    // default); `songs` is what the album holds.
    static PromptMessage cancelQuestion(qint64 songs);
    // The songs of the album on every side.
    StoreError songCount(qint64& out);

    // Sets ALB:CategoryID from a category name (blank: 0). False when no category has that name.
    bool setCategoryName(const QString& name);
    // Sets ALB:Media from what was typed: the media of that name, in any letter case, as the media
    // table spells it. False when the table has media and none of that name; while it has none,
    // what was typed is taken.
    bool setMediaName(const QString& name);
    const SongRules& choices() const { return m_choices; }

    // "&Finish": the album saved through the update routine; kRoutineDone, kRoutineFailed or
    // kRoutineChanged. Done closes the wizard. An artist and name, or a disc, that another album
    // holds is refused first with the duplicate-key message naming the key and that album, and
    // the wizard goes back to step 2, where they are changed.
    int finish();
    // "Cancel": every song of the album and the album itself removed in one transaction; the
    // wizard closes. On failure (shown) nothing was removed and the wizard stays open.
    bool cancel();
    // Songs the last cancel removed.
    int songsRemoved() const { return m_removed; }

private:
    bool addAlbum();
    StoreError addDefaultCategories();
    void close();

    Database& m_db;
    const Settings& m_settings;
    SongRules m_choices;
    AlbumRecord m_album;
    qint64 m_side = 1;
    AlbumKind m_kind = AlbumKind::SingleArtist;
    AlbumCarrier m_carrier = AlbumCarrier::OneDiscOrSide;
    int m_step = 1;
    int m_contextMode = 1;
    int m_removed = 0;
    TableLease m_tables;
    bool m_discHeld = false;
};

// The five categories an empty categories table is given: 1 "Rock", 2 "Pop", 3 "Jazz",
// 4 "Classical", 5 "Country".
QStringList defaultCategoryNames();

} // namespace tunarium

namespace tunarium {

// The wizard's songs list: the songs of the album on one side, in track order (the list engine's
// one sort order, TUN:KeyAlbumID ranged to the album and side).
extern const char* const kAlbumWizardSongsFormat;
ListDefinition albumWizardSongsDefinition();

} // namespace tunarium
