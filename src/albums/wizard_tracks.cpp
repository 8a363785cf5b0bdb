// The track rows of an add wizard.
#include "albums/wizard_tracks.h"

#include "albums/album_entries.h"
#include "albums/cd_times.h"
#include "data/key_walk.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

// The side of the row that holds a wizard's instance number: no track list ever shows it.
const QString kReservationSide;

} // namespace

WizardTracks::~WizardTracks() {
    release();
}

StoreError WizardTracks::reserveInstance() {
    Store& store = m_db.store();
    Transaction tx(store);
    if (!tx.ok()) {
        return tx.beginError();
    }
    QVector<Row> last;
    if (StoreError e =
            store.read(TableId::AddWizard, aw::kKeyInstance, {}, Direction::Backward, true, 1, last)) {
        return e;
    }
    WizardTrackRecord reservation;
    reservation.instance = last.isEmpty() ? 1 : std::max<qint64>(last.first().number(aw::kInstance), 0) + 1;
    reservation.side = kReservationSide;
    if (StoreError e = store.insert(reservation)) {
        return e;
    }
    if (StoreError e = tx.commit()) {
        return e;
    }
    m_instance = reservation.instance;
    m_reservationRec = reservation.meta.rec;
    return {};
}

void WizardTracks::release() {
    if (m_reservationRec == 0) {
        return;
    }
    Row reservation;
    if (m_db.store().fetch(TableId::AddWizard, m_reservationRec, reservation).ok()) {
        removeUnlinked(m_db.store(), reservation);
    }
    m_reservationRec = 0;
}

QVector<QVariant> WizardTracks::range() const {
    return {m_instance, QString::fromLatin1(kWizardSide)};
}

OrderedList WizardTracks::list() const {
    return {TableId::AddWizard, aw::kKeyInstance, range()};
}

QString WizardTracks::listFormat(bool withArtist) {
    return withArtist ? QStringLiteral(
                            "25R(1)|~Track~@n3@?101L(1)|~Artist~@s50@111L(1)|~Title~@s50@20L(1)|~Time~@s5@")
                      : QStringLiteral("25R(1)|~Track~@n3@?111L(1)|~Title~@s50@20L(1)|~Time~@s5@");
}

ListDefinition WizardTracks::listDefinition(bool withArtist) {
    ListDefinition d;
    d.table = TableId::AddWizard;
    d.sortOrders = {SortOrderDef{aw::kKeyInstance, 2, LocatorKind::None, {}, {}}};
    d.columns << recordColumn(QStringLiteral("Track"), aw::kTrack, QStringLiteral("@n3"));
    if (withArtist) {
        d.columns << recordColumn(QStringLiteral("Artist"), aw::kArtist, QStringLiteral("@s50"));
    }
    d.columns << recordColumn(QStringLiteral("Title"), aw::kTitle, QStringLiteral("@s50"));
    d.columns << ColumnDef{QStringLiteral("Time"), QStringLiteral("@s5"), [](const PageRow& row) {
                               return QVariant(formatMinutesSeconds(row.record.number(aw::kTime)));
                           }};
    return d;
}

StoreError WizardTracks::rows(QVector<WizardTrackRecord>& out) {
    out.clear();
    const OrderedList l = list();
    KeyWalk walk(m_db.store(), TableId::AddWizard, aw::kKeyInstance, {range()});
    return walk.forEach([&](const Row& r) {
        if (!l.holds(r)) {
            return false;
        }
        out << fromRow<WizardTrackRecord>(r);
        return true;
    });
}

StoreError WizardTracks::rowAfter(qint64 after, WizardTrackRecord& out, bool& found) {
    found = false;
    QVector<Row> next;
    KeyPosition from{{m_instance, QString::fromLatin1(kWizardSide), after}};
    if (StoreError e = m_db.store().read(TableId::AddWizard, aw::kKeyInstance, from, Direction::Forward,
                                         false, 1, next)) {
        return e;
    }
    found = !next.isEmpty() && list().holds(next.first());
    if (found) {
        out = fromRow<WizardTrackRecord>(next.first());
    }
    return {};
}

StoreError WizardTracks::nextTrack(qint64& out) {
    const FieldDef& track = tableDef(TableId::AddWizard).field(aw::kTrack);
    QVector<Row> last;
    KeyPosition end{{m_instance, QString::fromLatin1(kWizardSide), track.maxValue()}};
    if (StoreError e = m_db.store().read(TableId::AddWizard, aw::kKeyInstance, end, Direction::Backward, true,
                                         1, last)) {
        return e;
    }
    out = !last.isEmpty() && list().holds(last.first()) ? last.first().number(aw::kTrack) + 1 : 1;
    if (out > track.maxValue()) {
        return StoreError::driver(0, QStringLiteral("No track numbers are left after %1").arg(out - 1));
    }
    return {};
}

StoreError WizardTracks::trackTaken(const Row& record, bool& taken) {
    taken = false;
    Row other;
    const StoreError e =
        m_db.store().get(TableId::AddWizard, aw::kKeyInstance,
                         {m_instance, QString::fromLatin1(kWizardSide), record.number(aw::kTrack)}, other);
    if (e.code == code::kRecordNotFound) {
        return {};
    }
    taken = e.ok() && other.meta.rec != record.meta.rec;
    return e;
}

StoreError WizardTracks::applyRead(const QVector<CdTrackTime>& times, const QString& albumArtist) {
    Store& store = m_db.store();
    Transaction tx(store);
    if (!tx.ok()) {
        return tx.beginError();
    }
    const QString artist =
        trimTrailingBlanks(albumArtist).isEmpty() ? QString::fromLatin1(kVariousArtist) : albumArtist;
    for (const CdTrackTime& t : times) {
        WizardTrackRecord row;
        const StoreError found =
            store.get(aw::kKeyInstance, {m_instance, QString::fromLatin1(kWizardSide), qint64(t.track)}, row);
        if (found.ok()) {
            row.time = t.length;
            if (StoreError e = rewriteUnlinked(store, row)) {
                return e;
            }
            continue;
        }
        if (found.code != code::kRecordNotFound) {
            return found;
        }
        row = {};
        row.instance = m_instance;
        row.side = QString::fromLatin1(kWizardSide);
        row.track = t.track;
        row.artist = artist.left(tableDef(TableId::AddWizard).field(aw::kArtist).width);
        row.title = QStringLiteral("Track %1").arg(t.track);
        row.time = t.length;
        if (StoreError e = store.insert(row)) {
            return e;
        }
    }
    return tx.commit();
}

MoveResult WizardTracks::move(const Row& entry, MoveDirection direction) {
    return moveEntry(m_db.store(), list(), entry, direction);
}

StoreError WizardTrackRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    qint64 track = 0;
    if (StoreError e = m_tracks.nextTrack(track)) {
        return e;
    }
    record.setNumber(aw::kInstance, m_tracks.instance());
    record.setText(aw::kSide, QString::fromLatin1(kWizardSide));
    record.setNumber(aw::kTrack, track);
    return {};
}

} // namespace tunarium
