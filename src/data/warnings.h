// The numbered warnings of record access: their captions and texts, the saved error they report,
// and the halt texts of the warnings that end the program.
#pragma once

#include "data/prompter.h"
#include "data/store_error.h"

#include <functional>
#include <optional>

namespace tunarium {

namespace warning {
inline constexpr int kInvalidFile = 1;
inline constexpr int kInvalidKey = 2;
inline constexpr int kKeyRebuildError = 3;
inline constexpr int kFileCreationError = 4;
inline constexpr int kOpenCreatedFileError = 5;
inline constexpr int kRangeError = 10;
inline constexpr int kFieldContentsError = 11;
inline constexpr int kRestrictedUpdate = 12;
inline constexpr int kRestrictedDelete = 13;
inline constexpr int kRecordInsertError = 14;
inline constexpr int kUpdateOperationError = 15;
inline constexpr int kRecordUpdateRetry = 16;
inline constexpr int kDeleteOperationError = 17;
inline constexpr int kRecordDeleteRetry = 18;
inline constexpr int kChangeNotAllowed = 20;
inline constexpr int kDeleteNotAllowed = 21;
inline constexpr int kConfirmCancel = 23;
inline constexpr int kDuplicateKey = 24;
inline constexpr int kAutoIncrementError = 25;
inline constexpr int kFileAccessError = 30;
inline constexpr int kProcessError = 31;
inline constexpr int kConfirmDelete = 32;
inline constexpr int kTransactionFramingError = 34;
inline constexpr int kRecordRetrievalError = 35;
inline constexpr int kViewOpenError = 36;
inline constexpr int kRecordWasNotUpdated = 38;
} // namespace warning

// The message of warning `number` with the error text E, the caller's name N and second text T.
// The message of an unknown number has an empty caption.
PromptMessage composeWarning(int number, const QString& errorText, const QString& name, const QString& second,
                             int savedErrorCode);
// The halt text after a warning that ends the program ("Invalid File!"); empty for the others.
// Warning 2 ends the program only when answered No.
QString warningHaltText(int number);

class Warnings {
public:
    explicit Warnings(Prompter& prompter) : m_prompter(prompter) {}

    // Reports a failure: shows warning `number` with `error` as its E (the caller's name N and
    // second text T as show() takes them) and returns the button pressed. The one call for a
    // failed operation's warning.
    int report(int number, const StoreError& error, const QString& name = {}, const QString& second = {});
    // Keeps the error of a failed operation for the next warning (report() does both at once).
    void saveError(const StoreError& error) { m_saved = error; }
    bool hasSavedError() const { return m_saved.has_value(); }
    const std::optional<StoreError>& savedError() const { return m_saved; }
    // Sets the error used when no error is saved (the "current" error).
    void setCurrentError(const StoreError& error) { m_current = error; }

    // Shows warning `number` and returns the button pressed. The saved error, if any, gives E and
    // is cleared; otherwise the current error does. Warnings that end the program hand their
    // halt text to the prompter after the message; halted() then tells.
    int show(int number, const QString& name = {}, const QString& second = {});
    // The runtime's stop message: `text` under the caption "Stop", and the choice to end the
    // program (Abort) or to go on (Ignore, the default). Ending it closes the tables first; true
    // when the program is ending.
    bool stop(const QString& text);
    bool halted() const { return m_halted; }
    Prompter& prompter() { return m_prompter; }
    // What ending the program does before the prompter shows the halt text (closing the
    // tables); the default does nothing more.
    void setBeforeHalt(std::function<void()> beforeHalt) { m_beforeHalt = std::move(beforeHalt); }

private:
    void halt(const QString& text);

    Prompter& m_prompter;
    std::function<void()> m_beforeHalt;
    std::optional<StoreError> m_saved;
    StoreError m_current;
    bool m_halted = false;
};

} // namespace tunarium
