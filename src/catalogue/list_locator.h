// The typed locator of one sort order: the characters the user typed on the list (at most 30),
// and the value they give the sort order's leading field.
#pragma once

#include <QString>
#include <QVariant>

namespace tunarium {

inline constexpr int kLocatorLength = 30;

// The keys a list reacts to beyond moving the selection.
enum class ListKey { DoubleClick, Backspace, Space, Insert, Delete, CtrlEnter, Character };

class ListLocator {
public:
    const QString& text() const { return m_text; }
    int length() const { return static_cast<int>(m_text.size()); }
    void clear() { m_text.clear(); }

    // Applies a key: Backspace drops the last character, Space appends a space, Character appends
    // `character` when it is printable. A full locator takes nothing more. True when the text
    // changed.
    bool press(ListKey key, QChar character);

    // The value for the leading field: the text for a text field, for a number field the number
    // its leading digits spell (0 when none; the largest number when they spell more).
    QVariant fieldValue(bool numeric) const;

private:
    QString m_text;
};

// A key's character that the locators take: printable, not a control character.
bool isLocatorCharacter(QChar character);

} // namespace tunarium
