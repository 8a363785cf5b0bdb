// The CD reader.
#include "albums/cd_reader.h"

#include "albums/disc_ids.h"
#include "data/date_time.h"

#include <algorithm>

namespace tunarium {

namespace {

// The command goes out through a C string of 100 bytes and the reply comes back in one of 128.
constexpr int kCommandChars = 99;
constexpr int kReplyChars = 127;
constexpr int kIdentifierChars = 24;

QString clipped(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') {
        --end;
    }
    return text.left(end);
}

} // namespace

QString MciSender::sendMCI(const QString& command) {
    const QString sent = command.left(kCommandChars);
    QString reply;
    const int code = m_device.sendString(sent, reply);
    reply.truncate(kReplyChars);
    if (code == mci::kOk) {
        if (reply == QLatin1String("true")) {
            return QStringLiteral("1");
        }
        return reply == QLatin1String("false") ? QString() : reply;
    }
    if (code == mci::kDeviceOpen) {
        return QStringLiteral("Error:1");
    }
    const QString codeText = QString::number(code);
    if (m_log != nullptr) {
        m_log->append(u"MCI Request", sent);
        m_log->append(u"MCI Return", reply);
        m_log->append(u"MCI Error", codeText);
    }
    return QStringLiteral("Error:") + codeText;
}

CdReader::CdReader(MciDevice& device, Prompter& prompter, EventLog* log, AlbumRecord& album,
                   bool identifyOnly, bool fillWizard)
    : m_mci(device, log), m_prompter(prompter), m_album(album), m_identifyOnly(identifyOnly),
      m_fillWizard(fillWizard) {
    m_progress.title = QStringLiteral("Progress...");
}

CdReader::~CdReader() {
    if (m_driveOpen) {
        close();
    }
}

CdReader::Destination CdReader::destination() const {
    if (m_fillWizard) {
        return Destination::WizardRows;
    }
    return !m_identifyOnly && m_album.albumId != 0 ? Destination::AlbumSongs : Destination::None;
}

bool CdReader::readCD() {
    while (step()) {
    }
    return succeeded();
}

bool CdReader::start() {
    if (m_state != State::Ready) {
        return m_state == State::Reading;
    }
    m_state = State::Reading;
    m_albumBefore = m_album;
    m_progress = {};
    m_progress.title = QStringLiteral("Progress...");
    return openDrive() && identify();
}

bool CdReader::openDrive() {
    m_driveOpen = true;
    const int device = m_mci.sendMCI(QStringLiteral("open cdaudio shareable")).toInt();
    if (device != 1 && device != 2) {
        fail(kCdNotAvailable);
        return false;
    }
    if (m_mci.sendMCI(QStringLiteral("status cdaudio ready")) != QLatin1String("1")) {
        fail(kCdNotReady);
        return false;
    }
    if (m_mci.sendMCI() == QLatin1String("open")) {
        fail(kCdDoorOpen);
        return false;
    }
    m_progress.shown = true;
    m_progress.statusLine = QStringLiteral("Serial Number");
    m_progress.title = QStringLiteral("Reading CD");
    m_progress.otherLine.clear();
    return true;
}

bool CdReader::identify() {
    QString reply;
    m_mci.sendMCI(QStringLiteral("set cdaudio time format tmsf"));
    if (!ask(QStringLiteral("status cdaudio number of tracks"), reply)) {
        return false;
    }
    m_tracks = std::clamp(reply.trimmed().toInt(), 0, kMaxDiscTracks);

    // The count, then the lengths of the disc and of its first three tracks (track 1 is asked for
    // even on an empty disc), the whole cut at 24 characters.
    QString identifier = QStringLiteral("%1").arg(m_tracks, 2);
    QStringList lengths{QStringLiteral("status cdaudio length"),
                        QStringLiteral("status cdaudio length track 1")};
    for (int track = 2; track <= std::min(3, m_tracks); ++track) {
        lengths << QStringLiteral("status cdaudio length track %1").arg(track);
    }
    for (const QString& command : lengths) {
        if (!ask(command, reply)) {
            return false;
        }
        identifier = (clipped(identifier) + QString::number(parseTrackTime(reply))).left(kIdentifierChars);
    }

    m_positions.clear();
    m_mci.sendMCI(QStringLiteral("set cdaudio time format msf"));
    for (int track = 1; track <= m_tracks; ++track) {
        TrackPosition position;
        if (!ask(QStringLiteral("status cdaudio position track %1").arg(track), reply)) {
            return false;
        }
        position.start = framesFromMsf(reply);
        if (!ask(QStringLiteral("status cdaudio length track %1").arg(track), reply)) {
            return false;
        }
        position.length = framesFromMsf(reply);
        m_positions << position;
    }
    // Data tracks at the end (an Enhanced CD) are no part of the MusicBrainz disc ID.
    m_dataTracks = QVector<bool>(m_tracks, false);
    for (int track = m_tracks; track >= 1; --track) {
        if (!ask(QStringLiteral("status cdaudio type track %1").arg(track), reply)) {
            return false;
        }
        if (reply != QLatin1String("other")) {
            break;
        }
        m_dataTracks[track - 1] = true;
    }

    m_album.cdIdentifier = identifier;
    m_album.xccd = computeCDDBNumber(m_positions, m_album.totalTime);
    if (!m_positions.isEmpty()) {
        DiscToc toc;
        for (const TrackPosition& p : m_positions) {
            toc.offsets << p.start;
        }
        toc.leadout = m_positions.last().start + m_positions.last().length + 1;
        toc.dataTracks = m_dataTracks;
        m_musicBrainzId = discIdsOf(toc).musicBrainz;
        m_toc = toc;
    }

    m_mci.sendMCI(QStringLiteral("set cdaudio time format tmsf"));
    if (m_identifyOnly && !m_fillWizard) {
        close();
        m_state = State::Completed;
        return false;
    }
    countStep();
    return true;
}

bool CdReader::step() {
    if (m_state == State::Ready) {
        return start();
    }
    if (m_state != State::Reading) {
        return false;
    }
    if (m_nextTrack == 1) {
        m_times.clear();
        m_mci.sendMCI(QStringLiteral("set cdaudio time format tmsf"));
    }
    if (m_nextTrack <= m_tracks) {
        const int track = m_nextTrack++;
        m_progress.statusLine = QStringLiteral("Track %1 of %2").arg(track).arg(m_tracks);
        QString reply;
        if (!ask(QStringLiteral("status cdaudio length track %1").arg(track), reply)) {
            return false;
        }
        m_times << CdTrackTime{track, parseTrackTime(reply)};
        countStep();
    }
    if (m_nextTrack > m_tracks) {
        finishRead();
        return false;
    }
    return true;
}

void CdReader::finishRead() {
    QString reply;
    if (!ask(QStringLiteral("status cdaudio length"), reply)) {
        return;
    }
    m_album.totalTime = parseTrackTime(reply);
    correctEnhancedCd();
    close();
    m_state = State::Completed;
}

void CdReader::correctEnhancedCd() {
    // The figure is the sum of the track lengths: on a disc whose drive reports every track as
    // running to the end of the disc it reaches far beyond what a disc can hold. A disc that
    // really plays that long has lengths that add up to its own length (each track may lose a
    // second to rounding) and keeps them; so does one whose lengths do not shrink track by
    // track, which subtracting would make negative.
    QVector<qint64> hundredths;
    qint64 figure = 0;
    for (const CdTrackTime& t : m_times) {
        hundredths << hundredthsFromTimeValue(t.length);
        figure += hundredths.last();
    }
    if (m_times.size() < 2 || timeValueFromHundredths(figure) < kEnhancedCdFigure ||
        figure <= hundredthsFromTimeValue(m_album.totalTime) + 100 * hundredths.size()) {
        return;
    }
    for (qsizetype i = 0; i + 1 < hundredths.size(); ++i) {
        if (hundredths[i] <= hundredths[i + 1]) {
            return;
        }
    }
    m_progress.statusLine = QStringLiteral("Enhanced CD Detected");
    for (qsizetype i = 0; i + 1 < m_times.size(); ++i) {
        m_times[i].length = timeValueFromHundredths(hundredths[i] - hundredths[i + 1]);
    }
    m_enhancedCd = true;
}

bool CdReader::ask(const QString& command, QString& reply) {
    reply = m_mci.sendMCI(command);
    if (reply.startsWith(QLatin1String("Error:")) && mci::isDriveLost(reply.mid(6).toInt())) {
        fail(kCdNotReady);
        return false;
    }
    return true;
}

void CdReader::cancel() {
    if (finished()) {
        return;
    }
    if (m_state == State::Ready) {
        m_albumBefore = m_album;
    }
    if (m_driveOpen) {
        close();
    }
    dropRead();
}

void CdReader::fail(const char* message) {
    QString text = QString::fromLatin1(message);
    const QString detail = m_mci.device().problem();
    if (!detail.isEmpty()) {
        text += QStringLiteral("\n\n") + detail;
    }
    m_prompter.message({QStringLiteral("Error"), text, PromptIcon::Stop, kButtonOk, kButtonOk});
    close();
    dropRead();
}

void CdReader::dropRead() {
    m_album.cdIdentifier = m_albumBefore.cdIdentifier;
    m_album.xccd = m_albumBefore.xccd;
    m_album.totalTime = m_albumBefore.totalTime;
    m_tracks = 0;
    m_positions.clear();
    m_dataTracks.clear();
    m_times.clear();
    m_musicBrainzId.clear();
    m_toc = DiscToc{};
    m_state = State::Failed;
}

void CdReader::close() {
    m_mci.sendMCI(QStringLiteral("close cdaudio"));
    m_driveOpen = false;
    m_progress.shown = false;
}

void CdReader::countStep() {
    ++m_progress.steps;
    if (m_progress.percent < 100) {
        m_progress.percent = std::min(100, m_progress.steps * 100 / CdReadProgress::kTotalSteps);
    }
}

} // namespace tunarium
