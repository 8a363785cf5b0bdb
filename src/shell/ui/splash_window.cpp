// The splash window.
#include "shell/ui/splash_window.h"

#include "shell/startup.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

SplashWindow::SplashWindow(const QString& versionText, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kProgramName));
    setStyleSheet(QStringLiteral("QWidget { background: #1d3f73; color: #f4f7fb; }"));

    auto* picture = new QLabel;
    picture->setPixmap(QPixmap(QStringLiteral(":/images/tunarium.png"))
                           .scaled(128, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("<h1>%1</h1>").arg(QString::fromLatin1(kProgramName)));
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(versionText);
    version->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(version);

    QTimer::singleShot(kShowMs, this, &QWidget::close);
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    close();
}

} // namespace tunarium
