// A run of a report of the catalogue.
#include "reports/report_run.h"

#include "data/dictionary_tables.h"
#include "data/filter_expression.h"
#include "data/store_search.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

#include <algorithm>

// Resource initialisation must be called outside any namespace.
static void initReportResources() {
    Q_INIT_RESOURCE(reports);
}

namespace tunarium {

namespace {

// The least margin a report keeps from the paper's edge, in points, whatever the printer says.
constexpr double kLeastMargin = 24;

QList<TableId> tablesOf(ReportSubject subject) {
    switch (subject) {
    case ReportSubject::Songs:
        return {TableId::Tunarium, TableId::Categories};
    case ReportSubject::AlbumSongs:
        return {TableId::Album, TableId::Tunarium, TableId::Categories};
    case ReportSubject::Albums:
        return {TableId::Album, TableId::Categories};
    case ReportSubject::Playlist:
        return {TableId::PlaylistMaster, TableId::PlaylistDetails, TableId::Tunarium, TableId::Categories};
    }
    return {};
}

PromptMessage note(const QString& caption, const QString& text) {
    return {caption, text, PromptIcon::Exclamation, kButtonOk, kButtonOk};
}

} // namespace

ReportCriteria& programReportCriteria() {
    static ReportCriteria criteria;
    return criteria;
}

QString selectionPrompt(const ReportEntry& decl, const QString& udkLabel) {
    const QString noun =
        decl.has(ReportFlag::UserKeyNoun) ? userDefinedKeyNoun(udkLabel) : decl.noun;
    return QStringLiteral("Select ") + noun + QStringLiteral(" that start with:");
}

QPageLayout defaultReportPaper() {
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(36, 36, 36, 36), QPageLayout::Point);
}

ReportRun::ReportRun(Database& db, const Settings& settings, Prompter& prompter, const ReportEntry& decl,
                     ReportRequest request)
    : m_db(db), m_settings(settings), m_prompter(prompter), m_decl(decl), m_request(std::move(request)) {
    m_request.criteria.selection = m_request.criteria.selection.left(kSelectionWidth);
    m_context.udkLabel = settings.udkPrompt();
    m_context.notesLabel = settings.notesLabel();
    m_context.datePicture = settings.datePicture();
}

ReportRun::~ReportRun() {
    m_source.reset();
}

ReportLayout ReportRun::style() const {
    return m_decl.hasBrief && m_decl.hasCriteria() ? m_request.criteria.style : ReportLayout::Standard;
}

bool ReportRun::open() {
    if (m_open) {
        return true;
    }
    m_tables = TableLease(m_db, tablesOf(m_decl.subject));
    if (!m_tables) {
        return false;
    }
    if (!readSubject()) {
        return false;
    }
    if (m_decl.has(ReportFlag::ChartWithLogo)) {
        m_context.logo = logo();
    }
    m_definition = reportLayout(m_decl, style(), m_context);
    m_open = true;
    return true;
}

bool ReportRun::readSubject() {
    Store& store = m_db.store();
    // What the report is about was deleted meanwhile (or never was).
    auto gone = [this](const QString& noun, qint64 id) {
        m_prompter.message(
            note(noun, QStringLiteral("%1 number %2 is not in the collection: it may have been deleted.")
                           .arg(noun)
                           .arg(id)));
        return false;
    };
    switch (m_decl.parameter) {
    case ReportParameter::None:
        return true;
    case ReportParameter::Category: {
        CategoryRecord category;
        if (m_request.categoryId == 0 || store.get(cat::kKeyCategoryId, {m_request.categoryId}, category)) {
            m_prompter.message(note(QStringLiteral("Category"),
                                    QStringLiteral("The category chosen for the report is no longer in the "
                                                   "collection.")));
            return false;
        }
        m_context.categoryName = category.category;
        return true;
    }
    case ReportParameter::Album: {
        AlbumRecord album;
        if (store.get(alb::kKeyAlbumId, {m_request.albumId}, album)) {
            return gone(QStringLiteral("Album"), m_request.albumId);
        }
        return true;
    }
    case ReportParameter::Playlist: {
        PlaylistRecord playlist;
        if (store.get(pld::kKeyPlaylistId, {m_request.playlistId}, playlist)) {
            return gone(QStringLiteral("Playlist"), m_request.playlistId);
        }
        m_context.playlistName = playlist.playlistDescription;
        m_context.playlistDate = playlist.lastEditDate;
        return true;
    }
    }
    return true;
}

QImage ReportRun::logo() {
    initReportResources();
    const QImage own(QStringLiteral(":/reports/logo.png"));
    const QString file = m_settings.logo().trimmed();
    if (file.isEmpty()) {
        return own;
    }
    QImageReader reader(file);
    const QImage picture = reader.read();
    if (!picture.isNull()) {
        return picture;
    }
    m_prompter.message(
        note(QStringLiteral("Logo"),
             QStringLiteral("The logo picture %1 cannot be read (%2). The report is printed with the "
                            "program's own logo.")
                 .arg(QFileInfo(file).fileName(), reader.errorString())));
    return own;
}

QPageLayout ReportRun::pageLayout(const QPageLayout& paper) const {
    QPageLayout layout = paper;
    layout.setUnits(QPageLayout::Point);
    const QMarginsF margins = layout.margins();
    layout.setMargins(QMarginsF(std::max(margins.left(), kLeastMargin), std::max(margins.top(), kLeastMargin),
                                std::max(margins.right(), kLeastMargin),
                                std::max(margins.bottom(), kLeastMargin)));
    layout.setOrientation(m_definition.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout;
}

QString ReportRun::progressTitle(bool previewing) {
    return previewing ? QStringLiteral("Generating Report") : QStringLiteral("Printing Report");
}

std::unique_ptr<ReportRecordSource> ReportRun::makeSource() {
    Store& store = m_db.store();
    KeyWalkLimits limits;
    if (m_decl.parameter == ReportParameter::Category) {
        limits.range = {m_request.categoryId};
    }
    const ReportCriteria& criteria = m_request.criteria;
    const int key = m_decl.keyIndex();
    const TableDef& t = tableDef(m_decl.table);
    if (m_decl.hasCriteria() && criteria.selected && key >= 0 &&
        limits.range.size() < t.key(key).components.size() &&
        t.qualifiedField(t.key(key).components[limits.range.size()]) == m_decl.selectionField) {
        limits.prefix = criteria.selection;
    }
    if (m_decl.narrowing && !m_request.filter.trimmed().isEmpty()) {
        const CompiledFilter compiled = compileFilter(m_request.filter.left(1024), TableId::Tunarium);
        if (compiled.ok()) {
            limits.filter = compiled.condition;
        } else {
            // The report runs without the filter, as any walk whose filter cannot be used.
            m_db.warnings().setCurrentError(StoreError::driver(0, compiled.error.message()));
            m_db.warnings().show(warning::kViewOpenError);
        }
    }
    if (m_decl.subject == ReportSubject::Songs && !m_request.songs.isEmpty()) {
        limits.filter = allOf(limits.filter, m_request.songs);
    }
    switch (m_decl.subject) {
    case ReportSubject::Songs:
        return std::make_unique<SongsSource>(store, key, std::move(limits), m_decl.recordCheck);
    case ReportSubject::AlbumSongs:
        return std::make_unique<AlbumSongsSource>(store, m_request.albumId);
    case ReportSubject::Albums:
        return std::make_unique<AlbumsSource>(store, key, std::move(limits));
    case ReportSubject::Playlist:
        return std::make_unique<PlaylistSource>(store, m_request.playlistId);
    }
    return {};
}

std::unique_ptr<ReportProcess> ReportRun::makeProcess(PageSink& sink, const QPageLayout& layout,
                                                      bool previewing) {
    if (!m_open) {
        return {};
    }
    m_source = makeSource();
    ReportSelection selection;
    if (m_decl.hasCriteria()) {
        selection = {m_request.criteria.selected, m_request.criteria.selection};
    }
    auto process = std::make_unique<ReportProcess>(progressTitle(previewing), m_definition, *m_source, sink,
                                                   layout, selection);
    process->setPrepare([this](ReportDefinition& definition) {
        definition.useDatePicture(m_context.datePicture);
        // The criteria's font choice holds for the reports without criteria too, as the user left it.
        if (m_request.criteria.customFont) {
            offerCustomFont(definition);
        }
    });
    return process;
}

void ReportRun::offerCustomFont(ReportDefinition& definition) {
    const QString tag = m_decl.fontTag(style());
    if (tag.isEmpty()) {
        return;
    }
    const ReportFont stored = m_settings.reportFont(style(), tag);
    FontChoice choice{stored.name.trimmed(), stored.size, stored.color, stored.style};
    if (choice.typeFace.isEmpty()) {
        choice.typeFace = definition.fonts.detail.family();
    }
    // A size the report cannot print is not offered as the starting choice.
    if (choice.size <= 0) {
        choice.size = definition.fonts.detail.pointSize();
    }
    choice.size = std::clamp(choice.size, kMinCustomFontPoints, kMaxCustomFontPoints);
    if (!m_prompter.chooseFont(QString::fromLatin1(kCustomFontCaption), choice)) {
        return;
    }
    ReportFont chosen{choice.typeFace.left(32), choice.size, choice.colour, choice.style};
    if (chosen.size < kMinCustomFontPoints || chosen.size > kMaxCustomFontPoints) {
        chosen.size = std::clamp(chosen.size, kMinCustomFontPoints, kMaxCustomFontPoints);
        m_prompter.message(
            note(QString::fromLatin1(kCustomFontCaption),
                 QStringLiteral("Reports are printed in sizes from %1 to %2 points: the report uses "
                                "%3 points.")
                     .arg(kMinCustomFontPoints)
                     .arg(kMaxCustomFontPoints)
                     .arg(chosen.size)));
    }
    definition.useCustomFont(chosen);
    m_settings.writeReportFont(style(), tag, chosen);
}

void ReportRun::tellOutcome(const ReportProcess& process, bool previewing) {
    if (!process.completed()) {
        return;
    }
    if (process.failed()) {
        const auto* fielded = dynamic_cast<const FieldedSource*>(m_source.get());
        if (fielded && fielded->readFailure()) {
            m_db.warnings().report(warning::kRecordRetrievalError, fielded->readFailure()->error,
                                   tableDef(fielded->readFailure()->table).label);
        } else {
            m_prompter.message({m_definition.title, process.error(), PromptIcon::Stop, kButtonOk, kButtonOk});
        }
        return;
    }
    if (process.detailsPrinted() == 0) {
        m_prompter.message(note(QString::fromLatin1(kNoteCaption),
                                QString::fromLatin1(previewing ? kNothingToPreview : kNothingToPrint)));
    }
}

ReportCancel askToCancelReport(Prompter& prompter, bool previewing, bool pagesMade) {
    const PromptMessage sure{QStringLiteral("Question"),
                             QStringLiteral("Are you sure you want to CANCEL this Report?"),
                             PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo};
    if (prompter.message(sure) != kButtonYes) {
        return ReportCancel::GoOn;
    }
    if (!previewing || !pagesMade) {
        return ReportCancel::Stop;
    }
    const PromptMessage soFar{
        QStringLiteral("Question"),
        QStringLiteral("Report Cancellation Requested!\n \nPreview Report generated so far?"),
        PromptIcon::Question, kButtonYes | kButtonNo | kButtonIgnore, kButtonNo};
    switch (prompter.message(soFar)) {
    case kButtonYes:
        return ReportCancel::StopAndPreview;
    case kButtonIgnore:
        return ReportCancel::GoOn;
    default:
        return ReportCancel::Stop;
    }
}

} // namespace tunarium
