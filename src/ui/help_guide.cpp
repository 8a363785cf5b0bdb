// The user guide's topics and search.
#include "ui/help_guide.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>

// Resource initialisation must be called outside any namespace.
static void initHelpResourcesOnce() {
    Q_INIT_RESOURCE(help);
}

namespace tunarium {

void initHelpResources() {
    static const bool done = [] {
        initHelpResourcesOnce();
        return true;
    }();
    (void)done;
}

QUrl helpGuideUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

const QVector<HelpTopic>& helpTopics() {
    static const QVector<HelpTopic> topics = {
        {"index.html", "Contents"},
        {"getting_started.html", "Getting started"},
        {"main_window.html", "The main window"},
        {"songs.html", "Songs"},
        {"albums.html", "Albums and the CD wizards"},
        {"categories_media.html", "Categories and media formats"},
        {"playlists.html", "Playlists and charts"},
        {"import_export.html", "Import, export and album entries"},
        {"reports.html", "Reports, labels and binder pages"},
        {"preferences.html", "Preferences and the setup wizard"},
        {"maintenance.html", "The File Manager"},
        {"files.html", "Where the program keeps its files"},
        {kHowToUseHelpPage, "How to Use Help"},
    };
    return topics;
}

QString helpTopicText(const QString& page) {
    initHelpResources();
    static QHash<QString, QString> cache;
    const auto it = cache.constFind(page);
    if (it != cache.constEnd()) {
        return *it;
    }
    QFile file(QStringLiteral(":/help/") + page);
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        text = document.toPlainText();
    }
    cache.insert(page, text);
    return text;
}

QVector<HelpTopic> searchHelp(const QString& query) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = query.split(blanks, Qt::SkipEmptyParts);
    QVector<HelpTopic> found;
    if (words.isEmpty()) {
        return found;
    }
    for (const HelpTopic& topic : helpTopics()) {
        const QString text = helpTopicText(topic.page);
        const bool all = std::all_of(words.begin(), words.end(), [&text](const QString& w) {
            return text.contains(w, Qt::CaseInsensitive);
        });
        if (all) {
            found << topic;
        }
    }
    return found;
}

} // namespace tunarium
