// The album wizard's rules.
#include "albums/album_wizard.h"

#include "albums/album_disc_songs.h"
#include "albums/album_rules.h"
#include "albums/disc_in_collection.h"

#include <QDate>

namespace tunarium {

namespace {

constexpr TableId kTables[] = {TableId::Album, TableId::Tunarium, TableId::Categories, TableId::Media};
// A number taken meanwhile by another station is tried again, one higher each time.
constexpr int kNumberTries = 3;

} // namespace

QStringList defaultCategoryNames() {
    return {QStringLiteral("Rock"), QStringLiteral("Pop"), QStringLiteral("Jazz"),
            QStringLiteral("Classical"), QStringLiteral("Country")};
}

AlbumWizard::AlbumWizard(Database& db, const Settings& settings)
    : m_db(db), m_settings(settings), m_choices(db) {}

AlbumWizard::~AlbumWizard() {
    if (m_tables && !cancel()) {
        close();
    }
}

bool AlbumWizard::isCdMedia(const QString& media) {
    return media.toUpper().contains(QStringLiteral("CD"));
}

bool AlbumWizard::open() {
    m_tables = TableLease(m_db, kTables);
    if (!m_tables) {
        return false;
    }
    Warnings& warnings = m_db.warnings();
    if (StoreError e = addDefaultCategories()) {
        warnings.report(warning::kRecordInsertError, e);
        close();
        return false;
    }
    m_side = 1;
    m_step = 1;
    m_contextMode = 1;
    m_kind = m_settings.defaultWizardCompilation() ? AlbumKind::Compilation : AlbumKind::SingleArtist;
    m_carrier = AlbumCarrier::OneDiscOrSide;
    m_album = AlbumRecord{};
    m_album.media = QStringLiteral("CD");
    if (m_settings.dateFormat().toLower().contains(u'n')) {
        m_album.releaseDate = QDate::currentDate().year();
    }
    if (!addAlbum()) {
        close();
        return false;
    }
    Row song(TableId::Tunarium);
    QString failedTable;
    if (StoreError e = m_choices.loadChoices(song, failedTable)) {
        warnings.report(warning::kRecordRetrievalError, e, failedTable);
        cancel();
        return false;
    }
    return true;
}

StoreError AlbumWizard::addDefaultCategories() {
    Store& store = m_db.store();
    if (store.count(TableId::Categories) != 0) {
        return {};
    }
    Transaction transaction(store);
    if (!transaction.ok()) {
        return transaction.beginError();
    }
    qint64 id = 0;
    for (const QString& name : defaultCategoryNames()) {
        CategoryRecord category{++id, name, {}};
        if (StoreError e = store.insert(category)) {
            return e;
        }
    }
    return transaction.commit();
}

bool AlbumWizard::addAlbum() {
    Store& store = m_db.store();
    StoreError last;
    for (int attempt = 0; attempt < kNumberTries; ++attempt) {
        AlbumRecord album = m_album;
        if (StoreError e = store.nextNumber(TableId::Album, album.albumId)) {
            last = e;
            break;
        }
        last = store.insert(album);
        if (last.ok()) {
            m_album = album;
            return true;
        }
    }
    m_db.warnings().report(warning::kRecordInsertError, last);
    return false;
}

bool AlbumWizard::next() {
    if (m_step >= kSteps) {
        return false;
    }
    const bool read = m_step == 2 && readsDisc();
    m_contextMode = m_kind == AlbumKind::SingleArtist ? 2 : 3;
    ++m_step;
    return read;
}

void AlbumWizard::back() {
    if (m_step > 1) {
        --m_step;
    }
}

bool AlbumWizard::nextSide() {
    ++m_side;
    return readsDisc();
}

StoreError AlbumWizard::applyRead(const CdReader& reader, const AlbumRecord& readAlbum) {
    m_discHeld = false;
    AlbumRecord probe = m_album;
    probe.cdIdentifier = readAlbum.cdIdentifier;
    probe.xccd = readAlbum.xccd;
    QVector<DiscHolder> holders;
    if (StoreError e = albumsHoldingDisc(m_db.store(), probe, holders)) {
        return e;
    }
    // Only the identifier is a key the album could not be saved with; another album with the
    // disc's CDDB number alone is told by the window and does not stop the read.
    if (!holders.isEmpty() && holders.first().match == DiscMatch::CdIdentifier) {
        m_discHeld = true;
        m_db.prompter().message(duplicateAlbumMessage(alb::kKeyCdIdentifier, holders.first().album));
        return {};
    }
    if (StoreError e = writeDiscSongs(m_db.store(), m_album, m_side, reader.trackTimes())) {
        return e;
    }
    m_album.cdIdentifier = readAlbum.cdIdentifier;
    recomputeDiscNumber(m_album, reader.trackPositions());
    return {};
}

bool AlbumWizard::setCategoryName(const QString& name) {
    const QString wanted = trimTrailingBlanks(name);
    if (wanted.trimmed().isEmpty()) {
        m_album.categoryId = 0;
        return true;
    }
    for (const CategoryChoice& choice : m_choices.categoryChoices()) {
        if (trimTrailingBlanks(choice.name).compare(wanted, Qt::CaseInsensitive) == 0) {
            m_album.categoryId = choice.id;
            return true;
        }
    }
    return false;
}

bool AlbumWizard::setMediaName(const QString& name) {
    const QString wanted = name.trimmed();
    const QStringList& choices = m_choices.mediaChoices();
    for (const QString& choice : choices) {
        if (choice.trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            m_album.media = choice.trimmed();
            return true;
        }
    }
    if (!choices.isEmpty()) {
        return false;
    }
    m_album.media = wanted;
    return true;
}

AlbumWizard::Required AlbumWizard::missingRequired() const {
    if (trimTrailingBlanks(m_album.artist).trimmed().isEmpty()) {
        return Required::Artist;
    }
    if (trimTrailingBlanks(m_album.album).trimmed().isEmpty()) {
        return Required::Album;
    }
    return Required::None;
}

PromptMessage AlbumWizard::cancelQuestion(qint64 songs) {
    QString text = QStringLiteral("Cancel the album");
    if (songs == 1) {
        text += QStringLiteral(" and remove its song");
    } else if (songs > 1) {
        text += QStringLiteral(" and remove its ") + QString::number(songs) + QStringLiteral(" songs");
    }
    return {QStringLiteral("Album Wizard"), text + u'?', PromptIcon::Question, kButtonYes | kButtonNo,
            kButtonNo};
}

StoreError AlbumWizard::songCount(qint64& out) {
    return countAlbumSongs(m_db.store(), m_album.albumId, out);
}

int AlbumWizard::finish() {
    int key = -1;
    AlbumRecord holder;
    if (StoreError e = firstTakenAlbumKey(m_db.store(), toRow(m_album), key, holder)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Album"));
        return kRoutineFailed;
    }
    if (key >= 0) {
        m_db.prompter().message(duplicateAlbumMessage(key, holder));
        m_step = 2;
        return kRoutineFailed;
    }
    const int result = m_db.update(m_album, false);
    if (result == kRoutineDone) {
        close();
    }
    return result;
}

bool AlbumWizard::cancel() {
    if (!m_tables) {
        return true;
    }
    // The album and every song it wrote go; songs that only share its carrier were never its own.
    int removed = 0;
    if (m_db.withdrawAlbum(toRow(m_album), Database::AlbumSongs::Delete, &removed) != kRoutineDone) {
        return false;
    }
    m_removed = removed;
    close();
    return true;
}

void AlbumWizard::close() {
    m_tables.release();
}

} // namespace tunarium

namespace tunarium {

const char* const kAlbumWizardSongsFormat =
    "24R(2)|M~Track~C(0)@n3b@80L(2)|M~Artist~@s50@100L(2)|M~Title~@s50@28R(2)|M~Time~C(0)@t9b@44R(2)|M~"
    "Release Date~C(0)@d17b@24R(2)|M~BPM~C(0)@n_4b@24L(2)|M~In/Out~@s3@";

ListDefinition albumWizardSongsDefinition() {
    ListDefinition d;
    d.table = TableId::Tunarium;
    d.sortOrders = {
        SortOrderDef{tun::kKeyAlbumId, 2, LocatorKind::None, ThumbOptions{false, true, false, false}, {}}};
    d.columns = {recordColumn(QStringLiteral("Track"), tun::kTrackNumber, QStringLiteral("@n3b")),
                 recordColumn(QStringLiteral("Artist"), tun::kArtist, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Title"), tun::kTitle, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Time"), tun::kTime, QStringLiteral("@t4b")),
                 recordColumn(QStringLiteral("Release Date"), tun::kReleaseDate, QStringLiteral("@d17b")),
                 recordColumn(QStringLiteral("BPM"), tun::kBeatsPerMinute, QStringLiteral("@n_4b")),
                 recordColumn(QStringLiteral("In/Out"), tun::kInOut, QStringLiteral("@s3"))};
    return d;
}

} // namespace tunarium
