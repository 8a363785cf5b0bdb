// The program's user guide, shipped inside the program: its topics in contents order and the
// search over their text.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVector>

namespace tunarium {

struct HelpTopic {
    QString page; // file name within the guide ("songs.html")
    QString title;
};

// Makes the guide's pages available (resources of a static library).
void initHelpResources();

// The guide that the help file name stands for.
QUrl helpGuideUrl(const QString& page = QStringLiteral("index.html"));
const QVector<HelpTopic>& helpTopics();
// The plain text of a topic.
QString helpTopicText(const QString& page);
// Topics whose text holds every word of `query`, without regard to case, in contents order.
QVector<HelpTopic> searchHelp(const QString& query);

inline constexpr char kHowToUseHelpPage[] = "using_help.html";

} // namespace tunarium
