// The typed locator.
#include "catalogue/list_locator.h"

#include <limits>

namespace tunarium {

bool isLocatorCharacter(QChar character) {
    return !character.isNull() && character.isPrint();
}

bool ListLocator::press(ListKey key, QChar character) {
    switch (key) {
    case ListKey::Backspace:
        if (m_text.isEmpty()) {
            return false;
        }
        m_text.chop(1);
        return true;
    case ListKey::Space:
        character = u' ';
        break;
    case ListKey::Character:
        if (!isLocatorCharacter(character)) {
            return false;
        }
        break;
    default:
        return false;
    }
    if (m_text.size() >= kLocatorLength) {
        return false;
    }
    m_text += character;
    return true;
}

QVariant ListLocator::fieldValue(bool numeric) const {
    if (!numeric) {
        return m_text;
    }
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 n = 0;
    int i = 0;
    while (i < m_text.size() && m_text.at(i) == u' ') {
        ++i;
    }
    for (; i < m_text.size() && m_text.at(i) >= u'0' && m_text.at(i) <= u'9'; ++i) {
        const int digit = m_text.at(i).unicode() - u'0';
        n = n > (kMax - digit) / 10 ? kMax : n * 10 + digit;
    }
    return n;
}

} // namespace tunarium
