// The chart process and the chart marker.
#include "playlists/playlist_chart.h"

#include "data/unlinked_write.h"
#include "playlists/playlist_entries.h"

namespace tunarium {

namespace {

constexpr int kNotesWidth = 40;
constexpr char kProcessView[] = "Process:View";

} // namespace

QString withoutChartMarker(const QString& notes) {
    const QString marker = QString::fromLatin1(kChartMarker);
    QString text = notes;
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at)) {
        qsizetype end = at + marker.size();
        while (end < text.size() && text[end].isDigit()) {
            ++end;
        }
        const qsizetype start = at > 0 && text[at - 1] == u' ' ? at - 1 : at;
        text.remove(start, end - start);
        at = start;
    }
    return trimTrailingBlanks(text);
}

qint64 chartMarkerPosition(const QString& notes) {
    const QString marker = QString::fromLatin1(kChartMarker);
    const qsizetype at = notes.lastIndexOf(marker);
    if (at < 0) {
        return 0;
    }
    qsizetype end = at + marker.size();
    while (end < notes.size() && notes[end].isDigit()) {
        ++end;
    }
    return notes.mid(at + marker.size(), end - at - marker.size()).toLongLong();
}

QString chartNotes(const QString& notes, qint64 position) {
    const QString marker =
        QStringLiteral(" ") + QString::fromLatin1(kChartMarker) + QString::number(position);
    return trimTrailingBlanks(withoutChartMarker(notes).left(kNotesWidth - marker.size())) + marker;
}

PromptMessage chartQuestion() {
    return {QStringLiteral("Warning"),
            QStringLiteral("This will copy the current chart standings into the notes field to be used as "
                           "\"last week's chart positions\"."),
            PromptIcon::Exclamation, kButtonOk | kButtonCancel, kButtonOk};
}

ChartProcess::ChartProcess(Database& db, qint64 playlistId)
    : Process(QStringLiteral("Processing Records"), QStringLiteral("Updating Chart"), kChartEntriesPerStep),
      m_db(db), m_playlistId(playlistId) {}

ChartProcess::~ChartProcess() {
    m_transaction.reset();
}

bool ChartProcess::begin() {
    m_tables = TableLease(m_db, {TableId::PlaylistDetails});
    if (!m_tables) {
        return false;
    }
    setProgress(0, kChartExpectedEntries);
    return readPage() && !m_page.isEmpty();
}

bool ChartProcess::readPage() {
    const qint64 after = m_page.isEmpty() ? 0 : m_page.back().playlistSeq;
    m_next = 0;
    if (StoreError e = PlaylistEntries(m_db, m_playlistId).read(after, kChartEntriesPerStep, m_page)) {
        m_page.clear();
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("PlaylistDetails"));
        return false;
    }
    return true;
}

bool ChartProcess::failed(const StoreError& error) {
    m_transaction.reset();
    m_db.warnings().report(warning::kProcessError, error, QString::fromLatin1(kProcessView),
                           QStringLiteral("Put"));
    stopAsCompleted();
    return false;
}

void ChartProcess::stepBegins() {
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        failed(m_transaction->beginError());
    }
}

void ChartProcess::stepEnds() {
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        failed(e);
    }
}

bool ChartProcess::handleNext() {
    if (!m_transaction || m_next >= m_page.size()) {
        return false;
    }
    PlaylistEntryRecord& entry = m_page[m_next];
    entry.playlistNotes = chartNotes(entry.playlistNotes, entry.playlistSeq);
    if (StoreError e = rewriteUnlinked(m_db.store(), entry)) {
        return failed(e);
    }
    ++m_charted;
    setProgress(m_charted, kChartExpectedEntries);
    if (++m_next < m_page.size()) {
        return true;
    }
    return m_page.size() == kChartEntriesPerStep && readPage() && !m_page.isEmpty();
}

void ChartProcess::end() {
    m_transaction.reset();
}

} // namespace tunarium
