// The report engine's walk, page flow, groups and totals.
#include "reports/report_process.h"

#include "data/date_time.h"

namespace tunarium {

namespace {

constexpr int kRecordsPerStep = 25;

} // namespace

bool ReportSelection::matches(const QString& value) const {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    if (end == 0) {
        return true;
    }
    return value.toUpper().startsWith(QStringView(text).left(end).toString().toUpper());
}

ReportProcess::ReportProcess(QString title, ReportDefinition definition, ReportRecordSource& source,
                             PageSink& sink, const QPageLayout& layout, ReportSelection selection,
                             QDateTime noted)
    : Process(std::move(title), QString(), kRecordsPerStep), m_def(std::move(definition)), m_source(source),
      m_sink(sink), m_layout(layout), m_selection(std::move(selection)),
      m_noted(noted.isValid() ? noted : QDateTime::currentDateTime()) {}

ReportProcess::~ReportProcess() = default;

void ReportProcess::fail(const QString& message) {
    if (m_error.isEmpty()) {
        m_error = message.isEmpty() ? QStringLiteral("The report could not be completed.") : message;
    }
}

bool ReportProcess::resolveFields() {
    auto resolve = [this](const QString& name) {
        const int index = m_source.fieldIndex(name);
        if (index < 0) {
            fail(QStringLiteral("The report has no field %1.").arg(name));
        }
        return index;
    };
    for (const ReportColumn& column : m_def.columns) {
        m_columnFields.push_back(resolve(column.field));
    }
    if (m_def.group) {
        m_groupField = resolve(m_def.group->field);
    }
    for (const ReportTotal& total : m_def.totals) {
        m_totalFields.push_back(total.kind == ReportTotal::Kind::Count ? -1 : resolve(total.field));
        m_totals.push_back(0);
    }
    if (m_selection.selected && !m_def.selectionField.isEmpty()) {
        m_selectionField = resolve(m_def.selectionField);
    }
    return !failed();
}

bool ReportProcess::begin() {
    if (!resolveFields()) {
        return false;
    }
    setProgress(0, m_source.total());
    if (!m_source.first()) {
        if (!m_source.error().isEmpty()) {
            fail(m_source.error());
        }
        return false;
    }
    return true;
}

void ReportProcess::prepare() {
    m_prepared = true;
    if (m_prepare) {
        m_prepare(m_def);
    }
    m_bands = std::make_unique<ReportBands>(m_def, m_layout, m_noted);
    m_pictures.clear();
    for (const ReportColumn& column : m_def.columns) {
        m_pictures.push_back(Picture::parse(column.picture));
    }
    if (m_def.group) {
        m_groupPicture = Picture::parse(m_def.group->picture);
    }
    m_cells = QList<QString>(m_def.columns.size());
    if (m_def.pageOfPages) {
        m_stamped = m_sink.setStamp(m_bands->footer());
        if (!m_stamped) {
            fail(QStringLiteral("Pages numbered with the page count must be kept in a page queue first."));
        }
    }
}

bool ReportProcess::handleNext() {
    ++m_read;
    setProgress(m_read, m_source.total());
    if (m_source.passes()) {
        if (!m_prepared) {
            prepare();
        }
        const bool chosen =
            m_selectionField < 0 || m_selection.matches(m_source.value(m_selectionField).toString());
        if (failed() || (chosen && !printRecord())) {
            return false;
        }
    }
    if (!m_source.next()) {
        if (!m_source.error().isEmpty()) {
            fail(m_source.error());
        }
        return false;
    }
    return true;
}

bool ReportProcess::printRecord() {
    for (int c = 0; c < m_cells.size(); ++c) {
        m_cells[c] = m_pictures[c].format(m_source.value(m_columnFields[c]));
    }
    const LaidDetail detail = m_bands->layOutDetail(m_cells);
    if (m_groupField >= 0) {
        const QString group = m_groupPicture.format(m_source.value(m_groupField));
        if (!m_group || *m_group != group) {
            // A new group's heading does not repeat the last one's on a new page, and it is not
            // left alone at the bottom of a page.
            m_group.reset();
            if (!ensureRoom(m_bands->groupHeight() + detail.height)) {
                return false;
            }
            m_group = group;
            m_bands->paintGroup(*m_painter, m_y, group);
            m_y += m_bands->groupHeight();
            ++m_bandsOnPage;
        }
    }
    if (!ensureRoom(detail.height)) {
        return false;
    }
    m_bands->paintDetail(*m_painter, m_y, detail);
    m_y += detail.height;
    ++m_bandsOnPage;
    ++m_printed;
    addToTotals();
    return true;
}

bool ReportProcess::ensureRoom(double height) {
    if (!m_painter) {
        return openPage();
    }
    // A page takes at least one band, however tall, so the report always moves on.
    if (m_y + height <= m_bands->bodyBottom() || m_bandsOnPage == 0) {
        return true;
    }
    return closePage() && openPage();
}

bool ReportProcess::openPage() {
    m_painter = m_sink.beginPage();
    if (!m_painter) {
        fail(m_sink.error());
        return false;
    }
    ++m_page;
    m_bandsOnPage = 0;
    m_bands->paintPageHeader(*m_painter);
    m_y = m_bands->bodyTop();
    if (m_group) {
        m_bands->paintGroup(*m_painter, m_y, *m_group);
        m_y += m_bands->groupHeight();
    }
    return true;
}

bool ReportProcess::closePage() {
    if (!m_stamped) {
        m_bands->footer().paint(*m_painter, m_page);
    }
    m_painter = nullptr;
    if (!m_sink.endPage()) {
        fail(m_sink.error());
        return false;
    }
    return true;
}

void ReportProcess::addToTotals() {
    for (std::size_t t = 0; t < m_totals.size(); ++t) {
        switch (m_def.totals[static_cast<int>(t)].kind) {
        case ReportTotal::Kind::Count:
            ++m_totals[t];
            break;
        case ReportTotal::Kind::Sum:
            m_totals[t] += m_source.value(m_totalFields[t]).toLongLong();
            break;
        case ReportTotal::Kind::Duration:
            m_totals[t] += hundredthsFromTimeValue(m_source.value(m_totalFields[t]).toLongLong());
            break;
        }
    }
}

QList<QString> ReportProcess::totalTexts() const {
    QList<QString> texts;
    for (std::size_t t = 0; t < m_totals.size(); ++t) {
        const ReportTotal& total = m_def.totals[static_cast<int>(t)];
        if (total.kind == ReportTotal::Kind::Duration) {
            const QString picture = total.picture.isEmpty() ? QStringLiteral("@t4") : total.picture;
            texts << formatPicture(timeValueFromHundredths(m_totals[t]), picture);
        } else {
            texts << formatPicture(m_totals[t], total.picture);
        }
    }
    return texts;
}

void ReportProcess::end() {
    if (completed() && !failed() && m_printed > 0 && !m_def.totals.isEmpty() &&
        ensureRoom(m_bands->closingHeight())) {
        m_bands->paintClosing(*m_painter, m_y, totalTexts());
        m_y += m_bands->closingHeight();
    }
    if (m_painter) {
        closePage();
    }
    const bool keep = completed() && !failed() && m_printed > 0;
    const bool finished = m_sink.finish(keep);
    if (keep && !finished) {
        fail(m_sink.error());
    }
    m_kept = keep && finished;
}

} // namespace tunarium
