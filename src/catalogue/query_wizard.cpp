// The query wizard's session.
#include "catalogue/query_wizard.h"

#include <QFile>

namespace tunarium {

namespace {

// Display texts of the wizard's messages.
constexpr int kTextErrorLoadingQuery = 31;
constexpr int kTextErrorLoadingQueryText = 32;
constexpr int kTextInvalidQuery = 33;
constexpr int kTextInvalidQueryText = 34;
constexpr int kTextOverwriteQuery = 35;
constexpr int kTextOverwriteQueryText = 36;
constexpr int kTextNoLongerValid = 37;
constexpr int kTextNoLongerValidEdit = 38;
constexpr int kTextNoLongerValidRun = 221;
constexpr int kTextAllRecords = 302;
constexpr int kTextAddQuery = 213;

// Display texts separate lines with '|'.
QString lines(const QString& text) {
    QString out = text;
    return out.replace(u'|', u'\n');
}

bool isEmptyQuery(const Query& q) {
    return q.manual ? q.manualText.trimmed().isEmpty() : q.elements.isEmpty();
}

} // namespace

QueryWizard::QueryWizard(QueryFieldList fields, const QString& collectionDir, Prompter& prompter,
                         const QString& currentFilter)
    : m_fields(std::move(fields)), m_path(savedQueryFilePath(collectionDir)),
      m_prompter(prompter), m_result{currentFilter, false} {
    if (!currentFilter.trimmed().isEmpty()) {
        m_query.manual = true;
        m_query.manualText = currentFilter.trimmed();
    }
}

QueryCheck QueryWizard::currentText() const {
    if (isEmptyQuery(m_query)) {
        return {queryWizardText(kTextAllRecords), {}};
    }
    return checkQuery(m_query, m_fields);
}

QueryElement QueryWizard::newElement(QueryJoin join) const {
    QueryElement e;
    e.join = join;
    if (!m_fields.fields.isEmpty()) {
        e.field = m_fields.fields.first().name;
        e.op = m_fields.fields.first().operators().value(0, QueryOperator::IsEqualTo);
    }
    return e;
}

void QueryWizard::removeElement(int index) {
    if (index >= 0 && index < m_query.elements.size()) {
        m_query.elements.removeAt(index);
    }
}

void QueryWizard::setManual(bool manual) {
    if (manual && !m_query.manual) {
        const QueryCheck built = joinQueryElements(m_query.elements, m_fields);
        if (built.ok()) {
            m_query.manualText = built.text;
        }
    }
    m_query.manual = manual;
}

QVector<SavedQuery> QueryWizard::savedQueries() const {
    QVector<SavedQuery> out;
    for (const SavedQuery& q : m_saved) {
        if (q.list.compare(m_fields.name, Qt::CaseInsensitive) == 0) {
            out << q;
        }
    }
    return out;
}

void QueryWizard::reloadSavedQueries() {
    SavedQueryFile file = readSavedQueries(m_path);
    m_saved = std::move(file.queries);
    if (file.damaged) {
        m_prompter.message({queryWizardText(kTextErrorLoadingQuery),
                            queryWizardText(kTextErrorLoadingQueryText), PromptIcon::Exclamation, kButtonOk,
                            kButtonOk});
    }
}

SavedQuery* QueryWizard::savedQuery(const QString& description) {
    const int i = findSavedQuery(m_saved, m_fields.name, description);
    return i >= 0 ? &m_saved[i] : nullptr;
}

bool QueryWizard::addSavedQuery(const QString& description) {
    const QString name = description.trimmed();
    if (name.isEmpty()) {
        m_prompter.message({queryWizardText(kTextAddQuery),
                            QStringLiteral("Type a description for the query."), PromptIcon::Exclamation,
                            kButtonOk, kButtonOk});
        return false;
    }
    const QueryCheck check = checkQuery(m_query, m_fields);
    if (!check.ok()) {
        showInvalid(check.problem);
        return false;
    }
    // Another window may have saved meanwhile: add to what the file holds now.
    SavedQueryFile file = readSavedQueries(m_path);
    const SavedQuery entry{m_fields.name, name, m_query};
    const int existing = findSavedQuery(file.queries, m_fields.name, name);
    if (existing >= 0) {
        if (!confirm(queryWizardText(kTextOverwriteQuery), queryWizardText(kTextOverwriteQueryText))) {
            return false;
        }
        file.queries[existing] = entry;
    } else {
        file.queries << entry;
    }
    return writeAll(std::move(file.queries), file.damaged);
}

bool QueryWizard::removeSavedQuery(const QString& description) {
    if (!confirm(
            QStringLiteral("Delete Query"),
            QStringLiteral("Do you want to delete the saved query \"%1\"?").arg(description.trimmed()))) {
        return false;
    }
    SavedQueryFile file = readSavedQueries(m_path);
    const int existing = findSavedQuery(file.queries, m_fields.name, description);
    if (existing < 0) {
        m_saved = std::move(file.queries);
        return false;
    }
    file.queries.removeAt(existing);
    return writeAll(std::move(file.queries), file.damaged);
}

bool QueryWizard::writeAll(QVector<SavedQuery> all, bool damaged) {
    if (damaged) {
        const QString aside = m_path + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::copy(m_path, aside);
    }
    QString error;
    if (!writeSavedQueries(m_path, all, &error)) {
        m_prompter.message(
            {queryWizardText(kTextAddQuery),
             QStringLiteral("The saved queries could not be written to %1: %2").arg(m_path, error),
             PromptIcon::Exclamation, kButtonOk, kButtonOk});
        return false;
    }
    m_saved = std::move(all);
    return true;
}

bool QueryWizard::editSavedQuery(const QString& description) {
    const SavedQuery* saved = savedQuery(description);
    if (!saved) {
        return false;
    }
    m_query = saved->query;
    const QueryCheck check = checkQuery(m_query, m_fields);
    if (!check.ok()) {
        showNoLongerValid(kTextNoLongerValidEdit, check.problem);
    }
    return true;
}

bool QueryWizard::runSavedQuery(const QString& description) {
    const SavedQuery* saved = savedQuery(description);
    if (!saved) {
        return false;
    }
    const QueryCheck check = checkQuery(saved->query, m_fields);
    if (!check.ok()) {
        showNoLongerValid(kTextNoLongerValidRun, check.problem);
        return false;
    }
    m_query = saved->query;
    m_result = {check.text, true};
    return true;
}

bool QueryWizard::finish() {
    const QueryCheck check = checkQuery(m_query, m_fields);
    if (!check.ok()) {
        showInvalid(check.problem);
        return false;
    }
    m_result = {check.text, true};
    return true;
}

void QueryWizard::showInvalid(const QString& problem) const {
    m_prompter.message({queryWizardText(kTextInvalidQuery),
                        lines(queryWizardText(kTextInvalidQueryText)) + QStringLiteral("\n\n") + problem,
                        PromptIcon::Exclamation, kButtonOk, kButtonOk});
}

void QueryWizard::showNoLongerValid(int textNumber, const QString& problem) const {
    const QString text = lines(queryWizardText(textNumber));
    m_prompter.message({queryWizardText(kTextNoLongerValid),
                        text.isEmpty() ? problem : text + QStringLiteral("\n\n") + problem,
                        PromptIcon::Exclamation, kButtonOk, kButtonOk});
}

bool QueryWizard::confirm(const QString& caption, const QString& text) const {
    return m_prompter.message({caption, text, PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo}) ==
           kButtonYes;
}

} // namespace tunarium
