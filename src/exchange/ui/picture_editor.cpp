// The picture editor.
#include "exchange/ui/picture_editor.h"

#include "exchange/exchange_files.h"
#include "ui/ok_cancel_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tunarium {

PictureEditor::PictureEditor(const QString& picture, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_entry(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Enter Picture..."));
    setAttribute(Qt::WA_DeleteOnClose);
    m_entry->setMaxLength(30);
    m_entry->setText(picture.left(30));
    m_entry->selectAll();

    auto* label = new QLabel(QStringLiteral("Picture:"), this);
    label->setBuddy(m_entry);
    const OkCancelRow buttons =
        makeOkCancelRow(this, [this] { accept(); }, [this] { reject(); }, QStringLiteral("&Cancel"));

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_entry, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons.layout);
    m_entry->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
}

void PictureEditor::accept() {
    const QString picture = m_entry->text();
    if (const QString problem = pictureProblem(picture); !problem.isEmpty()) {
        PromptMessage invalid;
        invalid.caption = QStringLiteral("Invalid Picture!");
        invalid.text = problem;
        invalid.icon = PromptIcon::Information;
        m_prompter.message(invalid);
        m_entry->setFocus();
        m_entry->selectAll();
        return;
    }
    m_result = picture;
    QDialog::accept();
}

PictureEditor* editPicture(QWidget* parent, Prompter& prompter, const QString& picture,
                           std::function<void(const QString&)> done) {
    auto* editor = new PictureEditor(picture, prompter, parent);
    QObject::connect(editor, &QDialog::finished, editor, [editor, done = std::move(done)](int) {
        if (done) {
            done(editor->result());
        }
    });
    editor->setWindowModality(Qt::WindowModal);
    editor->open();
    return editor;
}

} // namespace tunarium
