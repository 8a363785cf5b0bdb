// The duplicate key's folding: pairs of artist and title that must be the same song, and pairs
// that must not.
#include "survey/duplicate_key.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

struct Song {
    const char* artist;
    const char* title;
};

struct Pair {
    Song a;
    Song b;
    bool same;
    const char* why;
};

QString keyOf(const Song& s) {
    return duplicateSongKey(QString::fromUtf8(s.artist), QString::fromUtf8(s.title));
}

const Pair kPairs[] = {
    // Case, accents and the letters written out.
    {{"Abba", "Dancing Queen"}, {"ABBA", "dancing queen"}, true, "case"},
    {{"Beyoncé", "Halo"}, {"Beyonce", "Halo"}, true, "accents"},
    {{"Motörhead", "Ace of Spades"}, {"MOTORHEAD", "Ace Of Spades"}, true, "umlaut in capitals"},
    {{"Die Ärzte", "Schrei nach Liebe"}, {"Die Arzte", "Schrei nach Liebe"}, true, "umlaut"},
    {{"Straßenjungs", "Ich"}, {"Strassenjungs", "Ich"}, true, "sharp s"},
    {{"Sigur Rós", "Hoppípolla"}, {"Sigur Ros", "Hoppipolla"}, true, "accents in title"},
    // Punctuation.
    {{"R.E.M.", "Losing My Religion"}, {"REM", "Losing my religion"}, true, "full stops"},
    {{"Guns N' Roses", "Don't Cry"}, {"Guns N Roses", "Dont Cry"}, true, "apostrophes"},
    {{"Guns N’ Roses", "Don’t Cry"}, {"Guns N' Roses", "Don't Cry"}, true, "typographic apostrophes"},
    {{"Jay-Z", "99 Problems"}, {"Jay Z", "99 Problems!"}, true, "hyphen and exclamation"},
    {{"AC/DC", "T.N.T."}, {"AC DC", "TNT"}, true, "slash"},
    {{"Oasis", "Wonderwall  "}, {"Oasis", "  Wonderwall"}, true, "blanks"},
    {{"Oasis", "Champagne  Supernova"}, {"Oasis", "Champagne Supernova"}, true, "blanks between words"},
    // "and" and "&".
    {{"Simon & Garfunkel", "The Boxer"}, {"Simon and Garfunkel", "The Boxer"}, true, "ampersand"},
    {{"Simon&Garfunkel", "The Boxer"}, {"Simon And Garfunkel", "The Boxer"}, true, "ampersand unspaced"},
    {{"Queen", "Bites & Pieces"}, {"Queen", "Bites and Pieces"}, true, "ampersand in title"},
    // Featured artists, from the artist and from the title.
    {{"Eminem feat. Rihanna", "Love the Way You Lie"}, {"Eminem", "Love the Way You Lie"}, true, "feat."},
    {{"Eminem ft. Rihanna", "Love the Way You Lie"}, {"Eminem Featuring Rihanna", "Love the Way You Lie"}, true,
     "ft. and featuring"},
    {{"Eminem (feat. Rihanna)", "Love the Way You Lie"}, {"Eminem", "Love the Way You Lie"}, true,
     "bracketed feat. in artist"},
    {{"Eminem", "Love the Way You Lie (feat. Rihanna)"}, {"Eminem", "Love the Way You Lie"}, true,
     "bracketed feat. in title"},
    {{"Eminem", "Love the Way You Lie ft Rihanna"}, {"Eminem", "Love the Way You Lie"}, true, "ft in title"},
    {{"Ed Sheeran", "Perfect (with Beyoncé)"}, {"Ed Sheeran", "Perfect"}, true, "bracketed with"},
    {{"Eminem", "Love the Way You Lie (feat. Rihanna) [Radio Edit]"}, {"EMINEM", "Love The Way You Lie"}, true,
     "feat. and a version"},
    // The article.
    {{"The Beatles", "Help!"}, {"Beatles", "Help"}, true, "leading The"},
    {{"Beatles, The", "Help!"}, {"The Beatles", "Help!"}, true, "trailing , The"},
    // Version words.
    {{"The Beatles", "Let It Be (Remastered 2009)"}, {"The Beatles", "Let It Be"}, true, "remastered year"},
    {{"Queen", "Bohemian Rhapsody (2011 Remaster)"}, {"Queen", "Bohemian Rhapsody"}, true, "year remaster"},
    {{"Queen", "Bohemian Rhapsody - Remastered 2011"}, {"Queen", "Bohemian Rhapsody"}, true, "dash remastered"},
    {{"Queen", "Bohemian Rhapsody – 2011 Remaster"}, {"Queen", "Bohemian Rhapsody"}, true, "en dash"},
    {{"Madonna", "Vogue (Radio Edit)"}, {"Madonna", "Vogue"}, true, "radio edit"},
    {{"Madonna", "Vogue [Single Version]"}, {"Madonna", "Vogue"}, true, "single version, square"},
    {{"Madonna", "Vogue (Album Version)"}, {"Madonna", "Vogue (Edit)"}, true, "two versions"},
    {{"The Beach Boys", "God Only Knows (Mono)"}, {"The Beach Boys", "God Only Knows (Stereo)"}, true,
     "mono and stereo"},
    {{"Prince", "Purple Rain (Digitally Re-Mastered)"}, {"Prince", "Purple Rain"}, true, "re-mastered"},
    {{"Prince", "Purple Rain (2015 Paisley Park Remaster)"}, {"Prince", "Purple Rain"}, false,
     "a word that is no version word keeps the part"},
    {{"Bowie", "Heroes (1999)"}, {"Bowie", "Heroes"}, true, "a year alone"},
    {{"Bowie", "Heroes (7\" Version)"}, {"Bowie", "Heroes"}, true, "a number with a version word"},
    {{"Bowie", "Heroes (Remastered) (Bonus Track)"}, {"Bowie", "Heroes"}, true, "two parts"},
    {{"Bowie", "Heroes (50th Anniversary Edition)"}, {"Bowie", "Heroes"}, true, "ordinal"},
    // Other recordings, other songs.
    {{"Madonna", "Vogue (Remix)"}, {"Madonna", "Vogue"}, false, "a remix is another recording"},
    {{"Madonna", "Vogue (Club Mix)"}, {"Madonna", "Vogue"}, false, "a mix is another recording"},
    {{"Madonna", "Vogue (Live)"}, {"Madonna", "Vogue"}, false, "live"},
    {{"Madonna", "Vogue (Live 1990)"}, {"Madonna", "Vogue"}, false, "live with a year"},
    {{"Madonna", "Vogue (Acoustic Version)"}, {"Madonna", "Vogue"}, false, "acoustic"},
    {{"Madonna", "Vogue (Demo)"}, {"Madonna", "Vogue"}, false, "demo"},
    {{"Pink Floyd", "Another Brick in the Wall (Part 2)"}, {"Pink Floyd", "Another Brick in the Wall"}, false,
     "part 2"},
    {{"Pink Floyd", "Another Brick in the Wall (Part 2)"}, {"Pink Floyd", "Another Brick in the Wall (Part 1)"},
     false, "part 1 and 2"},
    {{"Bowie", "Heroes (2)"}, {"Bowie", "Heroes"}, false, "a number alone"},
    {{"Bowie", "Heroes - Live"}, {"Bowie", "Heroes"}, false, "dash live"},
    {{"Bowie", "Heroes"}, {"Bowie", "Hero"}, false, "another title"},
    {{"Bowie", "Heroes"}, {"Iggy Pop", "Heroes"}, false, "another artist"},
    {{"Café", "Song"}, {"Cafe Del Mar", "Song"}, false, "a longer name"},
    {{"Them", "Gloria"}, {"The", "Gloria"}, false, "not an article"},
    {{"Beyoncé", "Halo"}, {"Beyoncé", "Halo 2"}, false, "a trailing number outside brackets"},
    // A title that is a version part only keeps it; a first word "ft" is the title's own.
    {{"Various", "(Remastered)"}, {"Various", "Remastered"}, true, "the part is the whole title"},
    {{"Artist", "Ft. Worth Blues"}, {"Artist", "Ft Worth Blues"}, true, "ft first"},
    {{"Artist", "Ft. Worth Blues"}, {"Artist", "Ft."}, false, "ft first is not cut"},
    // Scripts whose marks make other letters.
    {{"ゆず", "か"}, {"ゆず", "が"}, false, "kana marks"},
};

TEST(DuplicateKeyTest, PairsThatMustAndMustNotMatch) {
    for (const Pair& pair : kPairs) {
        const QString a = keyOf(pair.a);
        const QString b = keyOf(pair.b);
        SCOPED_TRACE(pair.why);
        if (pair.same) {
            EXPECT_FALSE(a.isEmpty()) << pair.a.artist << " / " << pair.a.title;
            EXPECT_EQ(a, b) << pair.a.title << " against " << pair.b.title;
        } else {
            EXPECT_TRUE(a.isEmpty() || a != b) << pair.a.title << " against " << pair.b.title << ": "
                                               << a.toStdString();
        }
    }
}

// A song without an artist or a title is no one's duplicate, also when folding leaves nothing.
TEST(DuplicateKeyTest, NoKeyWithoutArtistAndTitle) {
    const Song empty[] = {{"", "Song"}, {"Artist", ""}, {"   ", "Song"}, {"...", "Song"}, {"Artist", "?!"},
                          {"The", ""}};
    for (const Song& s : empty) {
        EXPECT_TRUE(keyOf(s).isEmpty()) << s.artist << " / " << s.title;
    }
    // The artist and title stay apart: "A B" + "C" is not "A" + "B C".
    EXPECT_NE(duplicateSongKey("A B", "C"), duplicateSongKey("A", "B C"));
}

} // namespace
