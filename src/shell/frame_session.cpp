// The frame's tables, media seeding, version, settings and album question.
#include "shell/frame_session.h"

#include "shell/media_seeding.h"
#include "shell/startup.h"

#include <QRegularExpression>

namespace tunarium {

namespace {

constexpr TableId kFrameTables[] = {TableId::Album, TableId::Media, TableId::Tunarium};
constexpr double kAlbumTableVersion = 50.1;

} // namespace

FrameSession::FrameSession(Database& db, Settings& settings) : m_db(db), m_settings(settings) {}

FrameSession::~FrameSession() {
    close();
}

bool FrameSession::open() {
    if (m_tables) {
        return true;
    }
    m_tables = TableLease(m_db, kFrameTables);
    if (!m_tables) {
        return false;
    }
    m_seeded = seedMedia(m_db.store());
    m_frameLogo = m_settings.frameLogo();
    m_previousVersion = m_settings.version();
    m_settings.writeGlobalSetting(u"Version", QString::fromLatin1(kProgramVersion));
    m_settings.reload();
    return true;
}

void FrameSession::close() {
    m_tables.release();
}

QString FrameSession::versionText() const {
    return QStringLiteral("Version ") + QString::fromLatin1(kProgramVersion);
}

bool FrameSession::albumQuestionApplies() {
    Store& store = m_db.store();
    return m_tables && store.count(TableId::Album) == 0 && store.count(TableId::Tunarium) > 0 &&
           versionNumber(m_previousVersion) < kAlbumTableVersion;
}

bool FrameSession::askAlbumQuestion(Prompter& prompter) const {
    PromptMessage m;
    m.caption = QStringLiteral("Album Database Empty");
    m.text =
        QStringLiteral("Do you want to copy your album information from the general music database into the "
                       "album database? (Recommended)");
    m.icon = PromptIcon::Question;
    m.buttons = kButtonYes | kButtonNo;
    m.defaultButton = kButtonYes;
    return prompter.message(m) == kButtonYes;
}

void FrameSession::rememberAlbumEntries() const {
    m_settings.writeSetting(u"AutoAddToAlbums", QStringLiteral("1"));
}

std::optional<QString> FrameSession::logoFile() const {
    std::optional<QString> file;
    for (const QString& candidate : {m_frameLogo, m_settings.logo(), m_settings.mainLogo()}) {
        if (!candidate.trimmed().isEmpty()) {
            file = candidate.trimmed();
        }
    }
    return file;
}

double versionNumber(const QString& version) {
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = leading.match(version);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

} // namespace tunarium
