// The room a picture's texts need on screen: a list column or an entry field must show every value
// its picture produces without cutting it, whatever the font. Windows measure these texts with
// their own font; this module only says which texts and how many characters.
#pragma once

#include "data/pictures.h"

#include <QStringList>

namespace tunarium {

struct PictureRoom {
    // Texts the picture must show whole: for numbers, dates, times and patterns the widest texts
    // of the values the program keeps (every month's name for the named-month dates, the longest
    // song and album times); none for a text picture.
    QStringList samples;
    // Average characters to leave room for: a text picture's width (at most `maxTextCharacters`),
    // else the longest sample's length.
    int characters = 0;
};

PictureRoom pictureRoom(const Picture& picture, int maxTextCharacters);
PictureRoom pictureRoom(QStringView picture, int maxTextCharacters);

} // namespace tunarium
