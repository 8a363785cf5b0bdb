// The About window.
#include "shell/ui/about_window.h"

#include "data/app_paths.h"
#include "shell/startup.h"
#include "ui/ok_cancel_row.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tunarium {

namespace {

QString folderLink(const QString& caption, const QString& path) {
    return QStringLiteral("<a href=\"%1\">%2</a>: %3")
        .arg(QUrl::fromLocalFile(path).toString(), caption, path.toHtmlEscaped());
}

} // namespace

AboutWindow::AboutWindow(const QString& versionText, const QString& collectionDir, QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(tr("About Tunarium Pro 98"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* icon = new QLabel;
    icon->setPixmap(QPixmap(QStringLiteral(":/images/tunarium.png"))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(QString::fromLatin1(kProgramName)));
    auto* version = new QLabel(versionText);
    auto* purpose =
        new QLabel(tr("A database for your music collection: songs, albums, playlists, reports and labels."));
    purpose->setWordWrap(true);
    auto* links = new QLabel(QStringLiteral("<a href=\"guide:\">%1</a><br>%2<br>%3")
                                 .arg(tr("User guide"), folderLink(tr("Collection folder"), collectionDir),
                                      folderLink(tr("Settings folder"), configDir())));
    links->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(links, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link == QLatin1String("guide:")) {
            emit guideRequested();
        } else {
            QDesktopServices::openUrl(QUrl(link));
        }
    });

    auto* compileInfo = new QPushButton(tr("Compile Information"));
    connect(compileInfo, &QPushButton::clicked, this, &AboutWindow::compileInfoRequested);
    // OK closes the window, with the frame the workspace put around it.
    QPushButton* ok = makeOkButton(this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
    m_ok = ok;

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(purpose);
    text->addWidget(links);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(compileInfo);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttons);
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter || event->key() == Qt::Key_Escape) {
        m_ok->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tunarium
