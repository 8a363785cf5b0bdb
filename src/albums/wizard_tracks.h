// The track list of one add wizard: its rows in the AddWizard table, told apart from every other
// wizard's by the wizard's instance number and always on side "0". The instance number is one that
// no row of the table carries yet, held by a reservation row (on a side of its own, which no list
// shows) until the wizard closes: a wizard never shows another's tracks, whether that one is open in
// this copy of the program or in another, or was cancelled long ago and left its rows behind.
//
// Here too are the rows' list as the wizard shows it, the track form's rules (a new track takes
// the number after the last, "Track Order" names a number already taken), the tracks read from a
// disc (a track that has a row keeps its title and artist and takes the time read; a track without
// one gets a row "Track n"), the four moves, and the walk of "Edit All Songs".
#pragma once

#include "albums/cd_reader.h"
#include "catalogue/form_session.h"
#include "catalogue/list_definition.h"
#include "catalogue/move_routine.h"
#include "data/database.h"

namespace tunarium {

// The side every track row of a wizard carries.
inline constexpr char kWizardSide[] = "0";
// The name of the track key in its duplicate message.
inline constexpr char kTrackOrderKeyName[] = "Track Order";

class WizardTracks {
public:
    explicit WizardTracks(Database& db) : m_db(db) {}
    // Releases the instance number when it is still held.
    ~WizardTracks();
    WizardTracks(const WizardTracks&) = delete;
    WizardTracks& operator=(const WizardTracks&) = delete;

    // Takes the number after the highest instance of the table and holds it with a reservation
    // row, in one transaction (so two copies of the program never take the same number). The
    // AddWizard table must be open.
    StoreError reserveInstance();
    // Drops the reservation row; the track rows stay in the table.
    void release();
    qint64 instance() const { return m_instance; }

    // The wizard's rows as a hand-ordered list, and as the list the wizard shows them in: track,
    // (artist for a compilation,) title, and time as minutes and seconds.
    OrderedList list() const;
    static ListDefinition listDefinition(bool withArtist);
    // The list format of those columns.
    static QString listFormat(bool withArtist);
    // The range of that list.
    QVector<QVariant> range() const;

    // Every row, in track order.
    StoreError rows(QVector<WizardTrackRecord>& out);
    // The row after track `after` (0: the first), for a walk through the rows.
    StoreError rowAfter(qint64 after, WizardTrackRecord& out, bool& found);
    // The track number a new row takes: one after the last row's, 1 for the first.
    StoreError nextTrack(qint64& out);
    // Whether another row of this wizard already has the record's track number.
    StoreError trackTaken(const Row& record, bool& taken);

    // The tracks of a completed read: times replaced in the rows that exist, a row "Track n" with
    // `albumArtist` (cut to the row's width; "Various" when blank) added for each track that has
    // none; rows beyond the disc's tracks are left as they are. One transaction.
    StoreError applyRead(const QVector<CdTrackTime>& times, const QString& albumArtist);

    // One of the four moves of `entry`; a failure has been rolled back.
    MoveResult move(const Row& entry, MoveDirection direction);

private:
    Database& m_db;
    qint64 m_instance = 0;
    qint64 m_reservationRec = 0;
};

// The track form's part in the form pattern: a new row belongs to the wizard, on side "0", and is
// numbered after the last row; it is added at once and removed again when the form is cancelled.
class WizardTrackRules : public FormRules {
public:
    explicit WizardTrackRules(WizardTracks& tracks) : m_tracks(tracks) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QString::fromLatin1(kTrackOrderKeyName); }

private:
    WizardTracks& m_tracks;
};

} // namespace tunarium
