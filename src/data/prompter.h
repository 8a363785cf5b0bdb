// The one way core code asks the user something: a message box with caption, text, icon, buttons
// and default button; a file, font or colour choice; and the end of the program with a halt text.
// The program answers with dialogs, the command line from its flags or the terminal, tests with
// scripted answers.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium {

enum class PromptIcon { None, Stop, Question, Exclamation, Information };

enum PromptButton : int {
    kButtonNone = 0,
    kButtonOk = 1,
    kButtonCancel = 2,
    kButtonYes = 4,
    kButtonNo = 8,
    kButtonRetry = 16,
    kButtonAbort = 32,
    kButtonIgnore = 64,
};

struct PromptMessage {
    QString caption;
    QString text;
    PromptIcon icon = PromptIcon::Exclamation;
    int buttons = kButtonOk;       // PromptButton flags
    int defaultButton = kButtonOk; // one PromptButton
};

struct FontChoice {
    QString typeFace;
    int size = 0;
    int colour = 0;
    int style = 0;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows the message and returns the button pressed.
    virtual int message(const PromptMessage& message) = 0;
    // The program is ending with this text; the implementation shows it and ends the process
    // (the GUI) or records it (tests). Callers return at once after calling it.
    virtual void halt(const QString& text) = 0;
    // An existing file to read; empty when the user cancels.
    virtual QString chooseOpenFile(const QString& caption, const QString& directory, const QString& filter) {
        (void)caption, (void)directory, (void)filter;
        return {};
    }
    // A file to write; empty when the user cancels.
    virtual QString chooseSaveFile(const QString& caption, const QString& directory, const QString& filter) {
        (void)caption, (void)directory, (void)filter;
        return {};
    }
    // A folder to read; empty when the user cancels.
    virtual QString chooseFolder(const QString& caption, const QString& directory) {
        (void)caption, (void)directory;
        return {};
    }
    // Existing files to read, one or more; empty when the user cancels.
    virtual QStringList chooseOpenFiles(const QString& caption, const QString& directory, const QString& filter) {
        (void)caption, (void)directory, (void)filter;
        return {};
    }
    // A font, starting from `font`, in a dialog titled `caption`; false when the user cancels.
    virtual bool chooseFont(const QString& caption, FontChoice& font) {
        (void)caption, (void)font;
        return false;
    }
    virtual bool chooseColour(int& colour) {
        (void)colour;
        return false;
    }
};

// Answers every message with its default button and records what was asked; for the command
// line's unattended runs and for tests.
class RecordingPrompter : public Prompter {
public:
    int message(const PromptMessage& m) override {
        messages.push_back(m);
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        return m.defaultButton;
    }
    void halt(const QString& text) override { haltText = text; }

    QList<PromptMessage> messages;
    QList<int> answers; // given in order, then the default button
    QString haltText;
};

} // namespace tunarium
