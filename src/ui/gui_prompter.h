// The program's answers to core questions: message boxes, and the file, font and colour dialogs.
// The end of the program with a halt text shows the text and then ends the process.
#pragma once

#include "data/font_style.h"
#include "data/prompter.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tunarium {

class GuiPrompter : public Prompter {
public:
    // `endProgram` ends the process after a halt text was shown; by default the process exits at
    // once with status 1 (the tables were closed before the halt).
    explicit GuiPrompter(std::function<void()> endProgram = {});

    // The window the dialogs are shown over; none shows them on their own.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    int message(const PromptMessage& message) override;
    void halt(const QString& text) override;
    QString chooseOpenFile(const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFile(const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseFolder(const QString& caption, const QString& directory) override;
    QStringList chooseOpenFiles(const QString& caption, const QString& directory, const QString& filter) override;
    bool chooseFont(const QString& caption, FontChoice& font) override;
    bool chooseColour(int& colour) override;

private:
    QWidget* parent() const;
    QString chooseFile(const QString& caption, const QString& start, const QString& filter,
                       QFileDialog::AcceptMode mode);

    std::function<void()> m_endProgram;
    QPointer<QWidget> m_parent;
};

// The program's file dialog, not yet shown. It starts in `start` (a folder, or a file to
// propose), or where fileDialogFolder() says when `start` is empty or its folder is missing; it is Qt's own
// dialog and learns the kinds of files from their names alone, opening none of them (the collection file must
// be opened by SQLite alone). A chosen file's folder is remembered for the next dialog by the prompter.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption, const QString& start,
                                            const QString& filter, QFileDialog::AcceptMode mode);

// A filter as the program writes it ("Import Files|*.CSV|All Files|*.*") in the form of Qt's file
// dialogs ("Import Files (*.CSV);;All Files (*.*)").
QString qtFileFilter(const QString& filter);

// The font dialog's choice as a font and back, styles and colours in the settings' form
// (data/font_style.h).
QFont fontOf(const FontChoice& choice);
FontChoice fontChoiceOf(const QFont& font, int colour);

} // namespace tunarium
