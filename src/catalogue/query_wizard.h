// The query wizard's session: the query the user is building on one field list, the saved queries
// of that list, and the answer the wizard gives its caller — a filter text of at most 1024
// characters and whether a query was run.
#pragma once

#include "catalogue/saved_queries.h"
#include "data/prompter.h"

#include <QString>
#include <QVector>

namespace tunarium {

struct QueryWizardResult {
    QString filter;   // the caller's user filter: the query that was run, else as it came in
    bool ran = false; // a query was run; the caller applies `filter`
};

class QueryWizard {
public:
    // Edits `currentFilter`, the caller's user filter: when not blank, the session starts with it
    // as an expression typed by hand. Saved queries live in savedQueryFilePath(collectionDir).
    QueryWizard(QueryFieldList fields, const QString& collectionDir, Prompter& prompter,
                const QString& currentFilter);

    const QueryFieldList& fields() const { return m_fields; }
    Query& query() { return m_query; }
    const Query& query() const { return m_query; }

    // What the query would return now, for the "Current Query" box: its filter text, "All Records"
    // for an empty query, or the reason it cannot run.
    QueryCheck currentText() const;

    // A new element: the first field of the list, "Is Equal To", an empty constant.
    QueryElement newElement(QueryJoin join) const;
    void addElement(QueryJoin join) { m_query.elements << newElement(join); }
    void removeElement(int index);
    // Switching to a text typed by hand starts from the text the elements give.
    void setManual(bool manual);
    // "(New Query)": no element, no text.
    void newQuery() { m_query = {}; }

    // The saved queries of this list, as last read (reloadSavedQueries).
    QVector<SavedQuery> savedQueries() const;
    // Reads the saved-query file again; a damaged file shows "ErrorLoadingQuery" and is read as
    // far as it can be.
    void reloadSavedQueries();
    // Saves the query under `description`. A query of that description is replaced only after
    // "Overwrite Query" is answered Yes. False when the query is invalid, the user declines or the
    // file cannot be written (each with its message). A damaged file is kept beside the new one
    // (extension ".damaged") before it is replaced.
    bool addSavedQuery(const QString& description);
    // Removes a saved query after confirmation.
    bool removeSavedQuery(const QString& description);
    // Takes a saved query into the editor; one that names fields no longer in the list is loaded
    // anyway, with "Query No Longer Valid", so the user can correct it.
    bool editSavedQuery(const QString& description);
    // Runs a saved query: the wizard is finished with its text. One no longer valid is refused.
    bool runSavedQuery(const QString& description);

    // "Finish the Wizard and Run Query": a valid query finishes the wizard; an invalid one is
    // refused with "Invalid Query" and the reason, and the session goes on.
    bool finish();
    bool isFinished() const { return m_result.ran; }
    // Before a finish, the filter the wizard was given and ran = false (a cancelled wizard).
    const QueryWizardResult& result() const { return m_result; }

private:
    void showInvalid(const QString& problem) const;
    void showNoLongerValid(int textNumber, const QString& problem) const;
    bool confirm(const QString& caption, const QString& text) const;
    bool writeAll(QVector<SavedQuery> all, bool damaged);
    SavedQuery* savedQuery(const QString& description);

    QueryFieldList m_fields;
    QString m_path;
    Prompter& m_prompter;
    Query m_query;
    QVector<SavedQuery> m_saved; // every list's, as last read
    QueryWizardResult m_result;
};

} // namespace tunarium
