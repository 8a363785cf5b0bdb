// Import and export through the core: the field lists and A&uto, the run and its progress, the
// lines an export writes, failures of the export file, and a collection exported and imported
// back.
#include "data/store_sqlite.h"
#include "exchange_fixture.h"
#include "support/cli_run.h"
#include "support/song_collection.h"

#include <QRandomGenerator>

using namespace tunarium;

namespace {

class ExchangeTest : public test::ExchangeFixture {};

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
                          Direction::Forward, false, 5, byArtist)
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

TEST_F(ExchangeTest, WhileABulkImportRunsOtherChangesAreRefusedAndSayWhy) {
    QByteArray bytes = "\"TUN:Artist\"\n";
    for (int i = 0; i < 300; ++i) {
        bytes += QStringLiteral("\"Artist %1\"\n").arg(i).toUtf8();
    }
    auto process = importAuto(bytes);
    process->setBulkFromBytes(0);
    ASSERT_TRUE(process->start());
    ASSERT_TRUE(process->loadsInBulk());
    EXPECT_TRUE(process->step());

    // Another window of this program: refused after the lock's wait, with the reason.
    ASSERT_TRUE(db.openTable(TableId::Categories));
    Row late(TableId::Categories);
    late.setNumber(0, 50);
    late.setText(1, QStringLiteral("Late"));
    StoreError e = db.store().insert(late);
    EXPECT_EQ(e.code, code::kFileLocked);
    db.warnings().report(warning::kRecordInsertError, e);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(
        prompter.messages[0].text,
        "An error was experienced during the update of record.  Error: File Is Locked: an import is running "
        "(32).");

    // Another copy of the program cannot know why: the plain lock message.
    if (test::cliAvailable()) {
        const QString one = writeFile("\"TUN:Artist\"\n\"Other\"\n", "one.csv");
        const test::CliRun run = test::runCli(dir, {"--dir", dir.dir(), "import", one, "--quiet"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("File Is Locked")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("import is running")) << run.err.toStdString();
    }

    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 300);
    // Once the import is done, changes go in again.
    EXPECT_TRUE(db.store().insert(late).ok());
    db.closeTable(TableId::Categories);
}

// Another copy holds the write lock when a bulk load would start: the import is refused whole,
// and stays refused after the lock is let go, rather than going on line by line.
TEST_F(ExchangeTest, ABulkLoadThatCannotHaveTheLockWritesNothing) {
    QByteArray bytes = "\"TUN:Artist\"\n";
    for (int i = 0; i < 300; ++i) {
        bytes += QStringLiteral("\"Artist %1\"\n").arg(i).toUtf8();
    }
    ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Categories}));
    auto process = importAuto(bytes);
    process->setBulkFromBytes(0);
    SqliteStore holder;
    ASSERT_TRUE(holder.open(dir.dir()).ok());
    ASSERT_TRUE(holder.begin().ok());
    EXPECT_FALSE(process->start());
    holder.rollback();
    runToEnd(*process);
    EXPECT_FALSE(process->loadsInBulk());
    EXPECT_TRUE(process->failedToStart());
    EXPECT_EQ(process->songsAdded(), 0);
    EXPECT_TRUE(process->nothingImportedReason().startsWith("another copy of the program is writing to the "
                                                            "collection (File Is Locked"))
        << process->nothingImportedReason().toStdString();
    EXPECT_EQ(db.store().count(TableId::Tunarium), 0);
    db.closeTables({TableId::Tunarium, TableId::Categories});
}

// Another copy replaces the collection while an export runs: the file holds the collection as it
// was when the export began, every song of it and nothing of the other.
TEST_F(ExchangeTest, AnExportReadsOneSnapshotWhateverAnotherCopyCommits) {
    test::TempCollection other;
    test::makeSongCollection(other.dir(), 900);
    QVector<SongRecord> songs;
    for (int i = 1; i <= 600; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = QStringLiteral("Old %1").arg(i, 3, 10, QChar(u'0'));
        songs << s;
    }
    addSongs(songs);
    const QString path = dir.configDir() + "/snapshot.csv";
    auto process = openExport(db, prompter, path, {*findExportable(u"TUN:Artist")}, false);
    ASSERT_TRUE(process);
    ASSERT_TRUE(process->start());
    EXPECT_TRUE(process->step());
    {
        SqliteStore restorer;
        ASSERT_TRUE(restorer.open(dir.dir()).ok());
        ASSERT_TRUE(restorer.maintenance().restoreFrom(other.path("tunarium.db")).ok());
    }
    EXPECT_EQ(test::songsIn(dir.dir()), 900);
    runToEnd(*process);
    EXPECT_FALSE(process->failed());
    process.reset();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList expected;
    for (const SongRecord& s : songs) {
        expected << u'"' + s.artist + u'"';
    }
    EXPECT_EQ(QString::fromUtf8(f.readAll()), expected.join("\r\n") + "\r\n");
}

TEST_F(ExchangeTest, AutoReadsBackTheProgramsOwnExport) {
    ImportSetup s;
    ASSERT_EQ(s.open(writeFile(
                  "\"TUN:Title\",\"TUN:ReleaseDate\",\"TUN:CategoryID\",\"TUN:Time\",\"CAT:Category\"\n"
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

    QVector<ExportField> fields = {{"TUN:Artist", "@s50"}, {"TUN:Title", "@s50"},
                                   {"TUN:Unknown", "@s5"}, {"TUN:BeatsPerMinute", "@n_4b"},
                                   {"TUN:Time", "@t4"},    {"TUN:ReleaseDate", "@d2"}};
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
    EXPECT_FALSE(
        openExport(db, prompter, dir.configDir() + "/no/such/dir/out.csv", exportableFields(), true));
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
    const QStringList artists = {"Abba",        "Björk", "Sinéad O'Connor", "The \"Band\"",
                                 "Prince, the", "",      "  Lead"};
    const QStringList texts = {
        "", "plain", "with, comma", "quote \" inside", "Ünïcödé ✓", "multi\nline\r\ntext"};
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
        s.title = QStringLiteral("Title %1 ").arg(i) +
                  pick(texts).left(30).replace(u'\n', u' ').replace(u'\r', u' ');
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
                          Direction::Forward, false, 1000, back)
                    .ok());
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    QVector<Row> original;
    ASSERT_TRUE(db.store()
                    .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist"), {},
                          Direction::Forward, false, 1000, original)
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
                    empty.store()
                        .get(TableId::Categories, tableDef(TableId::Categories).keyIndex(u"KeyCategoryID"),
                             {now}, cat)
                        .ok();
                EXPECT_EQ(found ? cat.text(1) : QString(), was) << "song " << i;
                continue;
            }
            EXPECT_EQ(back[i].value(f), original[i].value(f))
                << "song " << i << " field " << name.toStdString();
        }
    }
    empty.closeTable(TableId::Categories);
    empty.closeTable(TableId::Tunarium);
}

} // namespace
