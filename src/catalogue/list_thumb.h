// The scroll thumb of a list: 100 step values of the sort order's leading field, spread between
// its lowest and highest value, from which the thumb position of a record is estimated and a
// dragged thumb is turned back into a value to position the list at. Nothing is counted.
#pragma once

#include "catalogue/list_definition.h"

#include <QString>
#include <QVariant>

#include <array>

namespace tunarium {

inline constexpr int kThumbSteps = 100;
// Characters of a text value, after the common prefix, that the steps are spread over.
inline constexpr int kThumbDigits = 4;

// The characters a text thumb spreads its steps over, in ascending code order among the codes 1 to
// 255: digits (numeric), the symbol characters ` ! " £ $ % ^ & * ( ) ' - = _ + ] [ # ; ~ @ : / . ,
// ? \ | and space (symbols), upper-case letters (alpha) and lower-case letters (alpha with
// mixedCase).
QString thumbAlphabet(const ThumbOptions& options);

class ThumbSteps {
public:
    // No steps: the table or range was empty.
    ThumbSteps() = default;

    // Number field: value 1 is low, value 100 high, value i low + (high - low) / 99 x (i - 1), the
    // fraction cut off.
    static ThumbSteps numbers(qint64 low, qint64 high);
    // Text field of `fieldWidth` characters. Letters are upper-cased when the alphabet has no
    // lower-case ones; `high` is padded to the field width with the alphabet's last character.
    // After the common prefix, four characters of each are read as a number in base (alphabet size
    // + 1), each character counting as its place in the alphabet (a character outside the alphabet
    // as the place of the nearest one below it, a missing one as 0), and the steps between them
    // are spelled back: value i is the prefix and low + (high - low) / 99 x (i - 1) in integer
    // division. A digit 0 ends the spelled text. Value 1 is the prefix and low's characters, value
    // 100 the prefix and high's. An empty alphabet gives no steps.
    static ThumbSteps texts(const QString& low, const QString& high, int fieldWidth,
                            const ThumbOptions& options);

    bool isValid() const { return m_valid; }
    bool isText() const { return m_text; }
    // Step value i, 1 to 100.
    QVariant value(int i) const;
    // The thumb position of a record whose field holds `fieldValue`: the first step whose value is
    // greater than or equal to it (text upper-cased); 0 when that is step 1, 100 when none is.
    int positionOf(const QVariant& fieldValue) const;

private:
    bool m_valid = false;
    bool m_text = false;
    std::array<qint64, kThumbSteps> m_numbers{};
    std::array<QString, kThumbSteps> m_texts;
};

} // namespace tunarium
