// Import and export through the core: the field lists and A&uto, what a line puts into a song,
// lines left out, the lines an export writes, failures of the export file, and a collection
// exported and imported back.
#include "data/database.h"
#include "data/pictures.h"
#include "exchange/export_process.h"
#include "exchange/import_process.h"
#include "support/temp_collection.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { setPictureLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("in.csv")) {
        const QString path = dir.configDir() + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Opens the file and assigns as A&uto does.
    std::unique_ptr<ImportProcess> importAuto(const QByteArray& bytes) {
        setup = std::make_unique<ImportSetup>();
        EXPECT_EQ(setup->open(writeFile(bytes)), ImportSetup::OpenResult::Ok);
        setup->autoAssign();
        return std::make_unique<ImportProcess>(db, setup->takeReader(), setup->plan());
    }

    QVector<SongRecord> songsInIdOrder() {
        EXPECT_TRUE(db.openTable(TableId::Tunarium));
        QVector<Row> rows;
        EXPECT_TRUE(db.store()
                        .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {},
                              sql::Direction::Forward, false, 100000, rows)
                        .ok());
        db.closeTable(TableId::Tunarium);
        QVector<SongRecord> out;
        for (const Row& r : rows) {
            out << fromRow<SongRecord>(r);
        }
        return out;
    }

    QString categoryName(qint64 id) {
        EXPECT_TRUE(db.openTable(TableId::Categories));
        Row c;
        const StoreError e =
            db.store().get(TableId::Categories, tableDef(TableId::Categories).keyIndex(u"KeyCategoryID"), {id}, c);
        db.closeTable(TableId::Categories);
        return e.ok() ? c.text(1) : QString();
    }

    QStringList exportLines(const QVector<ExportField>& fields, bool header = true) {
        const QString path = dir.configDir() + "/out.csv";
        auto process = openExport(db, prompter, path, fields, header);
        EXPECT_TRUE(process);
        if (!process) {
            return {};
        }
        EXPECT_TRUE(runToEnd(*process));
        process.reset();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString()); // every line ends with a line break
        return lines;
    }

    void addSongs(const QVector<SongRecord>& songs) {
        ASSERT_TRUE(db.openTable(TableId::Tunarium));
        {
            Transaction tx(db.store());
            for (SongRecord s : songs) {
                ASSERT_TRUE(db.store().insert(s).ok());
            }
            ASSERT_TRUE(tx.commit().ok());
        }
        db.closeTable(TableId::Tunarium);
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    std::unique_ptr<ImportSetup> setup;
};

TEST_F(ExchangeTest, OpeningBuildsTheFieldListFromTheFirstTwoLines) {
    ImportSetup s;
    ASSERT_EQ(s.open(writeFile("\"TUN:Artist\",\"TUN:Title\",\"TUN:Rating\"\n1998,\"Waterloo\"\n")),
              ImportSetup::OpenResult::Ok);
    ASSERT_EQ(s.fields().size(), 3);
    // Unquoted on the second line: a number. Quoted, or missing from it: text.
    EXPECT_EQ(s.fields()[0].picture, "@N30.9");
    EXPECT_EQ(s.fields()[0].displayPicture, "Numeric");
    EXPECT_EQ(s.fields()[1].picture, "@S1000");
    EXPECT_EQ(s.fields()[1].displayPicture, "Alpha-num");
    EXPECT_EQ(s.fields()[2].picture, "@S1000");
    EXPECT_EQ(s.fields()[2].field, "Field_3");
    EXPECT_EQ(s.fields()[0].value, "TUN:Artist"); // line 1 is shown
    EXPECT_EQ(s.recordNumber(), 1);
    EXPECT_EQ(s.targets().size(), 29);
    EXPECT_FALSE(s.anyAssigned());

    s.autoAssign();
    EXPECT_TRUE(s.stripHeader());
    EXPECT_EQ(s.targets()[s.targetIndex("TUN:Artist")].sourceField, "Field_1");
    EXPECT_EQ(s.targets()[s.targetIndex("TUN:Title")].equals, "=");
    EXPECT_EQ(s.firstTargetOf(2), s.targetIndex("TUN:Rating"));
    EXPECT_EQ(s.fieldOfTarget(s.targetIndex("TUN:Mix")), -1);

    // &Next: line 2 shown, A&uto no longer usable, then the end of the file.
    EXPECT_TRUE(s.next());
    EXPECT_EQ(s.recordNumber(), 2);
    EXPECT_EQ(s.fields()[0].value, "1998");
    EXPECT_EQ(s.fields()[2].value, "TUN:Rating"); // missing from line 2: keeps its value
    EXPECT_FALSE(s.autoEnabled());
    EXPECT_FALSE(s.next());
    EXPECT_FALSE(s.nextEnabled());
    EXPECT_EQ(s.recordNumber(), 2);

    s.setPicture(0, "");
    EXPECT_EQ(s.fields()[0].picture, "@N30.9"); // a cancelled editor changes nothing
    s.setPicture(0, "@d2");
    EXPECT_EQ(s.fields()[0].displayPicture, "@d2");
    s.unassign(s.targetIndex("TUN:Artist"));
    EXPECT_EQ(s.targets()[s.targetIndex("TUN:Artist")].sourceField, "");
}

TEST_F(ExchangeTest, FilesThatCannotBeImported) {
    ImportSetup s;
    EXPECT_EQ(s.open(writeFile("")), ImportSetup::OpenResult::Empty);
    EXPECT_EQ(s.open(dir.configDir() + "/missing.csv"), ImportSetup::OpenResult::CannotOpen);
    EXPECT_EQ(s.openError().message(), "Error #2 - File Not Found");
    const PromptMessage m = fileFailureMessage("Cannot OPEN ", "/x/missing.csv", s.openError());
    EXPECT_EQ(m.caption, "Cannot OPEN /x/missing.csv");
    EXPECT_EQ(m.icon, PromptIcon::Stop);
}

TEST_F(ExchangeTest, AHeaderFileImportsItsSongs) {
    auto process = importAuto("\"TUN:Artist\",\"TUN:Title\"\r\n\"Abba\",\"Waterloo\"\r\n");
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 1);
    EXPECT_EQ(process->linesRead(), 2);
    const auto songs = songsInIdOrder();
    ASSERT_EQ(songs.size(), 1);
    EXPECT_EQ(songs[0].artist, "Abba");
    EXPECT_EQ(songs[0].title, "Waterloo");
    EXPECT_EQ(songs[0].id, 1);
    EXPECT_EQ(process->title(), "Importing Records");
    EXPECT_EQ(process->percentText(), "Process Completed");
    // The run completed: the album question follows.
    prompter.answers = {kButtonNo};
    EXPECT_FALSE(importFinished(*process, prompter));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Import Complete");
    EXPECT_EQ(prompter.messages[0].defaultButton, kButtonYes);
}

TEST_F(ExchangeTest, AHeaderOnlyFileAddsNothingAndStillAsks) {
    auto process = importAuto("\"TUN:Artist\",\"TUN:Title\"\n");
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 0);
    EXPECT_TRUE(importFinished(*process, prompter));
    EXPECT_EQ(prompter.messages.last().caption, "Import Complete");
}

TEST_F(ExchangeTest, WhatALinePutsIntoASong) {
    struct Case {
        const char* target;
        const char* picture;
        const char* text;
        QVariant expected; // invalid: the line is left out
    };
    const Case cases[] = {
        {"TUN:ReleaseDate", "@d2", "\"01/01/2000\"", qint64(72687)},
        {"TUN:ReleaseDate", "@S1000", "\"10/31/1959\"", QVariant()}, // text is no number
        {"TUN:ReleaseDate", "@N30.9", "1998", qint64(1998)},          // stored without the picture step
        {"TUN:ReleaseDate", "@d2", "\"\"", qint64(0)},
        {"TUN:ReleaseDate", "@d2", "\"someday\"", QVariant()},
        {"TUN:Time", "@t4", "\"0:03:45\"", qint64(22501)},
        {"TUN:Media", "@S1000", "\"C\"", "Cassette (Dolby-C)"},
        {"TUN:Media", "@S1000", "\"c\"", "c"},
        {"TUN:Media", "@S1000", "\"D\"", "Cassette (DBX)"},
        {"TUN:Media", "@S1000", "B", "Cassette (Dolby-B)"},
        {"TUN:Title", "@S1000", "\"Say \"\"hi\"\", x\"", "Say \"hi\", x"},
        {"TUN:Mix", "@S1000", "\"1234567890123456789012345678901234567890\"", "123456789012345678901234567890"},
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
                              sql::Direction::Forward, false, 10, rows)
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
        EXPECT_EQ(rows[0].get(QString::fromLatin1(c.target)).toString().toStdString(), c.expected.toString().toStdString());
        EXPECT_EQ(process.linesRejected(), 0);
    }
}

TEST_F(ExchangeTest, CategoriesAreFoundOrAddedByName) {
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

TEST_F(ExchangeTest, EverySongStartsBlankWithItsOwnNumber) {
    auto process = importAuto("\"TUN:Artist\",\"TUN:Title\",\"TUN:Rating\"\n"
                              "\"Abba\",\"Waterloo\",5\n"
                              "\"Queen\"\n");
    EXPECT_TRUE(runToEnd(*process));
    const auto songs = songsInIdOrder();
    ASSERT_EQ(songs.size(), 2);
    EXPECT_EQ(songs[1].artist, "Queen");
    EXPECT_EQ(songs[1].title, ""); // not the line before's
    EXPECT_EQ(songs[1].rating, 0);
    EXPECT_EQ(songs[0].id + 1, songs[1].id);
}

TEST_F(ExchangeTest, LinesThatDoNotFitAreLeftOutAndTold) {
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

TEST_F(ExchangeTest, ProgressIsCountedInBytesAndCancelKeepsWhatWasAdded) {
    QByteArray bytes = "\"TUN:Artist\"\n";
    for (int i = 0; i < 100; ++i) {
        bytes += QStringLiteral("\"Artist %1\"\n").arg(i, 3, 10, QChar('0')).toUtf8();
    }
    auto process = importAuto(bytes);
    ASSERT_TRUE(process->start());
    EXPECT_TRUE(process->step());
    EXPECT_EQ(process->songsAdded(), 25);
    const qint64 read = 13 + 26 * 13; // the header, 25 songs and the line read ahead
    EXPECT_EQ(process->percent(), static_cast<int>(read * 100 / bytes.size()));
    process->cancel();
    EXPECT_FALSE(process->completed());
    EXPECT_FALSE(importFinished(*process, prompter)); // no question after a cancel
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(songsInIdOrder().size(), 25);
}

TEST_F(ExchangeTest, ALargeFileIntoAnEmptyTableLoadsInBulkWithItsKeys) {
    QByteArray bytes = "\"TUN:Artist\",\"TUN:Title\",\"TUN:CategoryID\"\n";
    for (int i = 0; i < 300; ++i) {
        bytes += QStringLiteral("\"Artist %1\",\"Title\",\"Cat %2\"\n").arg(299 - i).arg(i % 3).toUtf8();
    }
    const auto runBulk = [&](bool cancelEarly) {
        auto process = importAuto(bytes);
        process->setBulkFromBytes(0);
        EXPECT_TRUE(process->start());
        EXPECT_TRUE(process->loadsInBulk());
        if (cancelEarly) {
            process->step();
            // The keys of what was read are built in the next steps; then the run ends cancelled.
            process->cancel();
            EXPECT_TRUE(process->cancelling());
            EXPECT_EQ(process->message(), "Building keys...");
        }
        while (process->step()) {
        }
        EXPECT_EQ(process->state(), cancelEarly ? Process::State::Cancelled : Process::State::Completed);
        return process->songsAdded();
    };
    EXPECT_EQ(runBulk(true), 25); // cancelled: what was added stays, with its keys

    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    EXPECT_EQ(db.store().count(TableId::Tunarium), 25);
    QVector<Row> byArtist;
    ASSERT_TRUE(db.store()
                    .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist"), {},
                          sql::Direction::Forward, false, 5, byArtist)
                    .ok());
    ASSERT_EQ(byArtist.size(), 5);
    EXPECT_EQ(byArtist[0].text(0), "Artist 275");
    EXPECT_EQ(db.store().checkKeys(TableId::Tunarium).code, code::kOk);
    db.closeTable(TableId::Tunarium);

    // Songs are there now: the next import adds line by line, numbering after them.
    auto process = importAuto(bytes);
    process->setBulkFromBytes(0);
    ASSERT_TRUE(process->start());
    EXPECT_FALSE(process->loadsInBulk());
    while (process->step()) {
    }
    const auto songs = songsInIdOrder();
    ASSERT_EQ(songs.size(), 325);
    EXPECT_EQ(songs.last().id, 325);
    EXPECT_EQ(categoryName(songs.last().categoryId), "Cat 2");
}

TEST_F(ExchangeTest, AutoReadsBackTheProgramsOwnExport) {
    ImportSetup s;
    ASSERT_EQ(s.open(writeFile("\"TUN:Title\",\"TUN:ReleaseDate\",\"TUN:CategoryID\",\"TUN:Time\",\"CAT:Category\"\n"
                               "\"x\",\"10/31/1959\",3,\"0:03:45\",\"Disco\"\n")),
              ImportSetup::OpenResult::Ok);
    s.autoAssign();
    // The category target takes the names, the dates and times their export pictures.
    EXPECT_EQ(s.targets()[s.targetIndex("TUN:CategoryID")].sourceField, "Field_5");
    EXPECT_EQ(s.fields()[1].picture, "@d2");
    EXPECT_EQ(s.fields()[3].picture, "@t4");
    EXPECT_EQ(s.fields()[2].picture, "@N30.9");
}

TEST_F(ExchangeTest, ExportWritesTheLinesOfThePicturesKinds) {
    SongRecord a;
    a.id = 1;
    a.artist = "Zappa";
    a.title = "Say \"hi\"";
    a.time = 22501;
    a.releaseDate = 72687;
    a.beatsPerMinute = 0;
    SongRecord b = a;
    b.id = 2;
    b.artist = "abba";
    b.title = "Waterloo";
    b.meta = {};
    addSongs({a, b});

    QVector<ExportField> fields = {{"TUN:Artist", "@s50"},     {"TUN:Title", "@s50"},      {"TUN:Unknown", "@s5"},
                                   {"TUN:BeatsPerMinute", "@n_4b"}, {"TUN:Time", "@t4"}, {"TUN:ReleaseDate", "@d2"}};
    const QStringList lines = exportLines(fields);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "\"TUN:Artist\",\"TUN:Title\",\"TUN:Unknown\",\"TUN:BeatsPerMinute\",\"TUN:Time\","
                        "\"TUN:ReleaseDate\"");
    // Artist order without regard to case; an unknown name writes nothing at all.
    EXPECT_EQ(lines[1].toStdString(), "\"abba\",\"Waterloo\",0,\"0:03:45\",\"01/01/2000\"");
    EXPECT_EQ(lines[2].toStdString(), "\"Zappa\",\"Say \"\"hi\"\"\",0,\"0:03:45\",\"01/01/2000\"");

    fields = {{"TUN:Artist", "@n3"}};
    EXPECT_EQ(exportLines(fields, false), QStringList({"abba", "Zappa"}));
}

TEST_F(ExchangeTest, ExportOfAnEmptyTableWritesOnlyTheHeader) {
    const QStringList lines = exportLines(exportableFields());
    ASSERT_EQ(lines.size(), 1);
    const QStringList names = lines[0].split(u',');
    ASSERT_EQ(names.size(), 30);
    EXPECT_EQ(names.first(), "\"TUN:Artist\"");
    EXPECT_EQ(names.last(), "\"CAT:Category\"");
    EXPECT_TRUE(exportLines(exportableFields(), false).isEmpty());
}

TEST_F(ExchangeTest, ExportFileFailuresAreTold) {
    EXPECT_FALSE(openExport(db, prompter, dir.configDir() + "/no/such/dir/out.csv", exportableFields(), true));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Cannot CREATE " + dir.configDir() + "/no/such/dir/out.csv");
    EXPECT_EQ(prompter.messages[0].text, "Error #2 - File Not Found");

    if (!QFile::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    // A disk that is full: Retry tries the same line again, Abort gives up.
    QVector<SongRecord> songs;
    for (int i = 1; i <= 2000; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = QStringLiteral("Artist %1").arg(i);
        s.notes = QString(60, QChar('n'));
        songs << s;
    }
    addSongs(songs);
    prompter.messages.clear();
    prompter.answers = {kButtonRetry, kButtonAbort};
    auto process = openExport(db, prompter, "/dev/full", exportableFields(), true);
    ASSERT_TRUE(process);
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_LT(process->songsWritten(), 2000);
    process.reset();
    ASSERT_GE(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].caption, "Cannot ADD to /dev/full");
    EXPECT_EQ(prompter.messages[0].buttons, kButtonAbort | kButtonRetry);
    EXPECT_EQ(prompter.messages[0].defaultButton, kButtonAbort);
    EXPECT_EQ(prompter.messages[1].caption, "Cannot ADD to /dev/full");
    // What could not be written cannot be closed either; that is told too, with OK only.
    EXPECT_EQ(prompter.messages.last().caption, "Cannot CLOSE /dev/full");
    EXPECT_EQ(prompter.messages.last().buttons, kButtonOk);
    EXPECT_TRUE(prompter.messages.last().text.startsWith("Error #90 - "));
}

TEST_F(ExchangeTest, ACollectionExportedAndImportedBackIsTheSame) {
    QRandomGenerator random(1998);
    const auto pick = [&random](const QStringList& from) { return from[random.bounded(from.size())]; };
    const QStringList artists = {"Abba", "Björk", "Sinéad O'Connor", "The \"Band\"", "Prince, the", "", "  Lead"};
    const QStringList texts = {"", "plain", "with, comma", "quote \" inside", "Ünïcödé ✓", "multi\nline\r\ntext"};
    ASSERT_TRUE(db.openTable(TableId::Categories));
    for (int c = 2; c <= 4; ++c) {
        Row cat(TableId::Categories);
        cat.setNumber(0, c);
        cat.setText(1, QStringLiteral("Category %1").arg(c));
        ASSERT_TRUE(db.store().insert(cat).ok());
    }
    db.closeTable(TableId::Categories);
    QVector<SongRecord> songs;
    for (int i = 1; i <= 300; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = pick(artists);
        s.title = QStringLiteral("Title %1 ").arg(i) + pick(texts).left(30).replace(u'\n', u' ').replace(u'\r', u' ');
        s.mix = pick({"", "Extended"});
        s.album = pick({"", "Arrival", "Greatest, Hits"});
        s.media = pick({"CD", "LP", "Cassette (Dolby-B)"});
        s.fileNumber = pick({"", "F-1", "0042"});
        s.releaseDate = random.bounded(3) == 0 ? 0 : random.bounded(4, 80000);
        s.categoryId = random.bounded(5) < 2 ? 0 : random.bounded(2, 5);
        s.chartNumber = random.bounded(256);
        s.trackNumber = random.bounded(256);
        s.side = random.bounded(3);
        s.time = random.bounded(4) == 0 ? 0 : random.bounded(1, 360000) / 100 * 100 + 1;
        s.userDefinedKeyField = pick(texts).left(30);
        s.additionalInformation1 = pick(texts);
        s.beatsPerMinute = random.bounded(4) == 0 ? -random.bounded(300) : random.bounded(300);
        s.style = pick({"", "Funk"});
        s.recording = pick(texts);
        s.composer = pick(texts);
        s.performanceNotes = pick(texts);
        s.lastPlayed = random.bounded(2) == 0 ? 0 : random.bounded(60000, 80000);
        s.skips = random.bounded(256);
        s.endType = pick({"", "Fade", "Cold"});
        s.inOut = pick(texts).left(20);
        s.notes = pick(texts) + pick(texts);
        s.rating = random.bounded(11);
        s.live = random.bounded(2);
        s.doNotPlay = random.bounded(2);
        songs << s;
    }
    addSongs(songs);
    const QStringList lines = exportLines(exportableFields());
    ASSERT_GE(lines.size(), 301);

    test::TempCollection other;
    RecordingPrompter answers;
    Database empty(answers, other.dir(), other.configDir() + "/profile.ini");
    ImportSetup s;
    ASSERT_EQ(s.open(dir.configDir() + "/out.csv"), ImportSetup::OpenResult::Ok);
    s.autoAssign();
    ImportProcess process(empty, s.takeReader(), s.plan());
    process.setBulkFromBytes(0);
    ASSERT_TRUE(runToEnd(process));
    EXPECT_TRUE(process.loadsInBulk());
    EXPECT_EQ(process.linesRejected(), 0) << process.rejections().join("\n").toStdString();
    EXPECT_EQ(process.songsAdded(), 300);
    EXPECT_TRUE(answers.messages.isEmpty());

    // Same songs, in the order of the export (artist, title, mix).
    ASSERT_TRUE(empty.openTable(TableId::Tunarium));
    ASSERT_TRUE(empty.openTable(TableId::Categories));
    QVector<Row> back;
    ASSERT_TRUE(empty.store()
                    .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {},
                          sql::Direction::Forward, false, 1000, back)
                    .ok());
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    QVector<Row> original;
    ASSERT_TRUE(db.store()
                    .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist"), {},
                          sql::Direction::Forward, false, 1000, original)
                    .ok());
    db.closeTable(TableId::Tunarium);
    ASSERT_EQ(back.size(), original.size());
    const TableDef& t = tableDef(TableId::Tunarium);
    for (int i = 0; i < back.size(); ++i) {
        for (int f = 0; f < t.fields.size(); ++f) {
            const QString name = t.fields[f].name;
            if (name == "ID" || name == "AlbumID") {
                continue;
            }
            if (name == "CategoryID") {
                const qint64 id = original[i].number(f);
                const QString was = id == 0 ? QString() : QStringLiteral("Category %1").arg(id);
                Row cat;
                const qint64 now = back[i].number(f);
                const bool found =
                    empty.store().get(TableId::Categories, tableDef(TableId::Categories).keyIndex(u"KeyCategoryID"),
                                      {now}, cat).ok();
                EXPECT_EQ(found ? cat.text(1) : QString(), was) << "song " << i;
                continue;
            }
            EXPECT_EQ(back[i].value(f), original[i].value(f)) << "song " << i << " field " << name.toStdString();
        }
    }
    empty.closeTable(TableId::Categories);
    empty.closeTable(TableId::Tunarium);
}

} // namespace
