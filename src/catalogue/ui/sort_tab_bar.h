// The sort-order tabs of a browse: the selected one in bold, its caption given room for the bold
// text (three spaces more, taken away again when another tab is selected).
#pragma once

#include <QStringList>
#include <QTabBar>

namespace tunarium {

class SortTabBar : public QTabBar {
public:
    explicit SortTabBar(const QStringList& captions, QWidget* parent = nullptr);

    // Selects tab `index` (kept within the tabs) without telling currentChanged: the tab a browse
    // opens on. Returns the tab selected.
    int selectQuietly(int index);

private:
    void widen(int index);

    int m_widened = -1;
};

} // namespace tunarium
