// Rules of the song form.
#include "catalogue/song_rules.h"

#include "data/key_walk.h"
#include "data/pictures.h"

#include <algorithm>

namespace tunarium {

namespace {

const QString kDefaultMedia = QStringLiteral("CD");

} // namespace

QString SongRules::formPicture(int field) {
    return tunarium::formPicture(TableId::Tunarium, field);
}

int SongRules::checkedField(SongCheck check) {
    switch (check) {
    case SongCheck::Media:
        return tun::kMedia;
    case SongCheck::Time:
        return tun::kTime;
    case SongCheck::Category:
        return tun::kCategoryId;
    case SongCheck::TrackNumber:
        return tun::kTrackNumber;
    case SongCheck::ChartNumber:
        return tun::kChartNumber;
    case SongCheck::Rating:
        return tun::kRating;
    }
    return -1;
}

AddDispatch songAddDispatch(AddMode mode, bool copy, const AlbumContext& context, const SongRecord& current) {
    if (copy || context.active()) {
        return AddDispatch::OpenForm;
    }
    switch (mode) {
    case AddMode::Compilation:
        return AddDispatch::CompilationWizard;
    case AddMode::SingleArtist:
        return AddDispatch::SingleArtistWizard;
    case AddMode::AskEachTime:
        if (current.title.isEmpty() && current.artist.isEmpty() && current.fileNumber.isEmpty() &&
            current.album.isEmpty()) {
            return AddDispatch::AskUser;
        }
        return AddDispatch::OpenForm;
    case AddMode::Normal:
        break;
    }
    return AddDispatch::OpenForm;
}

bool isBlankSong(const Row& song) {
    return song.text(tun::kArtist).trimmed().isEmpty() && song.text(tun::kTitle).trimmed().isEmpty();
}

SongRules::SongRules(Database& db, AlbumContext context) : m_db(db), m_context(std::move(context)) {}

StoreError SongRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    record.setText(tun::kMedia, kDefaultMedia);
    if (m_context.active()) {
        applyAlbum(record, m_context.album, m_context.side, true);
    }
    qint64 id = 0;
    if (StoreError e = m_db.store().nextNumber(TableId::Tunarium, id)) {
        return e;
    }
    record.setNumber(tun::kId, id);

    // The next track of the album side; a song on no album starts at 1.
    const qint64 albumId = record.number(tun::kAlbumId);
    const qint64 side = record.number(tun::kSide);
    qint64 track = 1;
    if (albumId != 0) {
        QVector<Row> last;
        StoreError e =
            m_db.store().read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId, side, qint64(255)}},
                              Direction::Backward, true, 1, last);
        if (e) {
            return e;
        }
        if (!last.isEmpty() && last[0].number(tun::kAlbumId) == albumId &&
            last[0].number(tun::kSide) == side) {
            track = std::min<qint64>(last[0].number(tun::kTrackNumber) + 1, 255);
        }
    }
    record.setNumber(tun::kTrackNumber, track);
    return {};
}

void SongRules::afterAdd(Row& record, const Row& source, bool copy) {
    if (copy) {
        const qint64 id = record.number(tun::kId);
        const RecordMeta meta = record.meta;
        record = source;
        record.meta = meta;
        record.setNumber(tun::kId, id);
        // The audio file stays with the song it was read into: a scan finds one song per file.
        record.setText(tun::kFilePath, QString());
        record.setNumber(tun::kFileModified, 0);
        record.setNumber(tun::kFileMissing, 0);
        if (record.text(tun::kMedia).isEmpty()) {
            record.setText(tun::kMedia, kDefaultMedia);
        }
    }
    if (m_context.active()) {
        applyAlbum(record, m_context.album, m_context.side, true);
    }
}

void SongRules::applyAlbum(Row& record, const AlbumRecord& album, qint64 side, bool adding) const {
    record.setText(tun::kAlbum, album.album);
    record.setText(tun::kMedia, album.media);
    record.setNumber(tun::kAlbumId, album.albumId);
    record.setNumber(tun::kSide, side);
    const auto fillText = [&](int field, const QString& value) {
        if (adding || record.text(field).isEmpty()) {
            record.setText(field, value);
        }
    };
    const auto fillNumber = [&](int field, qint64 value) {
        if (adding || record.number(field) == 0) {
            record.setNumber(field, value);
        }
    };
    fillText(tun::kNotes, album.notes);
    fillText(tun::kFileNumber, album.fileNumber);
    fillText(tun::kArtist, album.artist);
    fillNumber(tun::kReleaseDate, album.releaseDate);
    fillNumber(tun::kCategoryId, album.categoryId);
}

StoreError SongRules::loadChoices(Row& record, QString& failedTable) {
    if (StoreError e = loadMediaChoices(record)) {
        failedTable = tableDef(TableId::Media).label;
        return e;
    }
    if (StoreError e = loadCategoryChoices()) {
        failedTable = tableDef(TableId::Categories).label;
        return e;
    }
    failedTable.clear();
    return {};
}

StoreError SongRules::loadMediaChoices(Row& record) {
    m_media.clear();
    KeyWalk walk(m_db.store(), TableId::Media, med::kKeyMedia);
    if (StoreError e = walk.forEach([this](const Row& r) {
            m_media << r.text(med::kMedia);
            return true;
        })) {
        return e;
    }
    const int media = tun::kMedia;
    if (m_media.isEmpty()) {
        record.setText(media, QString());
    } else if (record.text(media).isEmpty()) {
        record.setText(media, m_media.first());
    }
    return {};
}

StoreError SongRules::loadCategoryChoices() {
    QVector<CategoryChoice> loaded;
    const TableDef& t = tableDef(TableId::Categories);
    KeyWalk walk(m_db.store(), TableId::Categories, t.primaryKey);
    if (StoreError e = walk.forEach([&loaded](const Row& r) {
            loaded.push_back({r.text(cat::kCategory), r.number(cat::kCategoryId)});
            return true;
        })) {
        return e;
    }
    std::stable_sort(loaded.begin(), loaded.end(), [](const CategoryChoice& a, const CategoryChoice& b) {
        return foldKey(a.name) < foldKey(b.name);
    });
    m_categories = std::move(loaded);
    return {};
}

QString SongRules::categoryName(qint64 id) const {
    for (const CategoryChoice& c : m_categories) {
        if (c.id == id) {
            return c.name;
        }
    }
    return {};
}

bool SongRules::checkMedia(Row& record) {
    const QString media = record.text(tun::kMedia);
    const bool inChoices = std::any_of(m_media.begin(), m_media.end(),
                                       [&](const QString& m) { return foldKey(m) == foldKey(media); });
    Row found;
    if (inChoices && m_db.store().get(TableId::Media, 0, {media}, found).ok()) {
        return true;
    }
    m_db.warnings().show(warning::kFieldContentsError, QStringLiteral("Media"), QStringLiteral("Media"));
    return false;
}

bool SongRules::checkCategory(Row& record, const QString& typed) {
    const QString name = trimTrailingBlanks(typed);
    const int categoryField = tun::kCategoryId;
    if (name.isEmpty()) {
        record.setNumber(categoryField, 0);
        return true;
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (const CategoryChoice& c : m_categories) {
            if (foldKey(c.name) == foldKey(name)) {
                record.setNumber(categoryField, c.id);
                return true;
            }
        }
        if (pass == 1) {
            break;
        }
        PromptMessage ask;
        ask.caption = QStringLiteral("Category not found");
        ask.text = QStringLiteral("Add new category?");
        ask.icon = PromptIcon::Question;
        ask.buttons = kButtonYes | kButtonNo;
        ask.defaultButton = kButtonYes;
        if (m_db.prompter().message(ask) != kButtonYes) {
            return false;
        }
        Row category(TableId::Categories);
        qint64 id = 0;
        StoreError e = m_db.store().nextNumber(TableId::Categories, id);
        if (!e) {
            category.setNumber(cat::kCategoryId, id);
            category.setText(cat::kCategory, name);
            e = m_db.store().insert(category);
        }
        if (e) {
            PromptMessage failed;
            failed.caption = QStringLiteral("Error!");
            failed.text = QStringLiteral("Unable to add category - ") + e.describe();
            failed.icon = PromptIcon::Stop;
            m_db.prompter().message(failed);
            return false;
        }
        // The choices are read again and the field accepted again, so that the song takes the new
        // category.
        if (loadCategoryChoices()) {
            return false;
        }
    }
    return false;
}

namespace {

struct RangeRule {
    SongCheck check;
    qint64 high;
    const char* label; // the field's prompt as the form shows it
    const char* text;
};

const RangeRule kRangeRules[] = {{SongCheck::TrackNumber, 99, "Track", "0 and 99"},
                                 {SongCheck::ChartNumber, 100, "Chart", "0 and 100"},
                                 {SongCheck::Rating, 10, "Rating", "0 and 10"}};

} // namespace

bool SongRules::checkRanges(const Row& record, int* failingField) {
    for (const RangeRule& r : kRangeRules) {
        Row copy = record;
        if (!acceptField(r.check, copy, {})) {
            if (failingField) {
                *failingField = checkedField(r.check);
            }
            return false;
        }
    }
    return true;
}

bool SongRules::acceptField(SongCheck check, Row& record, const QString& typedCategory) {
    switch (check) {
    case SongCheck::Media:
        return checkMedia(record);
    case SongCheck::Time:
        // A length reads as typed (m:ss, h:mm:ss): the form refuses a text that does not read.
        return true;
    case SongCheck::Category:
        return checkCategory(record, typedCategory);
    default:
        break;
    }
    for (const RangeRule& r : kRangeRules) {
        if (r.check != check) {
            continue;
        }
        const qint64 value = record.number(checkedField(check));
        if (value < 0 || value > r.high) {
            m_db.warnings().show(warning::kRangeError, QString::fromLatin1(r.label),
                                 QString::fromLatin1(r.text));
            return false;
        }
    }
    return true;
}

std::optional<SongCheck> SongRules::acceptAll(Row& record, const QString& typedCategory) {
    for (SongCheck check : kSongChecks) {
        if (!acceptField(check, record, typedCategory)) {
            return check;
        }
    }
    return std::nullopt;
}

QString SongRules::refreshCategory(const Row& record) {
    const qint64 id = record.number(tun::kCategoryId);
    // A list that cannot be read now keeps the choices it has; the name is still read by itself.
    loadCategoryChoices();
    if (id == 0) {
        return {};
    }
    CategoryRecord category;
    if (!m_db.store().get(tableDef(TableId::Categories).primaryKey, {id}, category).ok()) {
        return {};
    }
    return category.category;
}

StoreError SongRules::addAlbumRecord(Row& record) {
    const int albumIdField = tun::kAlbumId;
    const QString title = record.text(tun::kAlbum);
    // A song with no album title makes no album: every such song would get an empty album of its own.
    if (record.number(albumIdField) != 0 || title.isEmpty()) {
        return {};
    }
    Row album;
    StoreError e =
        m_db.store().get(TableId::Album, alb::kKeyAlbum, {title, record.text(tun::kArtist)}, album);
    if (e.ok()) {
        record.setNumber(albumIdField, album.number(alb::kAlbumId));
        return {};
    }
    if (e.code != code::kRecordNotFound) {
        return e;
    }
    qint64 id = 0;
    if ((e = m_db.store().nextNumber(TableId::Album, id))) {
        return e;
    }
    AlbumRecord made;
    made.albumId = id;
    made.notes = record.text(tun::kNotes);
    made.fileNumber = record.text(tun::kFileNumber);
    made.artist = record.text(tun::kArtist);
    made.album = title;
    made.media = record.text(tun::kMedia);
    made.releaseDate = record.number(tun::kReleaseDate);
    made.categoryId = record.number(tun::kCategoryId);
    if ((e = m_db.store().insert(made))) {
        return e;
    }
    record.setNumber(albumIdField, id);
    return {};
}

} // namespace tunarium
