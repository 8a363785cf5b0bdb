// The preview window's two small windows: "Jump to a Report Page" and "Change the Report Display".
// Both are window-modal over the preview and answer through their finished() signal.
#pragma once

#include <QDialog>

class QSpinBox;

namespace tunarium {

// A page from 1 to the page count; the current page when cancelled.
class JumpToPageDialog : public QDialog {
    Q_OBJECT
public:
    JumpToPageDialog(int current, int pageCount, const QString& tip, QWidget* parent);
    int page() const;

private:
    int m_current;
    QSpinBox* m_page;
};

// The thumbnails across and down.
class ReportDisplayDialog : public QDialog {
    Q_OBJECT
public:
    ReportDisplayDialog(int across, int down, int most, QWidget* parent);
    int across() const;
    int down() const;

private:
    QSpinBox* m_across;
    QSpinBox* m_down;
};

} // namespace tunarium
