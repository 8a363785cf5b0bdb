// The About window: the program's name, its version, and links to its guide and its folders.
#pragma once

#include <QWidget>

class QPushButton;

namespace tunarium {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow(const QString& versionText, const QString& collectionDir, QWidget* parent = nullptr);

    QPushButton* okButton() const { return m_ok; }

signals:
    // The user followed the link to the user guide.
    void guideRequested();
    // The user asked for the compile information.
    void compileInfoRequested();

protected:
    // Enter presses OK, the default button; Esc closes as well.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* m_ok = nullptr;
};

} // namespace tunarium
