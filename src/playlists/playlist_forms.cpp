// List definitions and form rules of the playlist windows.
#include "playlists/playlist_forms.h"

#include "playlists/playlist_entries.h"

namespace tunarium {

ListDefinition playlistsListDefinition() {
    ListDefinition d;
    d.table = TableId::PlaylistMaster;
    SortOrderDef byNumber;
    byNumber.key = pld::kKeyPlaylistId;
    byNumber.locator = LocatorKind::None;
    d.sortOrders = {byNumber};
    d.columns = {recordColumn(QStringLiteral("Playlist Description"), pld::kPlaylistDescription,
                              QStringLiteral("@S20"))};
    d.titleCaption = QStringLiteral("Playlists");
    return d;
}

ListDefinition entriesListDefinition() {
    ListDefinition d;
    d.table = TableId::PlaylistDetails;
    d.joins = {{TableId::Tunarium, tun::kKeyId, pla::kId}};
    SortOrderDef inOrder;
    inOrder.key = pla::kKeyPlaylistId;
    inOrder.rangeLength = 1;
    inOrder.locator = LocatorKind::None;
    d.sortOrders = {inOrder};
    d.columns = {
        recordColumn(QStringLiteral("Seq"), pla::kPlaylistSeq, QStringLiteral("@n_5")),
        lookupColumn(QStringLiteral("Artist"), 0, tun::kArtist, QStringLiteral("@s50")),
        lookupColumn(QStringLiteral("Title"), 0, tun::kTitle, QStringLiteral("@s50")),
        lookupColumn(QStringLiteral("Time"), 0, tun::kTime, QStringLiteral("@t4")),
        recordColumn(QStringLiteral("Notes"), pla::kPlaylistNotes, QStringLiteral("@s50")),
    };
    return d;
}

StoreError PlaylistRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    qint64 number = 0;
    if (StoreError e = m_db.store().nextNumber(TableId::PlaylistMaster, number)) {
        return e;
    }
    record = Row(TableId::PlaylistMaster);
    record.setNumber(pld::kPlaylistId, number);
    return {};
}

QString PlaylistRules::duplicateKeyName(const StoreError& error) const {
    return error.keyName.isEmpty() ? uniqueKeyName() : error.keyName;
}

StoreError PlaylistEntryRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    qint64 last = 0;
    if (StoreError e = PlaylistEntries(m_db, m_playlistId).lastSequence(last)) {
        return e;
    }
    record = Row(TableId::PlaylistDetails);
    record.setNumber(pla::kPlaylistId, m_playlistId);
    record.setNumber(pla::kPlaylistSeq, last + 1);
    return {};
}

PlaylistDitto& playlistDitto() {
    static PlaylistDitto ditto;
    return ditto;
}

} // namespace tunarium
