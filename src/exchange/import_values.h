// How an import reads the text of a field into the value of a song field that holds a number.
#pragma once

#include <QString>

namespace tunarium {

// The whole number a text stands for: blanks around it allowed, a fraction of zeros allowed.
// False for anything else (letters, a fraction, more digits than any field holds).
bool readWholeNumber(const QString& text, qint64& out);

// A song length as people write it: "m:ss", "mm:ss", "h:mm:ss", each with hundredths after a
// point if wanted ("3:56.20"; one digit is tenths). Without hours the minutes may pass 59: a long
// mix is "75:30". The time value (hundredths plus one), or 0 when the text is no such length;
// `withHours` tells whether the text gave hours.
qint64 readSongLength(const QString& text, bool* withHours = nullptr);

// Whether a field read through `picture` is a length in hours, minutes and seconds (@t4, @t5):
// a text of only minutes and seconds ("3:56") then means just that, not 3 hours 56 minutes, as
// song lengths are written. Three parts ("0:03:56", as an export writes them) read as before.
bool readsLengthWithSeconds(const QString& picture);

} // namespace tunarium
