// What the label and font windows are made of without their widgets: the labels browse and the
// favourite fonts list as list definitions with their list formats, and the rules the label form
// and the font forms add to the form pattern.
#pragma once

#include "catalogue/form_session.h"
#include "catalogue/list_definition.h"

namespace tunarium {

inline constexpr char kLabelsListFormat[] = "120L(2)|M~Label Description~@s30@40L(2)|M~Label Type~@s9@"
                                            "120L(2)|M~Cassette Title~@s255@120L(2)|M~CD Title~@s60@";
inline constexpr char kFontsListFormat[] =
    "100L(2)|M~Type Face~@s32@40L(2)|M~Size~@s32@60L(2)|M~Colour~@s32@60L(2)|M~Style~@s32@";

// "Browse Labels": tabs "By Description" and "By Type".
ListDefinition labelsListDefinition();
// "Favorite Fonts": the fonts by typeface.
ListDefinition fontsListDefinition();

// The label form numbers a new label with the highest number + 1 and adds it before its window
// opens, as a new label starts (label_fill.h, newLabel). A copy takes every text of its source
// and " - Copy" after its description, whose key admits each description once.
class LabelRules : public FormRules {
public:
    explicit LabelRules(Database& db) : m_db(db) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("LAB:KeyLabelID"); }
    QString duplicateKeyName(const StoreError& error) const override;

private:
    Database& m_db;
};

// The font forms: a new font takes the next number.
class FontRules : public FormRules {
public:
    explicit FontRules(Database& db) : m_db(db) {}
    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("FON:KeyFontID"); }
    QString duplicateKeyName(const StoreError& error) const override;

private:
    Database& m_db;
};

} // namespace tunarium

namespace tunarium {

// The pages of the Add Label wizard in order. A CD label has no cassette sides, a cassette label
// no CD covers.
enum class LabelWizardPage { Introduction, LabelType, Source, General, FrontCover, BackCover, SideA, SideB };
QVector<LabelWizardPage> labelWizardPages(bool compactDisc);

} // namespace tunarium
