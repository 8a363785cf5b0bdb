// "Enter Picture...": edits the picture an import field is read through or an export field is
// written through. It opens window-modal over its caller and answers through a callback.
#pragma once

#include "data/prompter.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace tunarium {

class PictureEditor : public QDialog {
    Q_OBJECT
public:
    PictureEditor(const QString& picture, Prompter& prompter, QWidget* parent);

    QLineEdit* entry() const { return m_entry; }
    // The accepted picture; blank when the editor was cancelled or closed.
    QString result() const { return m_result; }

    void accept() override;

private:
    Prompter& m_prompter;
    QLineEdit* m_entry;
    QString m_result;
};

// Opens the editor on `picture`; `done` gets the new picture, or a blank string on cancel.
PictureEditor* editPicture(QWidget* parent, Prompter& prompter, const QString& picture,
                           std::function<void(const QString&)> done);

} // namespace tunarium
