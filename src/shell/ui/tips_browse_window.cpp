// The tip editor's browse and form.
#include "shell/ui/tips_browse_window.h"
#include "ui/ok_cancel_row.h"

#include "data/key_walk.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// The list shows a tip as `@s255` does: its first 255 characters.
constexpr int kShownLength = 255;

} // namespace

TipFormWindow::TipFormWindow(Database& db, const TipRecord& tip, bool insert, QWidget* parent)
    : QDialog(parent), m_db(db), m_tip(tip), m_insert(insert), m_text(new QPlainTextEdit(tip.tip)) {
    setWindowTitle(insert ? QStringLiteral("Add Tip") : QStringLiteral("Change Tip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    // A tip holds 1024 characters: typing or pasting more is cut there.
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_text->toPlainText();
        if (text.size() > kTipLength) {
            m_text->setPlainText(text.left(kTipLength));
            m_text->moveCursor(QTextCursor::End);
        }
    });
    const OkCancelRow buttons =
        makeOkCancelRow(this, [this] { ok(); }, [this] { reject(); }, QStringLiteral("&Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons.layout);
    resize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 14);
}

void TipFormWindow::ok() {
    const QString text = m_text->toPlainText().left(kTipLength);
    TipEditing editing(m_db);
    if (m_insert) {
        m_tip.tip = text;
        if (editing.insert(m_tip)) {
            accept();
        }
        return;
    }
    if (text == m_tip.tip) {
        accept(); // nothing changed
        return;
    }
    TipRecord changed = m_tip;
    changed.tip = text;
    switch (editing.change(changed)) {
    case TipEditing::Saved::Written:
        m_tip = changed;
        accept();
        break;
    case TipEditing::Saved::Discarded:
        reject();
        break;
    case TipEditing::Saved::Stay:
        break;
    }
}

TipsBrowseWindow::TipsBrowseWindow(const ProcedureContext& context)
    : QDialog(context.caller), m_context(context), m_list(new QTableWidget(0, 1)) {
    setWindowTitle(QStringLiteral("Tips"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Tip")});
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { change(); });
    auto add = [this](const QString& caption, void (TipsBrowseWindow::*slot)()) {
        auto* b = new QPushButton(caption);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        m_buttons << b;
        return b;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add(QStringLiteral("&Add"), &TipsBrowseWindow::add));
    buttons->addWidget(add(QStringLiteral("&Change"), &TipsBrowseWindow::change));
    buttons->addWidget(add(QStringLiteral("&Delete"), &TipsBrowseWindow::remove));
    buttons->addWidget(add(QStringLiteral("Cl&ose"), &QDialog::reject));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 20);
}

TipsBrowseWindow::~TipsBrowseWindow() = default;

bool TipsBrowseWindow::start() {
    m_table = TableLease(m_context.db, {TableId::TNRTips});
    if (!m_table) {
        return false;
    }
    refresh();
    return true;
}

QPushButton* TipsBrowseWindow::button(const QString& caption) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

void TipsBrowseWindow::refresh(qint64 selectId) {
    m_tips.clear();
    // The tips table stays small: it is read whole, in number order.
    (void)KeyWalk(m_context.db.store(), TableId::TNRTips, tip::kKeyId).forEach([this](const Row& row) {
        m_tips << fromRow<TipRecord>(row);
        return true;
    });
    m_list->setRowCount(static_cast<int>(m_tips.size()));
    int chosen = m_tips.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_tips.size(); ++i) {
        QString shown = m_tips[i].tip.simplified();
        m_list->setItem(i, 0, new QTableWidgetItem(shown.left(kShownLength)));
        if (m_tips[i].id == selectId) {
            chosen = i;
        }
    }
    if (chosen >= 0) {
        m_list->selectRow(chosen);
    }
    for (const QString& caption : {QStringLiteral("&Change"), QStringLiteral("&Delete")}) {
        button(caption)->setEnabled(!m_tips.isEmpty());
    }
}

std::optional<TipRecord> TipsBrowseWindow::selected() const {
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_tips.size()) {
        return std::nullopt;
    }
    return m_tips[row];
}

void TipsBrowseWindow::openForm(const TipRecord& tip, bool insert) {
    if (m_form) {
        return;
    }
    m_form = new TipFormWindow(m_context.db, tip, insert, this);
    TipFormWindow* form = m_form;
    connect(form, &QDialog::accepted, this, [this, form] { refresh(form->tip().id); });
    // The form is gone for this window once it closes, before it is deleted.
    connect(form, &QDialog::finished, this, [this] { m_form.clear(); });
    m_form->open();
}

void TipsBrowseWindow::add() {
    openForm(TipRecord{}, true);
}

void TipsBrowseWindow::change() {
    if (const std::optional<TipRecord> tip = selected()) {
        openForm(*tip, false);
    }
}

void TipsBrowseWindow::remove() {
    if (const std::optional<TipRecord> tip = selected()) {
        const int row = m_list->currentRow();
        if (TipEditing(m_context.db).remove(*tip)) {
            refresh(row + 1 < m_tips.size() ? m_tips[row + 1].id : 0);
        }
    }
}

void startTipEditor(const ProcedureContext& context) {
    auto* window = new TipsBrowseWindow(context);
    if (!window->start()) {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
        return;
    }
    window->show();
}

} // namespace tunarium
