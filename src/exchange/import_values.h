// How an import reads the text of a field into the value of a song field that holds a number.
#pragma once

#include "data/date_time.h" // readSongLength

#include <QString>

namespace tunarium {

// The whole number a text stands for: blanks around it allowed, a fraction of zeros allowed.
// False for anything else (letters, a fraction, more digits than any field holds).
bool readWholeNumber(const QString& text, qint64& out);

// Whether a field read through `picture` is a length in hours, minutes and seconds (@t4, @t5):
// a text of only minutes and seconds ("3:56") then means just that, not 3 hours 56 minutes, as
// song lengths are written. Three parts ("0:03:56", as an export writes them) read as before.
bool readsLengthWithSeconds(const QString& picture);

} // namespace tunarium
