// The splash window shown when the frame opens: the program's picture, name and version. It closes
// by itself after a few seconds, or when the frame asks it to.
#pragma once

#include <QWidget>

namespace tunarium {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    inline static constexpr int kShowMs = 3000;

    SplashWindow(const QString& versionText, QWidget* parent = nullptr);

signals:
    // The window closed, by itself or when asked.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tunarium
