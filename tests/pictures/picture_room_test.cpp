// The room a picture's texts need: which texts a list column or an entry field must show whole.
#include "data/picture_room.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

TEST(PictureRoom, NamesTheWidestTextsOfEachKindOfPicture) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    struct Case {
        const char* picture;
        QStringList mustHold; // among the samples
        int characters;
    };
    // clang-format off
    const Case cases[] = {
        {"@t4b", {"10:59:59", "23:59:59"}, 8},            // song and album times, blank when 0 or not
        {"@t1", {"23:59"}, 5},
        {"@d2", {"12/28/2000"}, 10},
        {"@d4", {"September 28, 2000"}, 18},               // every month's name is a sample
        {"@d17-", {}, 0},                                  // the system's format: checked below
        {"@n3", {"999"}, 3},
        {"@n_4b", {"9999"}, 4},
        {"@n2b", {"99"}, 2},
        {"@p(<)pb", {"(9)"}, 3},                           // a side number in parentheses
        {"@s20", {}, 20},                                  // a media name or a file number, whole
        {"@s50", {}, 30},                                  // no more than the most asked for
    };
    // clang-format on
    for (const Case& c : cases) {
        const PictureRoom room = pictureRoom(Picture::parse(QString::fromLatin1(c.picture), us), 30);
        for (const QString& text : c.mustHold) {
            EXPECT_TRUE(room.samples.contains(text)) << c.picture << " lacks " << text.toStdString() << " in "
                                                     << room.samples.join(u',').toStdString();
        }
        if (c.characters > 0) {
            EXPECT_EQ(room.characters, c.characters) << c.picture;
        }
    }
    // A date in the system's form is as long as its longest month makes it.
    const PictureRoom system = pictureRoom(Picture::parse(u"@d17-", us), 30);
    EXPECT_EQ(system.samples.size(), 12);
    EXPECT_FALSE(system.samples.contains(QString()));
    EXPECT_GE(system.characters, 8);
}

} // namespace
} // namespace tunarium
