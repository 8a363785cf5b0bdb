// The query wizard's saved-query file name and display texts.
#include "catalogue/query_wizard_setup.h"

namespace tunarium {

namespace {

const QHash<int, QString>& displayTexts() {
    static const QHash<int, QString> texts = [] {
        QHash<int, QString> t = {
            {1, "Is Equal To"},
            {2, "Is NOT Equal To"},
            {3, "Is Greater Than"},
            {4, "Is Less Than"},
            {5, "Is Greater Than or Equal To"},
            {6, "Is Less Than or Equal To"},
            {7, "Begins With"},
            {8, "Contains"},
            {9, "Does NOT Begin With"},
            {10, "Does NOT Contain"},
            {11, "Is Checked"},
            {12, "Is NOT Checked"},
            {31, "ErrorLoadingQuery"},
            {32, "An error has prevented the Query Wizard from loading your query at this time."},
            {33, "Invalid Query"},
            {34, "The query you have designed is invalid.|Please review your query and correct the problem."},
            {35, "Overwrite Query"},
            {36, "Do you want to overwrite the query you are editing?"},
            {37, "Query No Longer Valid"},
            {39, "Restricted Query"},
            {40, "Sorry, this is a restricted query and may not be modified."},
            {41, "Save Query"},
            {42, "Would you like to save this query?"},
            {100, ""},
            {101, "Add a New AND Query Element"},
            {103, "AND"},
            {116, "Finish the Wizard and Run Query"},
            {118, "&Finish"},
            {119, "Manually Enter Query Criteria"},
            {124, "&Next >"},
            {127, "OR"},
            {151, "Constant &Value"},
            {152, "E&xpression"},
            {153, "&Another Field"},
            {154, "Current Query"},
            {161, "Compare Using Absolute Values"},
            {162, "Compare Using Case Sensitive Matching"},
            {163, "(New Query)"},
            {171, "Query Wizard"},
            {200, ""},
            {202, "Saved Queries"},
            {213, "Add Query"},
            {216, "Run Query"},
            {230, ""},
            {236, "Query Description:"},
            {242, "OK"},
            {300, "Converting Saved Query Data -- Please Wait..."},
            {301, "Converting Data File Structure  -- Please Wait..."},
            {302, "All Records"},
            {303, "Custom Query..."},
        };
        for (int font : {71, 73, 75, 77, 79, 218, 243}) {
            t.insert(font, QStringLiteral("MS Sans Serif"));
        }
        for (auto [number, size] :
             {std::pair{72, 10}, {74, 10}, {76, 8}, {78, 8}, {80, 12}, {219, 8}, {244, 8}}) {
            t.insert(number, QString::number(size));
        }
        return t;
    }();
    return texts;
}

} // namespace

QueryWizardSetup& queryWizardSetup() {
    static QueryWizardSetup setup;
    return setup;
}

void initialiseQueryWizard() {
    QueryWizardSetup& setup = queryWizardSetup();
    setup.fileName = QString::fromLatin1(kSavedQueryFileName).left(kSavedQueryFileNameWidth);
    setup.texts = displayTexts();
    setup.initialised = true;
}

} // namespace tunarium
