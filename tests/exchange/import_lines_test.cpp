// What a line of an import file puts into a song: values through pictures, song lengths, media
// codes, category names, values cut to their field, lines left out, plain header names, and what a
// run that adds nothing says.
#include "exchange_fixture.h"
#include "shell/media_seeding.h"

using namespace tunarium;

namespace {

class ImportLinesTest : public test::ExchangeFixture {};

TEST_F(ImportLinesTest, ARunThatAddsNoSongSaysSoAndWhy) {
    struct Case {
        const char* file;
        const char* said; // what follows "No songs were imported: "
        bool cancelAtOnce = false;
        bool refuseSongs = false;
    };
    const Case cases[] = {
        {"\"TUN:Artist\",\"TUN:Title\"\n", "the file holds no lines after its header record."},
        {"\"TUN:Artist\",\"TUN:Rating\"\n\"A\",300\n\"B\",x\n",
         "each of the file's 2 lines holds a value that does not fit its song field.\n\n"
         "Line 2: TUN:Rating cannot hold 300 (it holds 0 to 255)\n"
         "Line 3: TUN:Rating cannot hold \"x\", which is not a whole number"},
        {"\"TUN:Artist\"\n\"A\"\n", "the import was cancelled before a song was added.", true},
        {"\"TUN:Artist\"\n\"A\"\n", "the songs could not be added (Error #40 - Creates Duplicate Key).",
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        test::TempCollection fresh;
        RecordingPrompter told;
        Database target(told, fresh.dir(), fresh.configDir() + "/profile.ini");
        if (c.refuseSongs) {
            ASSERT_TRUE(target.openTable(TableId::Tunarium));
            ASSERT_TRUE(target.store()
                            .exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON main.\"Tunarium\" "
                                  "BEGIN SELECT RAISE(ABORT, 'no songs today'); END")
                            .ok());
        }
        ImportSetup s;
        ASSERT_EQ(s.open(writeFile(c.file)), ImportSetup::OpenResult::Ok);
        s.autoAssign();
        ImportProcess process(target, s.takeReader(), s.plan());
        if (c.cancelAtOnce) {
            ASSERT_TRUE(process.start());
            process.cancel();
        } else {
            runToEnd(process);
        }
        told.messages.clear(); // the failed add was told on the way
        EXPECT_FALSE(importFinished(process, told));
        ASSERT_EQ(told.messages.size(), 1); // no "Import Complete", no second list of the lines
        EXPECT_EQ(told.messages[0].caption, "No Songs Imported");
        EXPECT_EQ(told.messages[0].text.toStdString(), "No songs were imported: " + std::string(c.said));
    }
}

TEST_F(ImportLinesTest, ValuesCutToTheirFieldAreCountedInTheSongsAdded) {
    const QString longArtist(60, QChar('a'));
    const QString longCategory(40, QChar('c'));
    auto process = importAuto(
        "\"TUN:Artist\",\"TUN:Mix\",\"TUN:Rating\",\"CAT:Category\"\n"
        "\"Short\",\"Mix                                        \",1,\"Pop\"\n" // blanks are no text
        "\"" +
        longArtist.toUtf8() +
        "\",\"\",300,\"Pop\"\n" // left out: not counted
        "\"Short\",\"\",2,\"" +
        longCategory.toUtf8() +
        "\"\n"
        "\"" +
        longArtist.toUtf8() + "\",\"\",3,\"" + longCategory.toUtf8() + "\"\n");
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 3);
    EXPECT_EQ(process->valuesCut(), 3);
    EXPECT_EQ(process->cutSummary(),
              "3 values were cut to their field's width; first: line 4, TUN:CategoryID");
    prompter.answers = {kButtonOk, kButtonOk, kButtonNo};
    EXPECT_FALSE(importFinished(*process, prompter));
    ASSERT_EQ(prompter.messages.size(), 3);
    EXPECT_EQ(prompter.messages[0].caption, "Lines Not Imported");
    EXPECT_EQ(prompter.messages[1].caption, "Values Cut");
    EXPECT_EQ(prompter.messages[1].text, process->cutSummary() + ".");
    EXPECT_EQ(prompter.messages[2].caption, "Import Complete");
}

TEST_F(ImportLinesTest, WhatALinePutsIntoASong) {
    struct Case {
        const char* target;
        const char* picture;
        const char* text;
        QVariant expected; // invalid: the line is left out
    };
    const Case cases[] = {
        {"TUN:ReleaseDate", "@d2", "\"01/01/2000\"", qint64(72687)},
        {"TUN:ReleaseDate", "@S1000", "\"10/31/1959\"", QVariant()}, // text is no number
        {"TUN:ReleaseDate", "@N30.9", "1998", qint64(1998)},         // stored without the picture step
        {"TUN:ReleaseDate", "@d2", "\"\"", qint64(0)},
        {"TUN:ReleaseDate", "@d2", "\"someday\"", QVariant()},
        {"TUN:Time", "@t4", "\"0:03:45\"", qint64(22501)},
        // Song lengths without a picture; a whole number is the stored value itself.
        {"TUN:Time", "@S1000", "\"3:56\"", qint64(23601)},
        {"TUN:Time", "@N30.9", "03:56", qint64(23601)},
        {"TUN:Time", "@S1000", "\"1:03:56\"", qint64(383601)},
        {"TUN:Time", "@S1000", "\" 3:56.20 \"", qint64(23621)},
        {"TUN:Time", "@S1000", "\"3:56.5\"", qint64(23651)},
        {"TUN:Time", "@S1000", "\"75:30\"", qint64(453001)},
        {"TUN:Time", "@N30.9", "22501", qint64(22501)},
        {"TUN:Time", "@S1000", "\"3:60\"", QVariant()},
        {"TUN:Time", "@S1000", "\"1:60:00\"", QVariant()},
        {"TUN:Time", "@S1000", "\"3:5\"", QVariant()},
        {"TUN:Time", "@S1000", "\"three\"", QVariant()},
        // Through a picture of hours, minutes and seconds, minutes and seconds alone are a length;
        // a picture of hours and minutes says what it says.
        {"TUN:Time", "@t4", "\"3:56\"", qint64(23601)},
        {"TUN:Time", "@t4", "\"3:56.20\"", qint64(23621)},
        {"TUN:Time", "@t1", "\"3:56\"", qint64(1416001)},
        {"TUN:Media", "@S1000", "\"C\"", "Cassette (Dolby C)"},
        {"TUN:Media", "@S1000", "\"c\"", "c"},
        {"TUN:Media", "@S1000", "\"D\"", "Cassette (DBX)"},
        {"TUN:Media", "@S1000", "B", "Cassette (Dolby B)"},
        {"TUN:Title", "@S1000", "\"Say \"\"hi\"\", x\"", "Say \"hi\", x"},
        {"TUN:Mix", "@S1000", "\"1234567890123456789012345678901234567890\"",
         "123456789012345678901234567890"},
        {"TUN:Rating", "@N30.9", "5", qint64(5)},
        {"TUN:Rating", "@N30.9", " 7.00 ", qint64(7)},
        {"TUN:Rating", "@N30.9", "300", QVariant()},
        {"TUN:Rating", "@N30.9", "4.5", QVariant()},
        {"TUN:ChartNumber", "@N30.9", "-5", QVariant()},
        {"TUN:BeatsPerMinute", "@N30.9", "abc", QVariant()},
        {"TUN:BeatsPerMinute", "@N30.9", "", qint64(0)},
        {"TUN:BeatsPerMinute", "@N30.9", "-120", qint64(-120)},
        {"TUN:BeatsPerMinute", "@N30.9", "99999999999", QVariant()},
        {"TUN:Notes", "@S1000", "\"two\nlines\"", "two\nlines"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " " + c.picture + " " + c.text);
        test::TempCollection fresh;
        RecordingPrompter answers;
        Database target(answers, fresh.dir(), fresh.configDir() + "/profile.ini");
        ImportSetup s;
        ASSERT_EQ(s.open(writeFile(QByteArray("\"Artist\",") + c.text + "\n")), ImportSetup::OpenResult::Ok);
        s.assign(s.targetIndex("TUN:Artist"), 0);
        s.assign(s.targetIndex(c.target), 1);
        s.setPicture(1, c.picture);
        ImportProcess process(target, s.takeReader(), s.plan());
        EXPECT_TRUE(runToEnd(process));
        ASSERT_TRUE(target.openTable(TableId::Tunarium));
        QVector<Row> rows;
        ASSERT_TRUE(target.store()
                        .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {},
                              Direction::Forward, false, 10, rows)
                        .ok());
        target.closeTable(TableId::Tunarium);
        if (!c.expected.isValid()) {
            EXPECT_TRUE(rows.isEmpty());
            EXPECT_EQ(process.linesRejected(), 1);
            ASSERT_EQ(process.rejections().size(), 1);
            EXPECT_TRUE(process.rejections()[0].startsWith(QStringLiteral("Line 1: ") + c.target))
                << process.rejections()[0].toStdString();
            continue;
        }
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].get(QString::fromLatin1(c.target)).toString().toStdString(),
                  c.expected.toString().toStdString());
        EXPECT_EQ(process.linesRejected(), 0);
    }
}

TEST_F(ImportLinesTest, EveryMediaCodeBecomesASeededMediaName) {
    ASSERT_EQ(importMediaCodes().size(), 3);
    for (const ImportMediaCode& c : importMediaCodes()) {
        SCOPED_TRACE(c.code.toStdString());
        EXPECT_TRUE(defaultMediaFormats().contains(c.media)) << c.media.toStdString();
        Row media(TableId::Media);
        media.setText(0, c.media);
        EXPECT_EQ(media.text(0), c.media); // fits the field, so the song form finds it
    }
}

TEST_F(ImportLinesTest, CategoriesAreFoundOrAddedByName) {
    ASSERT_TRUE(db.openTable(TableId::Categories));
    db.closeTable(TableId::Categories);
    auto process = importAuto("\"TUN:Title\",\"TUN:CategoryID\"\n"
                              "\"One\",\"Disco\"\n"
                              "\"Two\",\"disco\"\n"
                              "\"Three\",\"Funk\"\n"
                              "\"Four\",\"\"\n");
    EXPECT_TRUE(runToEnd(*process));
    const auto songs = songsInIdOrder();
    ASSERT_EQ(songs.size(), 4);
    // The first category of an empty table is 2; names are found without regard to case.
    EXPECT_EQ(songs[0].categoryId, 2);
    EXPECT_EQ(songs[1].categoryId, 2);
    EXPECT_EQ(songs[2].categoryId, 3);
    EXPECT_EQ(songs[3].categoryId, 0); // a blank name is no category, not a new blank one
    EXPECT_EQ(categoryName(2), "Disco");
    EXPECT_EQ(categoryName(3), "Funk");
    EXPECT_EQ(process->categoriesAdded(), 2);
}

TEST_F(ImportLinesTest, LinesThatDoNotFitAreLeftOutAndTold) {
    auto process = importAuto("\"TUN:Artist\",\"TUN:Rating\"\n"
                              "\"A\",5\n"
                              "\"B\",300\n"
                              "\"C\",6\n");
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 2);
    EXPECT_EQ(process->linesRejected(), 1);
    EXPECT_TRUE(importFinished(*process, prompter));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].caption, "Lines Not Imported");
    EXPECT_TRUE(prompter.messages[0].text.contains("Line 3: TUN:Rating cannot hold 300"))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(prompter.messages[1].caption, "Import Complete");
}

TEST_F(ImportLinesTest, AutoReadsAFirstLineOfPlainNames) {
    struct Case {
        const char* firstLine;
        QStringList assigned; // "TUN:Name=Field_N"; empty when the line is no header
    };
    const Case cases[] = {
        {"Artist,Title,Time,Release Date",
         {"TUN:Artist=Field_1", "TUN:Title=Field_2", "TUN:ReleaseDate=Field_4", "TUN:Time=Field_3"}},
        {"\" artist \",\"TITLE\",\"Beats Per Minute\",\"&Category:\",\"do not play\",\"Genre\"",
         {"TUN:Artist=Field_1", "TUN:Title=Field_2", "TUN:CategoryID=Field_4", "TUN:BeatsPerMinute=Field_3",
          "TUN:DoNotPlay=Field_5"}},
        // A column of category numbers gives way to one of names.
        {"CategoryID,Category,Side/Disc", {"TUN:CategoryID=Field_2", "TUN:Side=Field_3"}},
        {"\"TUN:Artist\",\"Genre\"", {"TUN:Artist=Field_1"}}, // one name of ours is enough
        {"\"Pink Floyd\",\"Time\",1973", {}},                 // one plain name is a song's text
        {"\"Name\",\"Year\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        ImportSetup s;
        ASSERT_EQ(s.open(writeFile(QByteArray(c.firstLine) + "\n\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\n")),
                  ImportSetup::OpenResult::Ok);
        s.autoAssign();
        QStringList assigned;
        for (const ImportTarget& t : s.targets()) {
            if (!t.sourceField.isEmpty()) {
                assigned << t.field + u'=' + t.sourceField;
            }
        }
        EXPECT_EQ(assigned, c.assigned);
        EXPECT_EQ(s.stripHeader(), !c.assigned.isEmpty()); // the box follows what was found
        for (const ImportField& f : s.fields()) {
            EXPECT_EQ(f.picture, "@S1000"); // a plain header says nothing of how values are written
        }
    }

    auto process = importAuto("Artist,Title,Time\n\"Abba\",\"Waterloo\",\"2:42\"\n");
    EXPECT_TRUE(runToEnd(*process));
    const auto songs = songsInIdOrder();
    ASSERT_EQ(songs.size(), 1);
    EXPECT_EQ(songs[0].title, "Waterloo");
    EXPECT_EQ(songs[0].time, 16201);
}

} // namespace
