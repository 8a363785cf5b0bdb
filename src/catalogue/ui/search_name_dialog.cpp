// The name dialog of saved searches.
#include "catalogue/ui/search_name_dialog.h"

#include "catalogue/saved_search.h"
#include "ui/ok_cancel_row.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tunarium {

SearchNameDialog::SearchNameDialog(QWidget* parent, const QString& title, const QString& name,
                                   std::function<void(const QString&)> chosen)
    : QDialog(parent), m_chosen(std::move(chosen)) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_name = new QLineEdit(name);
    m_name->setMaxLength(kSavedSearchNameWidth);
    m_name->selectAll();
    auto* prompt = new QLabel(QStringLiteral("&Name:"));
    prompt->setBuddy(m_name);
    m_problem = new QLabel;
    m_problem->hide();
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    m_problem->setPalette(palette);
    const OkCancelRow row = makeOkCancelRow(this, [this] { accept(); }, [this] { reject(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_name);
    layout->addWidget(m_problem);
    layout->addLayout(row.layout);
    setMinimumWidth(fontMetrics().averageCharWidth() * (kSavedSearchNameWidth + 6));
}

SearchNameDialog* SearchNameDialog::ask(QWidget* parent, const QString& title, const QString& name,
                                        std::function<void(const QString&)> chosen) {
    auto* dialog = new SearchNameDialog(parent, title, name, std::move(chosen));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
    dialog->m_name->setFocus(Qt::OtherFocusReason);
    return dialog;
}

QString SearchNameDialog::problem() const {
    return m_problem->isVisible() ? m_problem->text() : QString();
}

void SearchNameDialog::accept() {
    const QString name = m_name->text();
    if (const QString problem = savedSearchNameProblem(name); !problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->show();
        m_name->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The answer may open a message box over the parent: the dialog is out of the way first.
    auto chosen = std::move(m_chosen);
    QDialog::accept();
    if (chosen) {
        chosen(name.trimmed());
    }
}

} // namespace tunarium
