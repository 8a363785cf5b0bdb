// The export run and its file.
#include "exchange/export_process.h"

#include <cerrno>

namespace tunarium {

namespace {

// Songs read from the key at a time: a page is a handful of steps.
constexpr int kPageSize = 250;

constexpr int kCategoryName = -2;
constexpr int kNoField = -1;

// The song field an export field names, the category name, or none.
int exportColumn(const QString& name) {
    if (name.compare(QLatin1String("CAT:Category"), Qt::CaseInsensitive) == 0) {
        return kCategoryName;
    }
    const ExportField* f = findExportable(name);
    return f ? tableDef(TableId::Tunarium).fieldIndex(QStringView(f->field).mid(4)) : kNoField;
}

} // namespace

ExportFile::~ExportFile() {
    abandon();
}

bool ExportFile::create(const QString& path) {
    m_path = path;
    if (!m_writer.create(path)) {
        FileError e = fileErrorFromErrno(m_writer.lastErrno() ? m_writer.lastErrno() : EACCES);
        e.sentence = m_writer.refusal();
        m_prompter.message(fileFailureMessage(QStringLiteral("Cannot CREATE "), path, e));
        return false;
    }
    m_open = true;
    return true;
}

bool ExportFile::writeLine(const QString& line) {
    if (line.size() > kDelimitedLineLength) {
        PromptMessage m =
            fileFailureMessage(QStringLiteral("Cannot ADD to "), m_path,
                               {90, QStringLiteral("The line is longer than 16000 characters")});
        m_prompter.message(m);
        return false;
    }
    while (!m_writer.writeLine(line)) {
        PromptMessage m = fileFailureMessage(QStringLiteral("Cannot ADD to "), m_path,
                                             fileErrorFromErrno(m_writer.lastErrno()));
        m.buttons = kButtonAbort | kButtonRetry;
        m.defaultButton = kButtonAbort;
        if (m_prompter.message(m) != kButtonRetry) {
            return false;
        }
    }
    return true;
}

bool ExportFile::close() {
    if (!m_open) {
        return true;
    }
    m_open = false;
    if (!m_writer.finish()) {
        m_prompter.message(fileFailureMessage(QStringLiteral("Cannot CLOSE "), m_path,
                                              fileErrorFromErrno(m_writer.lastErrno())));
        return false;
    }
    return true;
}

void ExportFile::abandon() {
    if (!m_open) {
        return;
    }
    if (!m_writer.replacesTarget()) {
        close();
        return;
    }
    m_open = false;
    m_writer.discard();
}

QString exportHeaderLine(const QVector<ExportField>& fields) {
    DelimitedLineBuilder builder;
    builder.begin();
    for (const ExportField& f : fields) {
        builder.appendHeaderName(f.field);
    }
    return builder.line();
}

ExportProcess::ExportProcess(Database& db, std::unique_ptr<ExportFile> file, QVector<ExportField> fields,
                             ExportSelection selection)
    : Process(QStringLiteral("Exporting Records"), QStringLiteral("Exporting"), kExportSongsPerStep),
      m_db(db), m_file(std::move(file)), m_fields(std::move(fields)), m_selection(std::move(selection)) {
    for (const ExportField& f : m_fields) {
        m_columns << exportColumn(f.field);
    }
}

ExportProcess::~ExportProcess() {
    cancel();
    if (m_file) {
        m_file->abandon();
    }
}

bool ExportProcess::begin() {
    m_tables = TableLease(m_db, {TableId::Tunarium, TableId::Categories});
    if (!m_tables) {
        m_failed = true;
        return false;
    }
    // The lease has brought both tables to their current structure: the reader only reads them.
    m_reader = makeStore(m_db.collectionDir());
    StoreError e = m_reader->open(m_db.collectionDir());
    if (!e) {
        m_snapshot.emplace(*m_reader);
        e = m_snapshot->beginError();
    }
    if (e) {
        m_snapshot.reset();
        m_reader.reset();
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        m_failed = true;
        return false;
    }
    m_total = m_reader->count(TableId::Tunarium);
    setProgress(0, m_total);
    return readPage() && !m_page.isEmpty();
}

void ExportProcess::end() {
    // A cancelled export keeps the lines it wrote, in place of the old file; a failed one leaves
    // the old file as it was.
    if (m_file && m_failed) {
        m_file->abandon();
    } else if (m_file) {
        m_file->close();
    }
    m_snapshot.reset();
    m_reader.reset();
    m_tables.release();
}

bool ExportProcess::readPage() {
    KeyPosition from;
    if (!m_page.isEmpty()) {
        from = m_reader->positionOf(m_page.last(), m_selection.key);
    }
    QVector<Row> page;
    if (const StoreError e = m_reader->read(TableId::Tunarium, m_selection.key, from, Direction::Forward, false,
                                            kPageSize, page, WalkLimits(m_selection.songs))) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        m_failed = true;
        return false;
    }
    m_lastPage = page.size() < kPageSize;
    m_page = std::move(page);
    m_next = 0;
    return true;
}

QString ExportProcess::categoryName(qint64 categoryId) {
    const auto it = m_categories.constFind(categoryId);
    if (it != m_categories.constEnd()) {
        return it.value();
    }
    Row category;
    QString name;
    if (m_reader->get(TableId::Categories, cat::kKeyCategoryId, {categoryId}, category).ok()) {
        name = category.text(cat::kCategory);
    }
    m_categories.insert(categoryId, name);
    return name;
}

QString ExportProcess::buildLine(const Row& song) {
    constexpr int categoryField = tun::kCategoryId;
    m_builder.begin();
    for (int i = 0; i < m_fields.size(); ++i) {
        const int column = m_columns[i];
        if (column == kNoField) {
            continue;
        }
        if (column == kCategoryName) {
            m_builder.append(categoryName(song.number(categoryField)), m_fields[i].picture);
        } else {
            m_builder.append(song.value(column), m_fields[i].picture);
        }
    }
    return m_builder.line();
}

bool ExportProcess::handleNext() {
    const Row& song = m_page[m_next];
    if (!m_file->writeLine(buildLine(song))) {
        m_failed = true;
        stopAsCompleted();
        return false;
    }
    ++m_written;
    setProgress(recordsDone(), m_total);
    if (++m_next < m_page.size()) {
        return true;
    }
    return !m_lastPage && readPage() && !m_page.isEmpty();
}

std::unique_ptr<ExportProcess> openExport(Database& db, Prompter& prompter, const QString& path,
                                          QVector<ExportField> fields, bool header, ExportSelection selection) {
    if (isCollectionFile(path, db.collectionDir())) {
        prompter.message(fileFailureMessage(QStringLiteral("Cannot CREATE "), path,
                                            collectionFileError(path, FileUse::Export)));
        return nullptr;
    }
    auto file = std::make_unique<ExportFile>(prompter);
    if (!file->create(path)) {
        return nullptr;
    }
    if (header && !file->writeLine(exportHeaderLine(fields))) {
        file->abandon();
        return nullptr;
    }
    return std::make_unique<ExportProcess>(db, std::move(file), std::move(fields), std::move(selection));
}

} // namespace tunarium
