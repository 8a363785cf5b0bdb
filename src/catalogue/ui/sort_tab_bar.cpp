// The sort-order tabs with the selected one in bold.
#include "catalogue/ui/sort_tab_bar.h"

namespace tunarium {

namespace {

const QString kRoom = QStringLiteral("   ");

} // namespace

SortTabBar::SortTabBar(const QStringList& captions, QWidget* parent) : QTabBar(parent) {
    setStyleSheet(QStringLiteral("QTabBar::tab:selected { font-weight: bold; }"));
    for (const QString& caption : captions) {
        addTab(caption);
    }
    // Connected first: the caption has its room before anyone else hears of the change.
    connect(this, &QTabBar::currentChanged, this, [this](int index) { widen(index); });
}

int SortTabBar::selectQuietly(int index) {
    const int tab = std::clamp(index, 0, count() - 1);
    const QSignalBlocker block(this);
    setCurrentIndex(tab);
    widen(tab);
    return tab;
}

void SortTabBar::widen(int index) {
    if (m_widened >= 0 && m_widened < count()) {
        QString previous = tabText(m_widened);
        while (previous.endsWith(u' ')) {
            previous.chop(1);
        }
        setTabText(m_widened, previous);
    }
    if (index >= 0 && index < count()) {
        setTabText(index, tabText(index) + kRoom);
    }
    m_widened = index;
}

} // namespace tunarium
