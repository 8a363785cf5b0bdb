// The About window: the program's name, its version, and links to its guide and its folders.
#pragma once

#include <QWidget>

namespace tunarium {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow(const QString& versionText, const QString& collectionDir, QWidget* parent = nullptr);

signals:
    // The user followed the link to the user guide.
    void guideRequested();
};

} // namespace tunarium
