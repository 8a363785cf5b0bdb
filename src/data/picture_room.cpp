// The room a picture's texts need.
#include "data/picture_room.h"

#include "data/date_time.h"

#include <algorithm>

namespace tunarium {

namespace {

// The largest number of `digits` digits, for a number or pattern picture's widest text.
qint64 allNines(int digits) {
    qint64 n = 0;
    for (int i = 0; i < std::clamp(digits, 1, 18); ++i) {
        n = n * 10 + 9;
    }
    return n;
}

QStringList dateSamples(const Picture& picture) {
    // The 28th falls in every month, and two-digit days and months are the widest numeric forms.
    QStringList out;
    for (int month = 1; month <= 12; ++month) {
        out << picture.format(dayNumberFromYmd(2000, month, 28));
    }
    return out;
}

QStringList timeSamples(const Picture& picture) {
    // Two-digit hours: the longest album times, and the afternoon of the clock forms.
    return {picture.format(timeValueFromParts({10, 59, 59, 0})),
            picture.format(timeValueFromParts({23, 59, 59, 0}))};
}

} // namespace

PictureRoom pictureRoom(const Picture& picture, int maxTextCharacters) {
    PictureRoom room;
    switch (picture.kind()) {
    case Picture::Kind::Text:
    case Picture::Kind::Unknown:
        room.characters =
            picture.width() > 0 ? std::min(picture.width(), maxTextCharacters) : maxTextCharacters;
        return room;
    case Picture::Kind::Number:
        // A number picture without a width holds the values of a byte or a short count.
        room.samples << picture.format(allNines(picture.width() > 0 ? picture.width() : 3));
        break;
    case Picture::Kind::Pattern:
        room.samples << picture.format(allNines(picture.width()));
        break;
    case Picture::Kind::Date:
        room.samples = dateSamples(picture);
        break;
    case Picture::Kind::Time:
        room.samples = timeSamples(picture);
        break;
    }
    room.samples.removeAll(QString());
    for (const QString& s : std::as_const(room.samples)) {
        room.characters = std::max(room.characters, static_cast<int>(s.size()));
    }
    return room;
}

PictureRoom pictureRoom(QStringView picture, int maxTextCharacters) {
    return pictureRoom(Picture::parse(picture), maxTextCharacters);
}

} // namespace tunarium
