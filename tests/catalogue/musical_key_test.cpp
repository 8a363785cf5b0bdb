// Musical keys against a wheel built here by walking the circle of fifths: each step a fifth up,
// one number on; the relative minor of each major key on the same number; Open Key six numbers
// round from Camelot.
#include "catalogue/musical_key.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

struct WheelStep {
    QString major, majorOther; // spellings of the major key (the other blank when none is usual)
    QString minor, minorOther; // and of its relative minor
};

// C major and A minor first (Camelot 8, Open Key 1), each next a fifth up.
const WheelStep kCircle[] = {
    {"C", "", "A", ""},     {"G", "", "E", ""},      {"D", "", "B", ""},     {"A", "", "F#", "Gb"},
    {"E", "", "C#", "Db"},  {"B", "Cb", "G#", "Ab"}, {"F#", "Gb", "D#", "Eb"}, {"Db", "C#", "Bb", "A#"},
    {"Ab", "G#", "F", ""},  {"Eb", "D#", "C", ""},   {"Bb", "A#", "G", ""},  {"F", "", "D", ""},
};

} // namespace

TEST(MusicalKey, EveryKeyInEveryNotationReadsAsItsCamelotKey) {
    for (int step = 0; step < 12; ++step) {
        const WheelStep& s = kCircle[step];
        const int camelot = (7 + step) % 12 + 1;
        const int open = step + 1;
        const QString minorKey = QString::number(camelot) + "A";
        const QString majorKey = QString::number(camelot) + "B";
        QList<QPair<QString, QString>> spellings;
        for (const QString& note : {s.minor, s.minorOther}) {
            if (note.isEmpty()) {
                continue;
            }
            QString sharp = note;
            sharp.replace("#", QString(QChar(0x266F))).replace("b", QString(QChar(0x266D)));
            for (const QString& text : {note + "m", note + " minor", note + "min", note + " Min", note.toLower() + "M",
                                        sharp + "m", " " + note + " MINOR "}) {
                spellings << qMakePair(text, minorKey);
            }
        }
        for (const QString& note : {s.major, s.majorOther}) {
            if (note.isEmpty()) {
                continue;
            }
            QString flat = note;
            flat.replace("#", QString(QChar(0x266F))).replace("b", QString(QChar(0x266D)));
            for (const QString& text : {note, note + " major", note + "maj", note.toLower() + " Major", flat}) {
                spellings << qMakePair(text, majorKey);
            }
        }
        for (const QString& letter : {QString("A"), QString("B")}) {
            const QString key = QString::number(camelot) + letter;
            spellings << qMakePair(key, key) << qMakePair(key.toLower(), key)
                      << qMakePair(QString("%1").arg(camelot, 2, 10, QChar('0')) + letter, key)
                      << qMakePair(" " + QString::number(camelot) + " " + letter.toLower(), key);
        }
        spellings << qMakePair(QString::number(open) + "m", minorKey) << qMakePair(QString::number(open) + "d", majorKey)
                  << qMakePair(QString::number(open) + " M", minorKey);
        for (const auto& [text, expected] : spellings) {
            EXPECT_EQ(camelotKey(text), expected) << text.toStdString();
        }
    }
}

TEST(MusicalKey, TextsThatNameNoKeyReadBlank) {
    for (const char* text : {"", " ", "H", "Hm", "13A", "0A", "8C", "8", "A##", "Am7", "Cmajor7", "o", "-",
                             "A mi nor x", "1x", "E#b", "xx8A"}) {
        EXPECT_EQ(camelotKey(QString::fromUtf8(text)), QString()) << text;
    }
}

// Compatible keys: the same, the other letter of its number, and one number round on its letter.
TEST(MusicalKey, CompatibleKeysGoRoundTheWheel) {
    for (int n = 1; n <= 12; ++n) {
        for (bool major : {false, true}) {
            const CamelotKey key{n, major};
            QStringList expected{key.text(), CamelotKey{n, !major}.text(),
                                 CamelotKey{n == 1 ? 12 : n - 1, major}.text(),
                                 CamelotKey{n == 12 ? 1 : n + 1, major}.text()};
            QStringList got;
            for (const CamelotKey& k : compatibleKeys(key)) {
                got << k.text();
            }
            EXPECT_EQ(got, expected) << key.text().toStdString();
            int compatible = 0;
            for (int m = 1; m <= 12; ++m) {
                for (bool other : {false, true}) {
                    compatible += keysCompatible(key.text(), CamelotKey{m, other}.text()) ? 1 : 0;
                }
            }
            EXPECT_EQ(compatible, 4) << key.text().toStdString();
        }
    }
    EXPECT_TRUE(keysCompatible(u"Am", u"C"));
    EXPECT_TRUE(keysCompatible(u"12B", u"1B"));
    EXPECT_FALSE(keysCompatible(u"12B", u"1A"));
    EXPECT_FALSE(keysCompatible(u"", u"8A"));
}
