// An add wizard: opening, its facts and closing.
#include "albums/add_wizard.h"

#include "albums/album_entries.h"
#include "catalogue/procedure_names.h"

namespace tunarium {

namespace {

constexpr TableId kWizardTables[] = {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media,
                                     TableId::AddWizard};
// The fields that make the album-wide facts of the wizard's window.
constexpr int kAlbumFacts[] = {tun::kArtist,     tun::kAlbum, tun::kReleaseDate,
                               tun::kFileNumber, tun::kMedia, tun::kCategoryId};

} // namespace

AddWizard::AddWizard(Database& db, WizardKind kind, const SongRecord& start)
    : m_db(db), m_kind(kind), m_rules(db), m_tracks(db), m_fields(toRow(start)) {}

AddWizard::~AddWizard() {
    close();
}

QString AddWizard::title(WizardKind kind) {
    return kind == WizardKind::Compilation ? QStringLiteral("Add Compilation")
                                           : QStringLiteral("Add Album by Single Artist");
}

QString AddWizard::procedureName(WizardKind kind) {
    return QString::fromLatin1(kind == WizardKind::Compilation ? procedure::kAddCompilation
                                                               : procedure::kAddSingleArtist);
}

QString AddWizard::albumArtist() const {
    return isCompilation() ? QString::fromLatin1(kVariousArtist) : m_fields.text(tun::kArtist);
}

bool AddWizard::open() {
    if (m_open) {
        return true;
    }
    m_tables = TableLease(m_db, kWizardTables);
    if (!m_tables) {
        return false;
    }
    m_open = true;
    Warnings& warnings = m_db.warnings();
    if (StoreError e = m_tracks.reserveInstance()) {
        warnings.report(warning::kRecordRetrievalError, e, tableDef(TableId::AddWizard).label);
        close();
        return false;
    }
    // The facts start as the song form would start a new song; nothing is written until OK.
    if (StoreError e = m_rules.primeAndNumber(m_fields, false)) {
        warnings.report(warning::kRecordRetrievalError, e, tableDef(TableId::Tunarium).label);
        close();
        return false;
    }
    QString failedTable;
    if (StoreError e = m_rules.loadChoices(m_fields, failedTable)) {
        warnings.report(warning::kRecordRetrievalError, e, failedTable);
        close();
        return false;
    }
    m_openedWith = m_fields;
    return true;
}

void AddWizard::close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_tracks.release();
    m_tables.release();
}

bool AddWizard::fieldsChanged() const {
    for (int f : kAlbumFacts) {
        if (m_fields.value(f) != m_openedWith.value(f)) {
            return true;
        }
    }
    return false;
}

} // namespace tunarium
