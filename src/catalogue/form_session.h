// The pattern every form follows, without its window: the request it was called with, the
// response it answers, the record added at once on Insert (and deleted again on Cancel), the
// confirmed delete with its retry, and the save of a change through the update routine only when
// something changed. The window shows the record and turns the user's OK and Cancel into calls.
#pragma once

#include "catalogue/request.h"
#include "data/database.h"

namespace tunarium {

// What a table's form adds to the pattern.
class FormRules {
public:
    virtual ~FormRules() = default;
    // Primes a new record and gives it its number (Insert, before the add). An error from a read
    // stops the add; `retry` false means do not try again.
    virtual StoreError primeAndNumber(Row& record, bool copy) = 0;
    // After the record was added: the values it shows (a copy takes the source's values back).
    virtual void afterAdd(Row& record, const Row& source, bool copy) {
        (void)record, (void)source, (void)copy;
    }
    // The number of tries before the "Auto Increment Error" question; 0 for forms that do not add
    // at once.
    virtual int addAttempts() const { return 3; }
    // The name of the unique key in the duplicate-key message of an Insert ("Unique Song ID").
    virtual QString uniqueKeyName() const = 0;
    // The key a duplicate-key message names for `error`.
    virtual QString duplicateKeyName(const StoreError& error) const {
        (void)error;
        return uniqueKeyName();
    }
    // Asks before a Delete; true to delete. The default is the shared question (warning 32).
    virtual bool confirmDelete(Database& db, const Row& record) {
        (void)record;
        return db.warnings().show(warning::kConfirmDelete) == kButtonOk;
    }
    // Whether the update routine may let the user recall typed changes (warning 38 or 15).
    virtual bool canRecallChanges() const { return true; }
    virtual BeforeImage beforeImage(Database& db, const Row& record) const {
        return db.saveBeforeImage(record);
    }
    // Takes away the record added at start when the Insert is cancelled, through the delete
    // routine (a refusal has been shown). A form whose new record gathers others meanwhile (a
    // playlist its entries, an album its songs) says what becomes of them.
    virtual StoreError removeAdded(Database& db, const Row& added) {
        return db.remove(added) == kRoutineDone ? StoreError{} : StoreError::of(code::kRecordNotFound);
    }
};

class FormSession {
public:
    enum class SaveResult {
        Closed,   // saved (or the user chose to close): the form closes with its response
        StayOpen, // a message was shown; the form stays open with the record as it is
        Redisplay // another station changed the record: show the record again and stay open
    };

    // `request` as called: Insert, Change, Delete, or Copy (an Insert with the copy flag).
    FormSession(Database& db, FormRules& rules, Request request);

    // Steps 1 to 3: on Insert and Copy primes, numbers and adds `record` (the current record,
    // the source of a copy); on Delete confirms and deletes it; on Change keeps the copies that
    // tell later whether anything changed. Returns whether the window opens.
    bool start(Row& record);
    // OK after every field passed: writes an Insert over the added record, saves a Change
    // through the update routine when anything changed.
    SaveResult save(Row& record);
    void cancel() { m_response = Response::Cancelled; }
    // Closing: a cancelled Insert deletes the record added at start.
    void close();

    Request request() const { return m_request; }
    Request requestAsCalled() const { return m_requestAsCalled; }
    bool isCopy() const { return m_copy; }
    Response response() const { return m_response; }
    bool changed(const Row& record) const;
    // The caption of the window: "Adding Information" or "Changing Information".
    QString caption() const;

private:
    bool addAtStart(Row& record);
    void deleteConfirmed(const Row& record);
    SaveResult insertFailed(const StoreError& error);

    Database& m_db;
    FormRules& m_rules;
    Request m_requestAsCalled;
    Request m_request;
    bool m_copy;
    Response m_response = Response::Cancelled;
    Row m_changeCopy;
    BeforeImage m_before;
    qint64 m_addedRec = 0;
    bool m_closed = false;
};

} // namespace tunarium
