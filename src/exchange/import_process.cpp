// The import run.
#include "exchange/import_process.h"

#include <algorithm>

#include "data/pictures.h"
#include "data/store_backups.h"
#include "exchange/import_values.h"

namespace tunarium {

namespace {

// How long a step waits for the keys being built before the window gets its turn.
constexpr std::chrono::milliseconds kBulkWait(40);
// Lines left out are told one by one up to this many; the rest only by their number.
constexpr int kRejectionsTold = 20;

const TableDef& songs() {
    return tableDef(TableId::Tunarium);
}

int songField(const QString& qualified) {
    return songs().fieldIndex(QStringView(qualified).mid(4));
}

// Whether a line holds no value at all: nothing but blanks, commas and empty quotes.
bool holdsNoValue(const QString& line) {
    DelimitedLine fields(line);
    QString value;
    while (fields.next(value) != DelimitedField::None) {
        if (!value.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

QString quotedValue(const QString& text) {
    return u'"' + text.left(40) + (text.size() > 40 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

} // namespace

ImportProcess::ImportProcess(Database& db, std::unique_ptr<DelimitedReader> reader, ImportPlan plan)
    : Process(QStringLiteral("Importing Records"), QString(), kImportLinesPerStep), m_db(db),
      m_reader(std::move(reader)), m_plan(std::move(plan)) {
    m_targetFields.reserve(importTargetNames().size());
    for (const QString& name : importTargetNames()) {
        m_targetFields << songField(name);
    }
    m_idField = tun::kId;
    m_mediaField = tun::kMedia;
    m_categoryField = tun::kCategoryId;
    m_categoryTarget = static_cast<int>(importTargetNames().indexOf(QStringLiteral("TUN:CategoryID")));
    for (const QString& picture : m_plan.pictures) {
        m_lengthWithSeconds << readsLengthWithSeconds(picture);
    }
}

ImportProcess::~ImportProcess() {
    stopNow();
}

bool ImportProcess::begin() {
    if (!m_reader) {
        m_broken = true;
        return false;
    }
    m_tables = TableLease(m_db, {TableId::Tunarium, TableId::Categories});
    if (!m_tables) {
        m_broken = true;
        return false;
    }
    if (m_reader->size() >= m_bulkFromBytes) {
        if (m_db.store().count(TableId::Tunarium) == 0 && !startBulk()) {
            return false;
        }
        // Into songs that are there (maybe added by another copy just now), line by line.
        if (!m_bulk && !backUpFirst()) {
            return false;
        }
    }
    m_reader->rewind();
    if (m_plan.stripHeader) {
        QString header;
        if (m_reader->readLine(header)) {
            ++m_lines;
        }
    }
    return readLine();
}

// A large import into a collection with songs is kept undoable as a whole: the collection is
// backed up first, and nothing is imported when that fails (a full disk, say).
bool ImportProcess::backUpFirst() {
    const StoreError e = m_db.store().makeBackup(QLatin1String(kBackupBeforeImport));
    if (!e) {
        return true;
    }
    PromptMessage m;
    m.caption = QStringLiteral("Import");
    m.text =
        QStringLiteral("The collection could not be backed up before the import, so nothing was imported: ") +
        e.describe();
    m.icon = PromptIcon::Stop;
    m_db.prompter().message(m);
    m_failure = m.text;
    m_broken = true;
    return false;
}

bool ImportProcess::readLine() {
    if (!m_reader->readLine(m_line)) {
        setProgress(m_reader->size(), m_reader->size());
        if (m_bulk && !m_bulkFinish.valid()) {
            startBuildingKeys();
            return true;
        }
        return false;
    }
    ++m_lines;
    setProgress(m_reader->position(), m_reader->size());
    return true;
}

void ImportProcess::end() {
    commit();
    endBulk();
    if (m_reader) {
        m_reader->close();
    }
    m_tables.release();
}

void ImportProcess::stepBegins() {
    if (m_transaction || m_bulk) {
        return;
    }
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        addFailed(e);
        return;
    }
}

void ImportProcess::stepEnds() {
    // A step's lines are committed together: one wait for the disk for 25 songs, and nothing held
    // while the window has its turn.
    commit();
}

void ImportProcess::commit() {
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        // What the step added is gone with the failed commit.
        m_added = m_addedCommitted;
        m_firstAdded = m_firstAddedCommitted;
        m_lastAdded = m_lastAddedCommitted;
        addFailed(e);
        return;
    }
    m_addedCommitted = m_added;
    m_firstAddedCommitted = m_firstAdded;
    m_lastAddedCommitted = m_lastAdded;
}

bool ImportProcess::addFailed(const StoreError& error) {
    PromptMessage m;
    m.caption = QStringLiteral("Cannot ADD to Tunarium!");
    const QString text =
        error.code == code::kDriverError && !error.driverMessage.isEmpty() ? error.driverMessage : error.text;
    m.text = QStringLiteral("Error #") + QString::number(error.code) + QStringLiteral(" - ") + text;
    m.icon = PromptIcon::Stop;
    m.buttons = kButtonOk;
    m.defaultButton = kButtonOk;
    m_db.prompter().message(m);
    m_failure = m.text;
    m_addFailed = true;
    stopAsCompleted();
    return false;
}

bool ImportProcess::handleNext() {
    if (m_bulkFinish.valid()) {
        return !waitForBulk();
    }
    if (!m_transaction && !m_bulk) {
        return false;
    }
    if (holdsNoValue(m_line)) {
        ++m_emptySkipped;
        return readLine();
    }
    Row song(TableId::Tunarium);
    QString reason;
    QString categoryName;
    if (!fillSong(song, categoryName, reason)) {
        ++m_rejectedCount;
        if (m_rejections.size() < kRejectionsTold) {
            m_rejections << QStringLiteral("Line %1: %2").arg(m_lines).arg(reason);
        }
        return readLine();
    }
    if (m_categoryTarget >= 0 && m_plan.targetSources.value(m_categoryTarget, -1) >= 0) {
        if (!resolveCategory(song, categoryName)) {
            return false;
        }
    }
    qint64 id = m_nextId;
    // While loading in bulk the numbers are counted here: the key of the numbers is not there.
    StoreError e = m_bulk ? StoreError{} : m_db.store().nextNumber(TableId::Tunarium, id);
    if (!e) {
        song.setNumber(m_idField, id);
        e = store().insert(song);
    }
    if (!e && m_bulk) {
        ++m_nextId;
    }
    if (e) {
        return addFailed(e);
    }
    ++m_added;
    if (m_firstAdded == 0) {
        m_firstAdded = song.meta.rec;
    }
    m_lastAdded = song.meta.rec;
    if (m_lineCuts > 0) {
        if (m_valuesCut == 0) {
            m_firstCut =
                QStringLiteral("line %1, %2").arg(m_lines).arg(importTargetNames()[m_lineFirstCutTarget]);
        }
        m_valuesCut += m_lineCuts;
    }
    return readLine();
}

bool ImportProcess::fillSong(Row& song, QString& categoryName, QString& reason) {
    DelimitedLine line(m_line);
    QString value;
    const int targets = static_cast<int>(m_plan.targetSources.size());
    m_lineCuts = 0;
    m_lineFirstCutTarget = -1;
    for (int f = 0; f < m_plan.pictures.size(); ++f) {
        if (line.next(value) == DelimitedField::None) {
            continue;
        }
        const QString& picture = m_plan.pictures[f];
        QVariant stepped;
        bool steppedYet = false;
        for (int t = 0; t < targets; ++t) {
            if (m_plan.targetSources[t] != f) {
                continue;
            }
            if (!steppedYet) {
                steppedYet = true;
                const QChar kind = pictureKind(picture);
                bool withHours = true;
                const qint64 length = m_lengthWithSeconds[f] ? readSongLength(value, &withHours) : 0;
                if (kind == u'S' || kind == u'N') {
                    stepped = value;
                } else if (length != 0 && !withHours) {
                    stepped = length;
                } else {
                    stepped = deformatPicture(value, picture);
                    // A date or a time that does not read is not a blank one.
                    if ((kind == u'D' || kind == u'T') && stepped.toLongLong() == 0 &&
                        !value.trimmed().isEmpty()) {
                        reason = QStringLiteral("%1 cannot read %2 through %3")
                                     .arg(importTargetNames()[t], quotedValue(value), picture);
                        return false;
                    }
                }
            }
            if (t == m_categoryTarget) {
                categoryName = stepped.toString();
                noteCut(categoryName, tableDef(TableId::Categories).fields[1].width, t);
                continue;
            }
            if (!storeValue(song, t, stepped, reason)) {
                return false;
            }
        }
    }
    const QString media = song.text(m_mediaField);
    for (const ImportMediaCode& c : importMediaCodes()) {
        if (media == c.code) {
            song.setText(m_mediaField, c.media);
            break;
        }
    }
    return true;
}

bool ImportProcess::storeValue(Row& song, int target, const QVariant& value, QString& reason) {
    const int field = m_targetFields[target];
    const FieldDef& def = songs().fields[field];
    if (def.isText()) {
        const QString text = value.toString();
        noteCut(text, def.width, target);
        song.setText(field, text);
        return true;
    }
    qint64 number = 0;
    bool read = true;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        read = text.trimmed().isEmpty() || readWholeNumber(text, number);
    } else {
        number = value.toLongLong();
    }
    if (!read && def.meaning == FieldMeaning::Time) {
        // A time without a picture: a song length as people write it.
        number = readSongLength(value.toString());
        read = number != 0;
        if (!read) {
            reason =
                QStringLiteral("%1 cannot hold %2, which is neither a whole number nor a length such as 3:56")
                    .arg(importTargetNames()[target], quotedValue(value.toString()));
            return false;
        }
    }
    if (!read && def.meaning == FieldMeaning::Date) {
        // A date without a picture: written the ISO way (1999-03-15) it says which is the month.
        number = readIsoDate(value.toString());
        read = number != 0;
        if (!read) {
            reason = QStringLiteral("%1 cannot hold %2: without a picture a date is read as 1999-03-15 or a "
                                    "year alone; choose the picture it is written in (@d2 for 03/15/1999, "
                                    "@d6 for 15/03/1999)")
                         .arg(importTargetNames()[target], quotedValue(value.toString()));
            return false;
        }
    }
    if (!read) {
        reason = QStringLiteral("%1 cannot hold %2, which is not a whole number")
                     .arg(importTargetNames()[target], quotedValue(value.toString()));
        return false;
    }
    if (number < def.minValue() || number > def.maxValue()) {
        reason = QStringLiteral("%1 cannot hold %2 (it holds %3 to %4)")
                     .arg(importTargetNames()[target])
                     .arg(number)
                     .arg(def.minValue())
                     .arg(def.maxValue());
        return false;
    }
    song.setNumber(field, number);
    return true;
}

void ImportProcess::noteCut(const QString& value, int width, int target) {
    if (value.size() <= width || trimTrailingBlanks(value).size() <= width) {
        return;
    }
    if (m_lineCuts++ == 0) {
        m_lineFirstCutTarget = target;
    }
}

bool ImportProcess::resolveCategory(Row& song, const QString& name) {
    Row category(TableId::Categories);
    category.setText(cat::kCategory, name);
    const QString stored = category.text(cat::kCategory);
    // A blank name is no category at all.
    if (stored.trimmed().isEmpty()) {
        song.setNumber(m_categoryField, 0);
        return true;
    }
    Row found;
    StoreError e = store().get(TableId::Categories, cat::kKeyCategory, {stored}, found);
    if (e.ok()) {
        song.setNumber(m_categoryField, found.number(cat::kCategoryId));
        return true;
    }
    if (e.code != code::kRecordNotFound) {
        return addFailed(e);
    }
    // The first category of an empty table is number 2.
    qint64 id = 2;
    e = store().count(TableId::Categories) > 0 ? store().nextNumber(TableId::Categories, id) : StoreError{};
    if (!e) {
        category.setNumber(cat::kCategoryId, id);
        e = store().insert(category);
    }
    if (e) {
        return addFailed(e);
    }
    ++m_categoriesAdded;
    song.setNumber(m_categoryField, id);
    return true;
}

void ImportProcess::startBuildingKeys() {
    // The keys are built on a thread of their own; the steps wait for them in turns.
    setMessage(QStringLiteral("Building keys..."));
    m_bulkFinish = std::async(std::launch::async, [this] { return finishBulk(); });
}

QString ImportProcess::statusText() const {
    if (!m_bulkFinish.valid() || m_bulkFinished) {
        return percentText();
    }
    if (m_buildingSearchIndex) {
        return QStringLiteral("Building the search index");
    }
    const int keys = m_keys;
    return keys == 0 ? percentText()
                     : QStringLiteral("Building keys: %1 of %2").arg(std::min(m_keysBuilt + 1, keys)).arg(keys);
}

bool ImportProcess::windDown() {
    // Cancelled while loading in bulk: the songs read so far stay, once their keys are built.
    if (!m_bulk || m_bulkFinished) {
        return false;
    }
    if (!m_bulkFinish.valid()) {
        startBuildingKeys();
    }
    return true;
}

bool ImportProcess::startBulk() {
    std::unique_ptr<Store> bulk = makeStore(m_db.collectionDir());
    if (bulk->open(m_db.collectionDir())) {
        return true; // lines are then added one by one
    }
    // The write lock first, before anything is written: held by another copy (another bulk
    // import, say), the import is refused whole and writes nothing, rather than adding some
    // lines one by one and stopping halfway at that copy's next long write.
    m_bulkTransaction.emplace(*bulk);
    if (!m_bulkTransaction->ok()) {
        const StoreError e = m_bulkTransaction->beginError();
        m_bulkTransaction.reset();
        if (e.code != code::kFileLocked) {
            return true;
        }
        // Told at the end, as the reason no song was imported.
        m_failure = QStringLiteral("another copy of the program is writing to the collection (%1); import "
                                   "the file again when it is done")
                        .arg(e.describe());
        m_broken = true;
        return false;
    }
    qint64 firstId = 0;
    // Another station may have added songs since the count was read: they are then added to.
    if (bulk->openTable(TableId::Tunarium) || bulk->openTable(TableId::Categories) ||
        bulk->nextNumber(TableId::Tunarium, firstId) || bulk->count(TableId::Tunarium) != 0 ||
        bulk->beginBulkLoad(TableId::Tunarium)) {
        m_bulkTransaction.reset();
        return true;
    }
    m_nextId = firstId;
    m_bulk = std::move(bulk);
    m_inBulk = true;
    // The write lock is held until the keys are built: other windows' changes are refused
    // meanwhile, and say why.
    m_lockNote.emplace(QStringLiteral("an import is running"));
    return true;
}

StoreError ImportProcess::finishBulk() {
    m_bulk->schema().setBulkLoadProgress([this](const BulkLoadStep& step) {
        m_keys = step.keys;
        m_keysBuilt = step.keysBuilt;
        m_buildingSearchIndex = step.searchIndex;
    });
    StoreError e = m_bulk->endBulkLoad(TableId::Tunarium);
    if (!e) {
        e = m_bulkTransaction->commit();
    }
    if (e) {
        m_bulkTransaction->rollback();
    }
    return e;
}

bool ImportProcess::waitForBulk() {
    if (m_bulkFinish.wait_for(kBulkWait) != std::future_status::ready) {
        endStep();
        return false;
    }
    m_bulkFinished = true;
    setMessage(QString());
    if (const StoreError e = m_bulkFinish.get()) {
        // Nothing of the bulk load stays.
        m_added = 0;
        m_categoriesAdded = 0;
        m_firstAdded = m_lastAdded = m_firstAddedCommitted = m_lastAddedCommitted = 0;
        addFailed(e);
    } else {
        m_addedCommitted = m_added;
        m_firstAddedCommitted = m_firstAdded;
        m_lastAddedCommitted = m_lastAdded;
    }
    return true;
}

void ImportProcess::endBulk() {
    if (!m_bulk) {
        return;
    }
    if (!m_bulkFinished) {
        // Cancelled or stopped by a failure: what was added stays, with its keys.
        if (!m_bulkFinish.valid()) {
            m_bulkFinish = std::async(std::launch::deferred, [this] { return finishBulk(); });
        }
        m_bulkFinish.wait();
        waitForBulk();
    }
    m_bulkTransaction.reset();
    m_lockNote.reset();
    m_bulk->closeTable(TableId::Categories);
    m_bulk->closeTable(TableId::Tunarium);
    m_bulk->close();
    m_bulk.reset();
}

} // namespace tunarium
