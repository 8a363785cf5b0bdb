// The texts of the numbered warnings.
#include "data/warnings.h"

#include "data/row.h"

namespace tunarium {

namespace {

struct Layout {
    const char* caption;
    int buttons;
    int defaultButton;
    PromptIcon icon;
};

Layout layoutOf(int number) {
    const int ok = kButtonOk;
    switch (number) {
    case warning::kInvalidFile:
        return {"Invalid File", ok, ok, PromptIcon::Stop};
    case warning::kInvalidKey:
        return {"Invalid Key", kButtonYes | kButtonNo, kButtonYes, PromptIcon::Question};
    case warning::kKeyRebuildError:
        return {"Key Rebuild Error", ok, ok, PromptIcon::Stop};
    case warning::kFileCreationError:
    case warning::kOpenCreatedFileError:
        return {"File Creation Error", ok, ok, PromptIcon::Stop};
    case warning::kRangeError:
        return {"Range Error", ok, ok, PromptIcon::Exclamation};
    case warning::kFieldContentsError:
        return {"Field Contents Error", ok, ok, PromptIcon::Exclamation};
    case warning::kRestrictedUpdate:
        return {"Referential Integrity Update Error", ok, ok, PromptIcon::Exclamation};
    case warning::kRestrictedDelete:
        return {"Referential Integrity Delete Error", ok, ok, PromptIcon::Exclamation};
    case warning::kRecordInsertError:
        return {"Record Insert Error", ok, ok, PromptIcon::Stop};
    case warning::kUpdateOperationError:
        return {"Update Operation Error", ok, ok, PromptIcon::Stop};
    case warning::kRecordUpdateRetry:
        return {"Record Update Error", kButtonYes | kButtonNo | kButtonCancel, kButtonCancel, PromptIcon::Question};
    case warning::kDeleteOperationError:
        return {"Delete Operation Error", ok, ok, PromptIcon::Stop};
    case warning::kRecordDeleteRetry:
        return {"Record Update Error", kButtonYes | kButtonNo | kButtonCancel, kButtonCancel, PromptIcon::Question};
    case warning::kChangeNotAllowed:
    case warning::kDeleteNotAllowed:
        return {"Invalid Request", ok, ok, PromptIcon::Exclamation};
    case warning::kConfirmCancel:
        return {"Update Cancelled", kButtonYes | kButtonNo, kButtonNo, PromptIcon::Question};
    case warning::kDuplicateKey:
        return {"Duplicate Key Error", ok, ok, PromptIcon::Exclamation};
    case warning::kAutoIncrementError:
        return {"Auto Increment Error", kButtonRetry | kButtonCancel, kButtonCancel, PromptIcon::Stop};
    case warning::kFileAccessError:
        return {"File Access Error", ok, ok, PromptIcon::Stop};
    case warning::kProcessError:
        return {"Process PUT Error", ok, ok, PromptIcon::Stop};
    case warning::kConfirmDelete:
        return {"Confirm Delete", kButtonOk | kButtonCancel, kButtonCancel, PromptIcon::Question};
    case warning::kTransactionFramingError:
        return {"Transaction Framing Error", ok, ok, PromptIcon::Stop};
    case warning::kRecordRetrievalError:
        return {"Record Retrieval Error", ok, ok, PromptIcon::Stop};
    case warning::kViewOpenError:
        return {"View Open Error", ok, ok, PromptIcon::Exclamation};
    case warning::kRecordWasNotUpdated:
        return {"Record Was Not Updated", ok, ok, PromptIcon::Information};
    default:
        return {"", ok, ok, PromptIcon::Exclamation};
    }
}

QString composeText(int number, const QString& e, const QString& n, const QString& t, int savedCode) {
    const QString end = QStringLiteral(".  Press OK to end this application.");
    switch (number) {
    case warning::kInvalidFile:
        return "Error: (" + e + ") accessing " + n + end;
    case warning::kInvalidKey:
        return n + " key file is invalid.  Do you " + "want to rebuild the key?";
    case warning::kKeyRebuildError:
        return "Error: (" + e + ") repairing key for " + n + end;
    case warning::kFileCreationError:
        return "Error: (" + e + ") creating " + n + end;
    case warning::kOpenCreatedFileError:
        return "Error: (" + e + ") opening created " + "file:" + n + end;
    case warning::kRangeError:
        return "The value of " + n + " must be " + "between " + t + ".";
    case warning::kFieldContentsError:
        return "The value for " + n + " must be " + "found in the " + t + " file.";
    case warning::kRestrictedUpdate:
        return "This record is referenced from the file " + n +
               ".  Linking field(s) have been restricted from change and have been reset to original values.";
    case warning::kRestrictedDelete:
        return "This record is referenced from the file " + n +
               ".  This record cannot be deleted while these references exist.";
    case warning::kRecordInsertError:
        return "An error was experienced during the update of record.  Error: " + e + ".";
    case warning::kUpdateOperationError:
        if (savedCode == code::kChangedByOther || savedCode == code::kOk) {
            return QStringLiteral("This record was changed by another station.");
        }
        return "An error (" + e + ") was experienced when attempting to update a record from the file.  "
               "Probable Cause: " + n + ".";
    case warning::kRecordUpdateRetry:
        return QStringLiteral("An error was experienced changing this record.  Do you want to try to save again?");
    case warning::kDeleteOperationError:
        return "An error (" + e + ") was experienced when attempting to delete a record from the file " + n + ".";
    case warning::kRecordDeleteRetry:
        return QStringLiteral("An error was experienced deleting this record.  Do you want to try to save again?");
    case warning::kChangeNotAllowed:
        return QStringLiteral("This procedure was called to change a record, however changes are not allowed for "
                              "this procedure.  Press OK to return to the calling procedure");
    case warning::kDeleteNotAllowed:
        return QStringLiteral("This procedure was called to delete a record, however deletions are not allowed for "
                              "this procedure.  Press OK to return to the calling procedure");
    case warning::kConfirmCancel:
        return QStringLiteral("Are you sure you want to cancel?");
    case warning::kDuplicateKey:
        return "Adding this record creates a duplicate entry for the key:" + n;
    case warning::kAutoIncrementError:
        return "Attempts to automatically number this record have failed.  Error: " + e + ".";
    case warning::kFileAccessError:
        return "File (" + n + ") could not be " + "opened.  Error: " + e + ".";
    case warning::kProcessError:
        // The second text says which operation failed ("Put" or not); the file named is the
        // caller's table, so that the message never reads "the Put file".
        if (t == QLatin1String("Put")) {
            return "An error was experienced when making changes to the " + n + " file.  Error: " + e;
        }
        return "An error was experienced when deleting a record from the " + n + " file.  Error: " + e;
    case warning::kConfirmDelete:
        // Cancel is the default button: Enter keeps the record, and the text says so.
        return QStringLiteral("You've selected to delete the highlighted record.  Press OK to delete it; Cancel "
                              "(or Enter) keeps it.");
    case warning::kTransactionFramingError:
        return "Error: (" + e + ") attempting to frame the " + n.toLower() + " transaction on " + t + ".  " + n +
               " transaction cancelled.";
    case warning::kRecordRetrievalError:
        return "Error: (" + e + ") attempting to access a " + "record from the " + n + " file.  Returning to " +
               "previous window.";
    case warning::kViewOpenError:
        return "Error: (" + e + ") attempting to open the " + "current VIEW. Filter and Range Limits ignored.";
    case warning::kRecordWasNotUpdated:
        return QStringLiteral("This record was changed by another station. Those changes will now be displayed. "
                              "Use the Ditto Button or Ctrl+' to recall your changes.");
    default:
        return {};
    }
}

} // namespace

PromptMessage composeWarning(int number, const QString& errorText, const QString& name, const QString& second,
                             int savedErrorCode) {
    const Layout layout = layoutOf(number);
    PromptMessage m;
    m.caption = QString::fromLatin1(layout.caption);
    if (number == warning::kProcessError && second != QLatin1String("Put")) {
        m.caption = QStringLiteral("Process DELETE Error");
    }
    m.text = composeText(number, errorText, trimTrailingBlanks(name), second, savedErrorCode);
    m.buttons = layout.buttons;
    m.defaultButton = layout.defaultButton;
    m.icon = layout.icon;
    return m;
}

QString warningHaltText(int number) {
    switch (number) {
    case warning::kInvalidFile:
        return QStringLiteral("Invalid File!");
    case warning::kInvalidKey:
        return QStringLiteral("Invalid Key!");
    case warning::kKeyRebuildError:
        return QStringLiteral("Error Rebuilding Key!");
    case warning::kFileCreationError:
    case warning::kOpenCreatedFileError:
        return QStringLiteral("File Creation Error!");
    default:
        return {};
    }
}

int Warnings::show(int number, const QString& name, const QString& second) {
    const StoreError error = m_saved.value_or(m_current);
    const int savedCode = m_saved ? m_saved->code : code::kOk;
    m_saved.reset();
    const int pressed = m_prompter.message(composeWarning(number, error.describe(), name, second, savedCode));
    const bool ends = number == warning::kInvalidFile || number == warning::kKeyRebuildError ||
                      number == warning::kFileCreationError || number == warning::kOpenCreatedFileError ||
                      (number == warning::kInvalidKey && pressed == kButtonNo);
    if (ends) {
        halt(warningHaltText(number));
    }
    return pressed;
}

int Warnings::report(int number, const StoreError& error, const QString& name, const QString& second) {
    m_saved = error;
    return show(number, name, second);
}

bool Warnings::stop(const QString& text) {
    PromptMessage m;
    m.caption = QStringLiteral("Stop");
    m.text = text;
    m.icon = PromptIcon::Stop;
    m.buttons = kButtonAbort | kButtonIgnore;
    m.defaultButton = kButtonIgnore;
    if (m_prompter.message(m) != kButtonAbort) {
        return false;
    }
    halt(text);
    return true;
}

void Warnings::halt(const QString& text) {
    m_halted = true;
    if (m_beforeHalt) {
        m_beforeHalt();
    }
    m_prompter.halt(text);
}

} // namespace tunarium
