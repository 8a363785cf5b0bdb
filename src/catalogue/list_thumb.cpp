// Thumb step values and the thumb position.
#include "catalogue/list_thumb.h"

#include "data/fold_key.h"

#include <QStringView>

namespace tunarium {

namespace {

// Listed in this order; the alphabet takes them in code order.
const char16_t kSymbols[] = u"`!\"\u00a3$%^&*()'-=_+][#;~@:/.,?\\| ";

bool inAlphabet(char16_t c, const ThumbOptions& o) {
    if (o.numeric && c >= u'0' && c <= u'9') {
        return true;
    }
    if (o.alpha && ((c >= u'A' && c <= u'Z') || (o.mixedCase && c >= u'a' && c <= u'z'))) {
        return true;
    }
    return o.symbols && QStringView(kSymbols).contains(QChar(c));
}

// A character's place in the alphabet (1-based); outside it, the place of the nearest character
// below it, so that places keep the order of the characters.
int placeOf(QChar c, const QString& alphabet) {
    int place = 0;
    while (place < alphabet.size() && alphabet.at(place) <= c) {
        ++place;
    }
    return place;
}

qint64 numberOf(QStringView chars, const QString& alphabet) {
    const qint64 base = alphabet.size() + 1;
    qint64 n = 0;
    for (int i = 0; i < kThumbDigits; ++i) {
        n = n * base + (i < chars.size() ? placeOf(chars.at(i), alphabet) : 0);
    }
    return n;
}

QString spell(qint64 n, const QString& alphabet) {
    const qint64 base = alphabet.size() + 1;
    std::array<qint64, kThumbDigits> digits{};
    for (int i = kThumbDigits - 1; i >= 0; --i) {
        digits[i] = n % base;
        n /= base;
    }
    QString text;
    for (qint64 d : digits) {
        if (d <= 0 || d > alphabet.size()) {
            break;
        }
        text += alphabet.at(d - 1);
    }
    return text;
}

} // namespace

QString thumbAlphabet(const ThumbOptions& options) {
    QString alphabet;
    for (char16_t c = 1; c <= 255; ++c) {
        if (inAlphabet(c, options)) {
            alphabet += QChar(c);
        }
    }
    return alphabet;
}

ThumbSteps ThumbSteps::numbers(qint64 low, qint64 high) {
    ThumbSteps s;
    s.m_valid = true;
    const double step = (static_cast<double>(high) - static_cast<double>(low)) / (kThumbSteps - 1);
    for (int i = 0; i < kThumbSteps; ++i) {
        s.m_numbers[i] = low + static_cast<qint64>(step * i);
    }
    s.m_numbers[0] = low;
    s.m_numbers[kThumbSteps - 1] = high;
    return s;
}

ThumbSteps ThumbSteps::texts(const QString& low, const QString& high, int fieldWidth,
                             const ThumbOptions& options) {
    const QString alphabet = thumbAlphabet(options);
    if (alphabet.isEmpty()) {
        return {};
    }
    // Names are placed as the keys order them, without their diacritics.
    const bool upper = options.alpha && !options.mixedCase;
    const QString lo = upper ? withoutDiacritics(low).toUpper() : withoutDiacritics(low);
    QString hi = upper ? withoutDiacritics(high).toUpper() : withoutDiacritics(high);
    if (hi.size() < fieldWidth) {
        hi += QString(fieldWidth - hi.size(), alphabet.back());
    }
    int common = 0;
    while (common < lo.size() && common < hi.size() && lo.at(common) == hi.at(common)) {
        ++common;
    }
    const QString prefix = lo.left(common);
    const QString loChars = lo.mid(common, kThumbDigits);
    const QString hiChars = hi.mid(common, kThumbDigits);
    const qint64 loNumber = numberOf(loChars, alphabet);
    const qint64 step = (numberOf(hiChars, alphabet) - loNumber) / (kThumbSteps - 1);

    ThumbSteps s;
    s.m_valid = true;
    s.m_text = true;
    s.m_texts[0] = prefix + loChars;
    for (int i = 1; i < kThumbSteps - 1; ++i) {
        s.m_texts[i] = prefix + spell(loNumber + step * i, alphabet);
    }
    s.m_texts[kThumbSteps - 1] = prefix + hiChars;
    return s;
}

QVariant ThumbSteps::value(int i) const {
    if (!m_valid || i < 1 || i > kThumbSteps) {
        return {};
    }
    return m_text ? QVariant(m_texts[i - 1]) : QVariant(m_numbers[i - 1]);
}

int ThumbSteps::positionOf(const QVariant& fieldValue) const {
    if (!m_valid) {
        return 0;
    }
    int i = 0;
    if (m_text) {
        const QString v = withoutDiacritics(fieldValue.toString()).toUpper();
        while (i < kThumbSteps && m_texts[i] < v) {
            ++i;
        }
    } else {
        const qint64 v = fieldValue.toLongLong();
        while (i < kThumbSteps && m_numbers[i] < v) {
            ++i;
        }
    }
    // i is the 0-based index of the first step not below the value.
    return i < 1 ? 0 : std::min(i + 1, kThumbSteps);
}

} // namespace tunarium
