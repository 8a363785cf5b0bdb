// Import and export on the command line: a spreadsheet's file in, the collection out and back
// into an empty one, the options, and the exit status of each failure.
#include "support/cli_run.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

QString write(const TempCollection& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.configDir() + u'/' + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QString read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(ExchangeCli, ASpreadsheetGoesInAndComesBackOut) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    // A file without field names: the columns are assigned by hand, dates read through @d2.
    const QString sheet = write(dir, "sheet.csv",
                                "\"Abba\",\"Waterloo\",\"04/06/1974\",\"Pop\"\r\n"
                                "\"Björk\",\"Jóga\",\"09/22/1997\",\"Art Pop\"\r\n");
    CliRun run =
        runCli(dir, {"--dir", dir.dir(), "import", sheet, "--quiet", "--assign", "Field_1=TUN:Artist",
                     "--assign", "Field_2=TUN:Title", "--assign=Field_3=TUN:ReleaseDate", "--assign",
                     "Field_4=TUN:CategoryID", "--picture", "Field_3=@d2", "--no-create-albums"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "2 lines read, 2 songs added, 2 categories added\n");
    EXPECT_EQ(run.err, "");

    const QString out = dir.configDir() + "/out.csv";
    run = runCli(dir,
                 {"--dir", dir.dir(), "export", out, "--quiet", "--fields",
                  "TUN:Title,TUN:ReleaseDate,CAT:Category,TUN:Title", "--picture", "TUN:ReleaseDate=@d10"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "2 songs written to " + out + "\n");
    EXPECT_EQ(read(out), "\"TUN:Title\",\"TUN:ReleaseDate\",\"CAT:Category\"\r\n"
                         "\"Waterloo\",\"1974/04/06\",\"Pop\"\r\n"
                         "\"Jóga\",\"1997/09/22\",\"Art Pop\"\r\n");

    // The whole collection out, and into an empty one as A&uto reads it.
    const QString all = dir.configDir() + "/all.csv";
    run = runCli(dir, {"--dir", dir.dir(), "export", all});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Exporting Records: Process Completed")); // progress on the terminal
    run = runCli(dir, {"--dir", dir.path("other"), "import", all, "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "3 lines read, 2 songs added, 2 categories added\n0 albums created, 0 songs linked\n");
    const QString back = dir.configDir() + "/back.csv";
    run = runCli(dir, {"--dir", dir.path("other"), "export", back, "--quiet"});
    EXPECT_EQ(read(back), read(all));
}

TEST(ExchangeCli, FailuresAndBadUsageGiveTheirExitStatus) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const QString empty = write(dir, "empty.csv", "");
    const QString names = write(dir, "names.csv", "\"Name\",\"Year\"\n\"Abba\",1974\n");
    const QString rating = write(dir, "rating.csv", "\"TUN:Artist\",\"TUN:Rating\"\n\"A\",5\n\"B\",300\n");
    const QString headerOnly = write(dir, "header.csv", "\"TUN:Artist\",\"TUN:Rating\"\n");
    struct Case {
        QStringList args;
        int exitCode;
        const char* err; // a part of what standard error says
    };
    const Case cases[] = {
        {{"import"}, 2, "import needs a file"},
        {{"import", names, "--assign", "Field_9=TUN:Artist"}, 2, "the file has no Field_9"},
        {{"import", names, "--assign", "Field_1=TUN:ID"}, 2, "TUN:ID is not a song field"},
        {{"import", names, "--picture", "Field_2=d2"}, 2, "Pictures must begin with \"@\""},
        {{"import", names, "--bogus"}, 2, "unknown option --bogus"},
        {{"import", dir.configDir() + "/missing.csv"}, 1, "Error #2 - File Not Found"},
        {{"import", empty}, 1, "That file is empty!"},
        {{"import", names}, 1, "You must select one or more fields to import."},
        {{"import", rating, "--quiet", "--no-create-albums"}, 1, "Line 3: TUN:Rating cannot hold 300"},
        {{"import", headerOnly, "--quiet"},
         1,
         "No songs were imported: the file holds no lines after its header record."},
        {{"import", dir.configDir()}, 1, "is a directory, not a file."},
        {{"import", "/dev/null"}, 1, "/dev/null is not a regular file."},
        {{"export", dir.configDir() + "/x.csv", "--fields", "TUN:Nothing"}, 2, "TUN:Nothing is not a field"},
        {{"export", dir.configDir() + "/x.csv", "--picture", "TUN:Title=s5", "--fields", "TUN:Title"},
         2,
         "Pictures must begin"},
        // A picture that reads nothing is refused by name, before anything is read or written.
        {{"import", names, "--picture", "Field_2=@x9"}, 2, "@x9 is not a picture"},
        {{"import", names, "--picture", "Field_2=@d99"}, 2, "@d99 is not a picture"},
        {{"export", dir.configDir() + "/x.csv", "--picture", "TUN:Title=@n9q", "--fields", "TUN:Title"},
         2,
         "@n9q is not a picture"},
        {{"export", dir.configDir() + "/no/such/dir/x.csv"}, 1, "Cannot CREATE"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n"
                                            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.err))) << c.args.join(' ').toStdString() << "\n"
                                                                << run.err.toStdString();
    }
}

TEST(ExchangeCli, SongLengthsAndPlainNamesGoInAndCutValuesAreCounted) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const QString longArtist(55, QChar('a'));
    const QString sheet = write(dir, "sheet.csv",
                                "Artist,Title,Time\r\n"
                                "\"Abba\",\"Waterloo\",\"2:42\"\r\n\"" +
                                    longArtist.toUtf8() + "\",\"Long\",\"1:02:03.50\"\r\n");
    CliRun run = runCli(dir, {"--dir", dir.dir(), "import", sheet, "--quiet", "--no-create-albums"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "3 lines read, 2 songs added\n"
                       "1 value was cut to its field's width; first: line 3, TUN:Artist\n");
    const QString out = dir.configDir() + "/out.csv";
    run = runCli(dir, {"--dir", dir.dir(), "export", out, "--quiet", "--fields", "TUN:Title,TUN:Time"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(read(out),
              "\"TUN:Title\",\"TUN:Time\"\r\n\"Long\",\"1:02:03\"\r\n\"Waterloo\",\"0:02:42\"\r\n");
}

TEST(ExchangeCli, NeitherImportNorExportTouchesTheCollectionFileAndExportKeepsTheFileItWouldReplace) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const QString sheet = write(dir, "sheet.csv", "\"TUN:Artist\"\n\"Abba\"\n\"Queen\"\n");
    CliRun run = runCli(dir, {"--dir", dir.dir(), "import", sheet, "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    for (const QString& target : {dir.path("tunarium.db"), dir.path("tunarium.db-wal")}) {
        for (const char* command : {"export", "import"}) {
            run = runCli(dir, {"--dir", dir.dir(), command, target, "--quiet"});
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_TRUE(run.err.contains("holds the collection itself")) << run.err.toStdString();
        }
    }
    run = runCli(dir, {"--dir", dir.dir(), "info"});
    EXPECT_TRUE(run.out.contains(QRegularExpression("(^|\n)Tunarium\t[^\n]*\t2\n"))) << run.out.toStdString();

    // Where there is no collection, nothing is made and the file named stays as it was.
    const QString keep = write(dir, "keep.csv", "the user's own lines\r\n");
    run = runCli(dir, {"--dir", dir.path("elsewhere"), "export", keep, "--quiet"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("there is no collection in")) << run.err.toStdString();
    EXPECT_EQ(read(keep), "the user's own lines\r\n");
    EXPECT_FALSE(QFileInfo::exists(dir.path("elsewhere")));
}

// Lines that hold nothing are passed over, NUL characters dropped from the values, both counted.
TEST(ExchangeCli, EmptyLinesAndNulCharactersMakeNoSongs) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const char lines[] = "\"Abba\",\"Water\0loo\"\r\n"
                         "\0\0\0\r\n"
                         "\r\n"
                         " , ,\"\"\r\n"
                         "\"Queen\",\"Innuendo\"\0\r\n";
    const QString sheet = write(dir, "nuls.csv", QByteArray(lines, sizeof lines - 1));
    CliRun run = runCli(dir, {"--dir", dir.dir(), "import", sheet, "--quiet", "--assign", "Field_1=TUN:Artist",
                              "--assign", "Field_2=TUN:Title", "--no-create-albums"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "5 lines read, 2 songs added\n3 empty lines were skipped; 5 NUL characters were dropped\n");
    const QString out = dir.configDir() + "/out.csv";
    run = runCli(dir, {"--dir", dir.dir(), "export", out, "--quiet", "--no-header", "--fields", "TUN:Title"});
    EXPECT_EQ(read(out), "\"Waterloo\"\r\n\"Innuendo\"\r\n"); // in artist order
}
