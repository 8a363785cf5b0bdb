// What start-up tells the query wizard before any window uses it: the name of the file that keeps
// the saved queries and the wizard's display texts by number. The query wizard reads them here.
#pragma once

#include <QHash>
#include <QString>

namespace tunarium {

inline constexpr char kSavedQueryFileName[] = "NTRQUERY";
inline constexpr int kSavedQueryFileNameWidth = 12;

struct QueryWizardSetup {
    QString fileName;          // the saved-query file, without extension
    QHash<int, QString> texts; // display texts by number; font sizes are kept as their text
    bool initialised = false;

    // The text of a number; empty where none was set.
    QString text(int number) const { return texts.value(number); }
};

// The program's one setup, empty until initialiseQueryWizard() has run.
QueryWizardSetup& queryWizardSetup();
// Stores the saved-query file name and sets every display text start-up gives the wizard.
void initialiseQueryWizard();

} // namespace tunarium
