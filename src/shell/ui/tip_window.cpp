// The tip of the day.
#include "shell/ui/tip_window.h"
#include "ui/ok_cancel_row.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// The bulb beside the heading.
QPixmap bulbPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 0), size / 24.0));
    p.setBrush(QColor(255, 214, 60));
    p.drawEllipse(QRectF(size * 0.2, size * 0.05, size * 0.6, size * 0.6));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(size * 0.36, size * 0.64, size * 0.28, size * 0.22));
    p.drawLine(QPointF(size * 0.36, size * 0.72), QPointF(size * 0.64, size * 0.72));
    p.drawLine(QPointF(size * 0.36, size * 0.79), QPointF(size * 0.64, size * 0.79));
    return picture;
}

} // namespace

TipWindow::TipWindow(const ProcedureContext& context)
    : QDialog(context.caller), m_context(context), m_cursor(context.db.store()), m_text(new QLabel),
      m_show(new QCheckBox(QStringLiteral("Show tip at startup"))) {
    setWindowTitle(QStringLiteral("Tip"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* bulb = new QLabel;
    bulb->setPixmap(bulbPicture(fontMetrics().height() * 3));
    auto* heading = new QLabel(QStringLiteral("Tunarium Pro Tip of the Day..."));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setObjectName(QStringLiteral("TipText"));
    m_text->setMinimumSize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 7);
    m_show->setChecked(context.settings.showTips());

    auto add = [this](const QString& caption, void (TipWindow::*slot)()) {
        auto* b = new QPushButton(caption);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        m_buttons << b;
        return b;
    };
    QPushButton* back = add(QStringLiteral("&Back"), &TipWindow::back);
    QPushButton* next = add(QStringLiteral("&Next"), &TipWindow::next);
    QPushButton* ok = add(okText(), &QDialog::accept);
    QPushButton* close = add(QStringLiteral("Cl&ose"), &QDialog::reject);
    ok->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(bulb, 0, Qt::AlignTop);
    auto* words = new QVBoxLayout;
    words->addWidget(heading);
    words->addWidget(m_text, 1);
    top->addLayout(words, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_show);
    buttons->addStretch();
    for (QPushButton* b : {back, next, ok, close}) {
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

TipWindow::~TipWindow() = default;

bool TipWindow::start() {
    m_table = TableLease(m_context.db, {TableId::TNRTips});
    if (!m_table) {
        return false;
    }
    if (!m_cursor.open(m_context.settings.tip())) {
        return false;
    }
    showTip();
    return true;
}

QString TipWindow::tipText() const {
    return m_text->text();
}

QPushButton* TipWindow::button(const QString& caption) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

void TipWindow::showTip() {
    m_text->setText(m_cursor.hasTip() ? m_cursor.tip().tip.trimmed() : QString());
}

void TipWindow::next() {
    m_cursor.next();
    showTip();
}

void TipWindow::back() {
    m_cursor.back();
    showTip();
}

void TipWindow::done(int result) {
    m_context.settings.writeSetting(u"ShowTips", QString::fromLatin1(m_show->isChecked() ? "1" : "0"));
    m_context.settings.writeSetting(u"Tip", m_cursor.number());
    m_context.settings.reload();
    QDialog::done(result);
}

void startTipOfTheDay(const ProcedureContext& context) {
    auto* window = new TipWindow(context);
    if (!window->start()) {
        // No tip to show: the window closes at once, keeping nothing.
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
        return;
    }
    window->show();
}

} // namespace tunarium
