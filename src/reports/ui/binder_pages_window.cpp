// The binder pages window.
#include "reports/ui/binder_pages_window.h"

#include "data/app_paths.h"
#include "reports/procedure_names.h"
#include "reports/ui/label_output.h"
#include "ui/ok_cancel_row.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr int kFileNumberWidth = 30;

} // namespace

BinderPagesWindow::BinderPagesWindow(const ProcedureContext& context)
    : FormWindow(QString::fromLatin1(procedure::kCdBinderPages), positionFilePath(context.db.collectionDir()),
                 windowCaller(context), {}),
      m_context(context) {
    setWindowTitle(QStringLiteral("CD Binder Pages"));
    auto* style = new QGroupBox(QStringLiteral("Page Style"));
    auto* styleRow = new QHBoxLayout(style);
    m_binder = new QRadioButton(QStringLiteral("Binder"));
    m_flap = new QRadioButton(QStringLiteral("Flap"));
    m_binder->setChecked(true);
    styleRow->addWidget(m_binder);
    styleRow->addWidget(m_flap);
    styleRow->addStretch();

    const bool selector = m_context.procedures.contains(QString::fromLatin1(procedure::kSelectAlbum));
    auto numberRow = [this, selector](QLineEdit*& edit, QPushButton*& lookup) {
        edit = new QLineEdit;
        edit->setMaxLength(kFileNumberWidth);
        lookup = new QPushButton(QStringLiteral("..."));
        lookup->setAutoDefault(false);
        lookup->setToolTip(QStringLiteral("Select an album and take its file number"));
        lookup->setEnabled(selector);
        QLineEdit* target = edit;
        connect(lookup, &QPushButton::clicked, this, [this, target] { lookUp(target); });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(lookup);
        return row;
    };
    auto* fields = new QFormLayout;
    auto addNumber = [&](const QString& caption, QLineEdit*& edit, QPushButton*& lookup) {
        QHBoxLayout* row = numberRow(edit, lookup);
        auto* label = new QLabel(caption);
        label->setBuddy(edit);
        fields->addRow(label, row);
    };
    addNumber(QStringLiteral("&Starting File Number:"), m_from, m_lookFrom);
    addNumber(QStringLiteral("&Ending File Number:"), m_to, m_lookTo);

    const OkCancelRow buttons =
        makeOkCancelRow(this, [this] { accept(); }, [this] { finish(Response::Cancelled); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(style);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

BinderPagesWindow* BinderPagesWindow::openBinderPages(const ProcedureContext& context) {
    auto* window = new BinderPagesWindow(context);
    window->resize(window->sizeHint());
    window->present(context.workspace);
    window->m_from->setFocus();
    return window;
}

BinderStyle BinderPagesWindow::style() const {
    return m_flap->isChecked() ? BinderStyle::Flap : BinderStyle::Binder;
}

void BinderPagesWindow::lookUp(QLineEdit* number) {
    ProcedureContext context = m_context.calledFrom(this);
    QPointer<QLineEdit> target(number);
    context.answer = [target](int response, const Row& chosen) {
        if (target && response == static_cast<int>(Response::Completed) &&
            chosen.tableId() == TableId::Album && chosen.size() > 0) {
            target->setText(trimTrailingBlanks(chosen.text(alb::kFileNumber)));
        }
    };
    m_context.procedures.start(QString::fromLatin1(procedure::kSelectAlbum), context);
}

void BinderPagesWindow::accept() {
    const BinderRange range{m_from->text(), m_to->text()};
    if (const QString problem = binderRangeProblem(range); !problem.isEmpty()) {
        m_context.prompter.message({windowTitle(), problem, PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_to->setFocus();
        m_to->selectAll();
        return;
    }
    const ProcedureContext context = m_context;
    const BinderStyle chosen = style();
    finish(Response::Completed);
    runBinderPages(context, chosen, range);
}

} // namespace tunarium
