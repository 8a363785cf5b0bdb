// The playlist generator: numbering and description, what a choice lets through, the weightings,
// the checks of a choice, and draws that are uniform over a collection with gaps.
#include "data/date_time.h"
#include "playlists/playlist_fixture.h"
#include "playlists/playlist_generator.h"

#include <QRandomGenerator>
#include <QSet>

#include <cmath>

using namespace tunarium;

namespace {

class GeneratorTest : public test::PlaylistTest {
protected:
    GeneratedPlaylist generate(GeneratorChoice choice, quint32 seed = 7) {
        SeededRandom random(seed);
        choice.today = kToday;
        return PlaylistGenerator(db, random).generate(choice);
    }

    static constexpr qint64 kToday = 82000; // 4 July 2025
};

TEST_F(GeneratorTest, PlaylistsAreNumberedWithFreeNumbersAndDescriptions) {
    addSongs(3);
    const GeneratedPlaylist first = generate({});
    const GeneratedPlaylist second = generate({});
    EXPECT_EQ(first.playlistId, 1);
    EXPECT_EQ(first.description, "Play List #1");
    EXPECT_EQ(second.description, "Play List #2");
    // Size 0: a playlist without entries.
    EXPECT_EQ(first.entries, 0);
    EXPECT_TRUE(entries(1).isEmpty());
    // A description another playlist took already moves the number on.
    addPlaylist(3, QStringLiteral("Play List #4"));
    const GeneratedPlaylist third = generate({});
    EXPECT_EQ(third.playlistId, 5);
    EXPECT_EQ(third.description, "Play List #5");
    PlaylistRecord stored;
    ASSERT_TRUE(db.store().get(pld::kKeyPlaylistId, {qint64(5)}, stored).ok());
    EXPECT_EQ(stored.lastEditDate, kToday);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(GeneratorTest, NoSongsWritesNothing) {
    const GeneratedPlaylist result = generate({5});
    EXPECT_TRUE(result.noSongs);
    EXPECT_EQ(playlistCount(), 0);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Error");
    EXPECT_EQ(prompter.messages[0].text, "There are no songs to select from");
}

TEST_F(GeneratorTest, OneSongFillsEveryPlaceInDrawOrder) {
    addSong(7);
    const GeneratedPlaylist result = generate({3});
    EXPECT_EQ(result.entries, 3);
    EXPECT_EQ(songsOf(result.playlistId), QVector<qint64>({7, 7, 7}));
    EXPECT_EQ(sequencesOf(result.playlistId), QVector<qint64>({1, 2, 3}));
}

TEST_F(GeneratorTest, NothingMatchingWritesNoPlaylistAndSaysSo) {
    addSong(1, dayNumberFromYmd(1980, 5, 1));
    addSong(2, 1985);
    GeneratorChoice choice{10, dayNumberFromYmd(1990, 1, 1), dayNumberFromYmd(1999, 12, 31)};
    const GeneratedPlaylist result = generate(choice);
    EXPECT_EQ(result.entries, 0);
    EXPECT_EQ(result.playlistId, 0);
    EXPECT_EQ(result.qualifying, 0);
    EXPECT_EQ(playlistCount(), 0);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("No song passes the choice")) << prompter.messages[0].text.toStdString();
}

// A choice few songs of a large collection pass: the draws go on among those songs until the
// playlist is full, or holds each of them once; a short playlist says how many and why.
TEST_F(GeneratorTest, AChoiceFewSongsPassIsDrawnUntilFullOrUsedUp) {
    addCategory(4, QStringLiteral("Rock"));
    for (qint64 id = 1; id <= 3000; ++id) {
        addSong(id, 0, id % 375 == 0 ? 4 : 0); // 8 rock songs among 3000
    }
    GeneratorChoice rock{20};
    rock.category = QStringLiteral("Rock");
    for (const bool once : {false, true}) {
        SCOPED_TRACE(once ? "each song once" : "songs may repeat");
        prompter.messages.clear();
        rock.eachSongOnce = once;
        const GeneratedPlaylist result = generate(rock);
        const QVector<qint64> songs = songsOf(result.playlistId);
        for (qint64 song : songs) {
            EXPECT_EQ(song % 375, 0) << song;
        }
        EXPECT_EQ(result.qualifying, 8);
        EXPECT_EQ(songs.size(), once ? 8 : 20);
        EXPECT_EQ(QSet<qint64>(songs.begin(), songs.end()).size(), 8);
        if (once) {
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(prompter.messages[0].text, "The play list holds 8 of the 20 songs asked for: only 8 songs pass "
                                                 "the choice, and each song comes once.");
        } else {
            EXPECT_TRUE(prompter.messages.isEmpty());
        }
    }
}

TEST_F(GeneratorTest, ReleaseDatesAndBareYearsAgainstTheBounds) {
    const qint64 jan1990 = dayNumberFromYmd(1990, 1, 1);
    const qint64 dec1994 = dayNumberFromYmd(1994, 12, 31);
    struct Case {
        qint64 release, from, to;
        bool passes;
    } cases[] = {
        {dayNumberFromYmd(1992, 6, 1), jan1990, dec1994, true},
        {dayNumberFromYmd(1989, 12, 31), jan1990, 0, false},
        {dayNumberFromYmd(1995, 1, 1), 0, dec1994, false},
        // A bare year is compared by year: any date of 1990 starts its year.
        {1990, dayNumberFromYmd(1990, 7, 1), 0, true},
        {1989, jan1990, 0, false},
        {1995, 0, dec1994, false},
        {1994, 0, dayNumberFromYmd(1994, 3, 1), true},
        // Bounds given as bare years take the whole year.
        {dayNumberFromYmd(1994, 12, 31), 1990, 1994, true},
        {dayNumberFromYmd(1995, 1, 1), 1990, 1994, false},
        // A song without a date is below any start and passes an end.
        {0, jan1990, 0, false},
        {0, 0, dec1994, true},
        {0, 0, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(releaseInRange(c.release, c.from, c.to), c.passes)
            << c.release << " from " << c.from << " to " << c.to;
    }
}

TEST_F(GeneratorTest, CategoryDoNotPlayAndEachSongOnce) {
    addCategory(4, QStringLiteral("Rock"));
    addCategory(9, QStringLiteral("Jazz"));
    for (int i = 1; i <= 20; ++i) {
        SongRecord s;
        s.id = i;
        s.categoryId = i % 2 ? 4 : 9;
        s.doNotPlay = i % 4 == 1 ? 1 : 0;
        ASSERT_TRUE(db.store().insert(s).ok());
    }
    GeneratorChoice rock{30};
    rock.category = QStringLiteral("rock"); // the name key ignores case
    rock.skipDoNotPlay = true;
    const GeneratedPlaylist result = generate(rock);
    EXPECT_EQ(result.entries, 30);
    for (qint64 song : songsOf(result.playlistId)) {
        EXPECT_EQ(song % 2, 1) << song;
        EXPECT_NE(song % 4, 1) << song;
    }
    // Five rock songs may be played: asked for each song once, the playlist holds them all and no
    // more, however many draws it takes.
    rock.eachSongOnce = true;
    const GeneratedPlaylist once = generate(rock);
    QVector<qint64> songs = songsOf(once.playlistId);
    std::sort(songs.begin(), songs.end());
    EXPECT_EQ(songs, QVector<qint64>({3, 7, 11, 15, 19}));
}

TEST_F(GeneratorTest, ReleaseWeightingsPassOverTheOtherKindHalfTheTime) {
    const int year = releaseYear(kToday);
    struct Case {
        Weighting weighting;
        qint64 release;
        bool alwaysTaken;
    } cases[] = {
        {Weighting::RecentRelease, year, true},
        {Weighting::RecentRelease, year - 1, false},
        {Weighting::RecentRelease, kToday - kRecentDays, true},
        {Weighting::RecentRelease, kToday - kRecentDays - 1, false},
        {Weighting::RecentRelease, 0, true},
        {Weighting::OlderRelease, year, false},
        {Weighting::OlderRelease, year - 1, true},
        {Weighting::OlderRelease, kToday - 10, false},
        {Weighting::OlderRelease, 0, true},
        {Weighting::None, year - 30, true},
    };
    qint64 id = 0;
    for (const Case& c : cases) {
        ++id;
        Transaction tx(db.store());
        db.store().exec(QStringLiteral("DELETE FROM \"Tunarium\""));
        tx.commit();
        addSong(id, c.release);
        GeneratorChoice choice{90};
        choice.weighting = c.weighting;
        const GeneratedPlaylist result = generate(choice, static_cast<quint32>(id));
        ASSERT_EQ(result.entries, 90);
        if (c.alwaysTaken) {
            EXPECT_EQ(result.draws, 90) << int(c.weighting) << " " << c.release;
        } else {
            // About two draws a song: 180 expected, far from 90 and from 1001.
            EXPECT_GT(result.draws, 140) << int(c.weighting) << " " << c.release;
            EXPECT_LT(result.draws, 230) << int(c.weighting) << " " << c.release;
        }
    }
}

TEST_F(GeneratorTest, ChecksOfAChoiceNameTheFieldToSelect) {
    addCategory(1, QStringLiteral("Rock"));
    SeededRandom random(1);
    PlaylistGenerator generator(db, random);
    const qint64 may = dayNumberFromYmd(2000, 5, 1);
    struct Case {
        GeneratorChoice choice;
        GeneratorField field;
        QString caption;
    } cases[] = {
        {{99}, GeneratorField::None, {}},
        {{100}, GeneratorField::Size, "Range Error"},
        {{-1}, GeneratorField::Size, "Range Error"},
        {{5, may, may - 1}, GeneratorField::To, "Range Error"},
        {{5, may, may}, GeneratorField::None, {}},
        {{5, 2001, may}, GeneratorField::To, "Range Error"},
        {{5, 0, 0, QStringLiteral("Polka")}, GeneratorField::Category, "Field Contents Error"},
        {{5, 0, 0, QStringLiteral("ROCK")}, GeneratorField::None, {}},
        {{5, 0, 0, QStringLiteral("   ")}, GeneratorField::None, {}},
    };
    for (const Case& c : cases) {
        const GeneratorProblem problem = generator.check(c.choice);
        EXPECT_EQ(problem.field, c.field) << c.choice.size << " " << c.choice.category.toStdString();
        EXPECT_EQ(problem.message.caption, c.caption);
    }
    EXPECT_EQ(generator.check({100}).message.text, "The value of Play List Size must be between 0 and 99.");
    EXPECT_EQ(generator.check({5, 0, 0, QStringLiteral("Polka")}).message.text,
              "The value for Category must be found in the Categories file.");
}

// Songs added in order with a share deleted at random: every draw names a song that exists, the
// counts fit a uniform choice (chi-square over 10,000 draws), and the newest songs, numbered above
// the count of songs, come up as often as the oldest.
TEST_F(GeneratorTest, DrawsAreUniformOverTheSongsThatExist) {
    constexpr int kSongs = 200;
    constexpr int kDraws = 10000;
    addSongs(kSongs);
    QRandomGenerator pick(99);
    QSet<qint64> deleted;
    while (deleted.size() < 60) {
        const qint64 id = pick.bounded(1, kSongs - 10); // the ten newest stay
        if (!deleted.contains(id)) {
            deleted.insert(id);
            removeSong(id);
        }
    }
    const int kept = kSongs - static_cast<int>(deleted.size());
    SeededRandom random(2024);
    SongDrawer drawer(db.store(), random);
    ASSERT_TRUE(drawer.prepare().ok());
    QHash<qint64, int> counts;
    for (int i = 0; i < kDraws; ++i) {
        SongRecord song;
        ASSERT_TRUE(drawer.draw(DrawRange::All, song).ok());
        ASSERT_FALSE(deleted.contains(song.id));
        ++counts[song.id];
    }
    EXPECT_EQ(counts.size(), kept);
    const double expected = double(kDraws) / kept;
    double chiSquare = 0;
    for (int c : counts) {
        chiSquare += (c - expected) * (c - expected) / expected;
    }
    // 139 degrees of freedom: the 99.9th percentile is about 192.
    EXPECT_LT(chiSquare, 192);
    int newest = 0;
    int oldest = 0;
    int seenOld = 0;
    for (qint64 id = 1; seenOld < 10; ++id) {
        if (!deleted.contains(id)) {
            oldest += counts.value(id);
            ++seenOld;
        }
    }
    for (qint64 id = kSongs - 9; id <= kSongs; ++id) {
        newest += counts.value(id);
    }
    EXPECT_NEAR(newest, oldest, 0.25 * 10 * expected);
    EXPECT_GT(drawer.gapsMet(), 0);
}

// The halves split the songs that exist by their order of addition, whatever was deleted: with
// most of the newer numbers gone, the newer half still holds half of the songs.
TEST_F(GeneratorTest, AdditionHalvesSplitTheSongsThatExist) {
    addSongs(200);
    for (qint64 id = 100; id <= 190; ++id) {
        removeSong(id);
    }
    // Left: 1 to 99 and 191 to 200, 109 songs; the middle one is the 54th.
    SeededRandom random(5);
    SongDrawer drawer(db.store(), random);
    ASSERT_TRUE(drawer.prepare().ok());
    QSet<qint64> newer;
    QSet<qint64> older;
    for (int i = 0; i < 2000; ++i) {
        SongRecord song;
        ASSERT_TRUE(drawer.draw(DrawRange::NewerHalf, song).ok());
        EXPECT_GE(song.id, 54);
        newer.insert(song.id);
        ASSERT_TRUE(drawer.draw(DrawRange::OlderHalf, song).ok());
        EXPECT_LE(song.id, 54);
        older.insert(song.id);
    }
    EXPECT_EQ(newer.size(), 56);
    EXPECT_EQ(older.size(), 54);
}

TEST_F(GeneratorTest, ANearlyEmptyRangeOfNumbersStillGivesItsSongs) {
    addSongs(3000);
    Transaction tx(db.store());
    // Only two songs are left, far apart: most numbers drawn are gaps.
    ASSERT_TRUE(
        db.store().exec(QStringLiteral("DELETE FROM \"Tunarium\" WHERE \"ID\" NOT IN (17, 2999)")).ok());
    ASSERT_TRUE(tx.commit().ok());
    const GeneratedPlaylist result = generate({20});
    EXPECT_EQ(result.entries, 20);
    for (qint64 song : songsOf(result.playlistId)) {
        EXPECT_TRUE(song == 17 || song == 2999) << song;
    }
}

} // namespace

// "Compatible with the previous song": every song after the first mixes with the one before, by
// the wheel counted here (the same number, or the same letter one number round, 12 beside 1);
// songs without a key never come; a collection whose keys run out ends the playlist and says so.
TEST_F(GeneratorTest, CompatibleKeysChainEverySongToTheOneBefore) {
    // A key kept in another spelling ("Am", as an older import may have left it) counts as its key.
    const auto wheel = [](const QString& key) {
        const QString camelot = key == "Am" ? QString("8A") : key;
        return qMakePair(camelot.chopped(1).toInt(), camelot.back());
    };
    const auto mix = [&](const QString& a, const QString& b) {
        const auto [n, letter] = wheel(a);
        const auto [m, other] = wheel(b);
        const int apart = (n - m + 12) % 12;
        return n == m || (letter == other && (apart == 1 || apart == 11));
    };
    const QStringList keys{"8A", "8B", "9A", "7A", "12B", "1B", "1A", "3B", "5A", "11B", "", "Am", "x"};
    QHash<qint64, QString> keyOf;
    for (int id = 1; id <= 130; ++id) {
        SongRecord song = addSong(id);
        song.musicalKey = keys[id % keys.size()];
        ASSERT_TRUE(db.store().update(song).ok());
        keyOf[id] = song.musicalKey;
    }
    for (quint32 seed : {1u, 2u, 3u, 11u, 42u}) {
        for (bool once : {false, true}) {
            SCOPED_TRACE(QString("seed %1%2").arg(seed).arg(once ? ", each once" : "").toStdString());
            GeneratorChoice choice{20};
            choice.compatibleKeys = true;
            choice.eachSongOnce = once;
            const GeneratedPlaylist made = generate(choice, seed);
            const QVector<qint64> songs = songsOf(made.playlistId);
            ASSERT_EQ(songs.size(), 20);
            for (qsizetype i = 0; i < songs.size(); ++i) {
                const QString key = keyOf[songs[i]];
                ASSERT_TRUE(key != "" && key != "x") << "a song without a key";
                if (i > 0) {
                    EXPECT_TRUE(mix(keyOf[songs[i - 1]], key)) << keyOf[songs[i - 1]].toStdString() << " then "
                                                               << key.toStdString();
                }
            }
        }
    }
}

TEST_F(GeneratorTest, CompatibleKeysThatRunOutEndThePlaylistAndSaySo) {
    const std::pair<qint64, const char*> songs[] = {{1, "8A"}, {2, "3B"}, {3, ""}};
    for (const auto& [id, key] : songs) {
        SongRecord song = addSong(id);
        song.musicalKey = key;
        ASSERT_TRUE(db.store().update(song).ok());
    }
    GeneratorChoice choice{5};
    choice.compatibleKeys = true;
    choice.eachSongOnce = true;
    const GeneratedPlaylist made = generate(choice);
    EXPECT_EQ(made.entries, 1);
    EXPECT_TRUE(made.keysRanOut);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              "The play list holds 1 of the 5 songs asked for: no song left mixes with the key of the last one.");
    // Taken again and again, one song mixes with itself.
    choice.eachSongOnce = false;
    EXPECT_EQ(generate(choice).entries, 5);
}
