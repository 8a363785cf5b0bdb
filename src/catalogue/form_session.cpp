// The form pattern.
#include "catalogue/form_session.h"

namespace tunarium {

FormSession::FormSession(Database& db, FormRules& rules, Request request)
    : m_db(db), m_rules(rules), m_requestAsCalled(request),
      m_request(request == Request::Copy ? Request::Insert : request), m_copy(request == Request::Copy) {}

bool FormSession::start(Row& record) {
    m_response = Response::Cancelled;
    switch (m_request) {
    case Request::Insert:
        if (!addAtStart(record)) {
            return false;
        }
        break;
    case Request::Delete:
        deleteConfirmed(record);
        return false;
    default:
        break;
    }
    m_changeCopy = record;
    m_before = m_rules.beforeImage(m_db, record);
    return true;
}

bool FormSession::addAtStart(Row& record) {
    const Row source = record;
    Warnings& warnings = m_db.warnings();
    if (m_rules.addAttempts() == 0) {
        // This form adds its record only on OK.
        if (StoreError e = m_rules.primeAndNumber(record, m_copy)) {
            warnings.report(warning::kRecordRetrievalError, e, record.table().label);
            return false;
        }
        m_rules.afterAdd(record, source, m_copy);
        return true;
    }
    for (;;) {
        StoreError last;
        for (int attempt = 0; attempt < m_rules.addAttempts(); ++attempt) {
            record = source;
            if (StoreError e = m_rules.primeAndNumber(record, m_copy)) {
                // A read failed while numbering: nothing was added.
                warnings.report(warning::kRecordRetrievalError, e, record.table().label);
                return false;
            }
            last = m_db.store().insert(record);
            if (last.ok()) {
                m_addedRec = record.meta.rec;
                m_rules.afterAdd(record, source, m_copy);
                return true;
            }
        }
        if (warnings.report(warning::kAutoIncrementError, last) != kButtonRetry) {
            return false;
        }
    }
}

void FormSession::deleteConfirmed(const Row& record) {
    Warnings& warnings = m_db.warnings();
    if (!m_rules.confirmDelete(m_db, record)) {
        return;
    }
    for (;;) {
        if (m_db.remove(record) == kRoutineDone) {
            m_response = Response::Completed;
            return;
        }
        if (m_db.halted() || warnings.show(warning::kRecordDeleteRetry) != kButtonYes) {
            return;
        }
    }
}

bool FormSession::changed(const Row& record) const {
    for (int i = 0; i < record.size(); ++i) {
        if (record.value(i) != m_changeCopy.value(i)) {
            return true;
        }
    }
    return false;
}

FormSession::SaveResult FormSession::insertFailed(const StoreError& error) {
    Warnings& warnings = m_db.warnings();
    if (error.code == code::kDuplicateKey) {
        warnings.show(warning::kDuplicateKey, m_rules.duplicateKeyName(error));
    } else {
        warnings.report(warning::kRecordInsertError, error);
    }
    return SaveResult::StayOpen;
}

FormSession::SaveResult FormSession::save(Row& record) {
    Warnings& warnings = m_db.warnings();
    if (m_request == Request::Insert && m_addedRec == 0) {
        if (StoreError e = m_db.store().insert(record)) {
            return insertFailed(e);
        }
        m_response = Response::Completed;
        return SaveResult::Closed;
    }
    if (m_request == Request::Insert) {
        // The record added at start is overwritten with what the user entered.
        record.meta.rec = m_addedRec;
        Row current;
        if (StoreError e = m_db.store().fetch(record.tableId(), m_addedRec, current)) {
            warnings.report(warning::kRecordInsertError, e);
            return SaveResult::StayOpen;
        }
        record.meta.version = current.meta.version;
        if (StoreError e = m_db.overwriteAdded(record)) {
            return insertFailed(e);
        }
        m_response = Response::Completed;
        return SaveResult::Closed;
    }
    if (m_request != Request::Change) {
        return SaveResult::Closed;
    }
    if (!changed(record)) {
        m_response = Response::Completed;
        return SaveResult::Closed;
    }
    for (;;) {
        const int result = m_db.update(record, m_rules.canRecallChanges(), m_before);
        if (result == kRoutineDone) {
            m_response = Response::Completed;
            return SaveResult::Closed;
        }
        if (result == kRoutineChanged) {
            // The other station's version is in the record now; it becomes the base of the next save.
            m_changeCopy = record;
            m_before = m_rules.beforeImage(m_db, record);
            return SaveResult::Redisplay;
        }
        if (m_db.halted()) {
            return SaveResult::Closed;
        }
        const int answer = warnings.show(warning::kRecordUpdateRetry);
        if (answer == kButtonNo) {
            m_response = Response::Cancelled;
            return SaveResult::Closed;
        }
        if (answer != kButtonYes) {
            return SaveResult::StayOpen;
        }
    }
}

void FormSession::close() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (m_request == Request::Insert && m_response == Response::Cancelled && m_addedRec != 0) {
        Row added;
        if (m_db.store().fetch(m_changeCopy.tableId(), m_addedRec, added).ok()) {
            m_rules.removeAdded(m_db, added);
        }
    }
}

QString FormSession::caption() const {
    return m_request == Request::Insert ? QStringLiteral("Adding Information")
                                        : QStringLiteral("Changing Information");
}

} // namespace tunarium
