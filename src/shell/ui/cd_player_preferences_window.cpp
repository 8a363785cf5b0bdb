// The CD player preferences.
#include "shell/ui/cd_player_preferences_window.h"

#include "data/settings.h"
#include "ui/ok_cancel_row.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tunarium {

const QVector<int>& cdTimerChoices() {
    static const QVector<int> choices = {100, 150, 200, 250, 300, 500, 1000, 0};
    return choices;
}

CdPlayerPreferencesWindow::CdPlayerPreferencesWindow(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_choices(new QComboBox) {
    setWindowTitle(QStringLiteral("CD Player Preferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    for (int hundredths : cdTimerChoices()) {
        m_choices->addItem(hundredths == 0 ? QStringLiteral("Do Not Check") : QString::number(hundredths),
                           hundredths);
    }
    // A value of the file that is none of the choices shows none of them until one is chosen.
    m_choices->setCurrentIndex(m_choices->findData(settings.cdTimer()));
    auto* label = new QLabel(QStringLiteral("Check CD Status Every n 100ths of a Second"));
    label->setBuddy(m_choices);
    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { reject(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_choices);
    layout->addLayout(buttons.layout);
}

void CdPlayerPreferencesWindow::accept() {
    if (m_choices->currentIndex() >= 0) {
        m_settings.writeSetting(u"CDTimer", static_cast<qint64>(m_choices->currentData().toInt()));
        m_settings.reload();
    }
    QDialog::accept();
}

} // namespace tunarium
