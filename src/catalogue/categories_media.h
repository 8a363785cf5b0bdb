// The two lookup tables that songs and albums name: categories (by number) and media formats (by
// name). Their browses as list definitions, their list formats, the rules their forms add to the
// form pattern (categories are numbered and added at once, media formats are added on OK), and the
// history copy of the name each form saved last.
#pragma once

#include "catalogue/form_session.h"
#include "catalogue/list_definition.h"

namespace tunarium {

inline constexpr char kCategoriesListFormat[] = "80L(2)|M~Category~L(2)@s30@";
inline constexpr char kMediaListFormat[] = "80L(2)|M~Media~L(2)@s20@";

// BrowseCategories: one sort order by name with the step locator and an alphabetic thumb; it can
// serve as a selection list. Its popup names Add "&Insert".
ListDefinition categoriesListDefinition();
// BrowseMedia: the same over the media names.
ListDefinition mediaListDefinition();

// The category form numbers a new category with the highest number + 1 (1 for the first) and adds
// it before its window opens.
class CategoryRules : public FormRules {
public:
    explicit CategoryRules(Database& db) : m_db(db) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("CAT:KeyCategoryID"); }
    // The number is the form's own and cannot clash: a duplicate is a name that exists already,
    // and the message names the key that refused it.
    QString duplicateKeyName(const StoreError& error) const override;

private:
    Database& m_db;
};

// The media form adds nothing before OK; the name is the whole record.
class MediaRules : public FormRules {
public:
    StoreError primeAndNumber(Row& record, bool copy) override;
    int addAttempts() const override { return 0; }
    QString uniqueKeyName() const override { return QStringLiteral("MED:KeyMedia"); }
};

// The name a form saved last, kept for the whole program run; the form's history key brings it
// back into the name field.
class NameHistory {
public:
    // The form opens: the copy is cleared the first time only.
    void formStarted();
    // The user pressed OK with this name (before the record is written).
    void record(const QString& name) {
        m_name = name;
        m_has = true;
    }
    bool has() const { return m_has; }
    const QString& name() const { return m_name; }
    void clear();

private:
    QString m_name;
    bool m_has = false;
    bool m_started = false;
};

NameHistory& categoryHistory();
NameHistory& mediaHistory();

} // namespace tunarium
