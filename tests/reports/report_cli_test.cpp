// tunarium-cli report: every report named by --list prints to a PDF, the options a report does
// not take are refused as bad usage, and a report that prints nothing or cannot be written leaves
// no file under the chosen name.
#include "report_test_support.h"
#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

class ReportCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
    }

    // Songs imported from a sheet; `lines` are its lines after the header.
    void importSongs(const QStringList& lines) {
        const QString sheet = dir.configDir() + "/sheet.csv";
        QFile f(sheet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"TUN:Artist\",\"TUN:Title\",\"TUN:Album\",\"TUN:BeatsPerMinute\",\"TUN:DoNotPlay\"\n");
        for (const QString& line : lines) {
            f.write(line.toUtf8() + "\n");
        }
        f.close();
        const CliRun run = runCli(dir, {"--dir", dir.dir(), "import", sheet, "--quiet"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }

    CliRun report(const QStringList& args) {
        return runCli(dir, QStringList{"--dir", dir.dir(), "report"} + args);
    }
    QString out(const QString& name) const { return dir.configDir() + "/" + name; }

    TempCollection dir;
};

TEST_F(ReportCliTest, EveryListedReportPrintsToAPdf) {
    importSongs({R"("Abba","Waterloo","Waterloo",147,0)", R"("Beatles","Help!","Help!",95,0)"});
    const CliRun list = report({"--list"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 18);
    for (const QString& line : lines) {
        const QString name = line.section(u'\t', 0, 0);
        QStringList args{name, "--pdf", out(name + ".pdf"), "--quiet"};
        if (name.endsWith("category")) {
            // The import files its songs under no category: no song report finds one.
            continue;
        }
        if (name == "songs-of-album") {
            args << "--album"
                 << "1";
        } else if (name.startsWith("playlist")) {
            continue; // no playlist can be made from the command line
        }
        const CliRun run = report(args);
        if (name == "albums-by-file-number") {
            // The albums the import made have no file number, and that key leaves blank ones out.
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.err.contains("Nothing to Print.")) << run.err.toStdString();
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << name.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(QFileInfo(out(name + ".pdf")).size() > 0) << name.toStdString();
    }
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        const QString text = pdfText(out("songs-by-artist.pdf"));
        EXPECT_TRUE(text.contains("Songs by Artist"));
        EXPECT_LT(text.indexOf("Waterloo"), text.indexOf("Help!"));
    }
}

TEST_F(ReportCliTest, OptionsTheReportDoesNotTakeAreBadUsage) {
    importSongs({R"("Abba","Waterloo","Waterloo",147,0)"});
    struct Case {
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        {{}, "report needs a report name (report --list names them)"},
        {{"songs-by-artist"}, "report needs --pdf FILE"},
        {{"no-such-report", "--pdf", "x.pdf"}, "there is no report no-such-report"},
        {{"songs-by-album", "--brief", "--album", "1", "--pdf", "x.pdf"}, "songs-by-album takes no --album"},
        {{"songs-of-album", "--brief", "--album", "1", "--pdf", "x.pdf"},
         "songs-of-album has no Brief layout"},
        {{"songs-of-album", "--pdf", "x.pdf"}, "songs-of-album needs --album ID"},
        {{"playlist", "--playlist", "none", "--pdf", "x.pdf"}, "playlist needs --playlist ID"},
        {{"dj-log", "--selected", "ab", "--pdf", "x.pdf"}, "dj-log prints every record"},
        {{"songs-by-title", "--filter", "TUN:Artist = 'Abba'", "--pdf", "x.pdf"},
         "songs-by-title takes no --filter"},
        {{"songs-by-category", "--pdf", "x.pdf"}, "songs-by-category needs --category NAME"},
        {{"--list", "songs-by-artist"}, "report --list takes no report name"},
    };
    for (const Case& c : cases) {
        const CliRun run = report(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("tunarium-cli: ") + c.err))
            << c.args.join(' ').toStdString() << "\n"
            << run.err.toStdString();
    }
}

TEST_F(ReportCliTest, AReportThatPrintsNothingOrCannotBeWrittenLeavesNoFile) {
    // Every song do-not-play: the artist report's record check leaves them all out.
    importSongs({R"("Abba","Waterloo","Waterloo",147,1)", R"("Beatles","Help!","Help!",95,1)"});
    struct Case {
        QStringList args;
        QString file;
        const char* err;
    };
    const Case cases[] = {
        {{"songs-by-artist"}, out("empty.pdf"), "Nothing to Print."},
        {{"songs-by-title", "--selected", "zz"}, out("none.pdf"), "Nothing to Print."},
        {{"songs-by-media"}, out("missing/out.pdf"), "does not exist"},
        {{"songs-by-category", "--category", "Jazz"}, out("jazz.pdf"), "there is no category Jazz"},
        {{"songs-of-album", "--album", "42"}, out("album.pdf"), "Album number 42 is not in the collection"},
        {{"playlist", "--playlist", "9"}, out("playlist.pdf"), "Playlist number 9 is not in the collection"},
    };
    for (const Case& c : cases) {
        const CliRun run = report(c.args + QStringList{"--pdf", c.file, "--quiet"});
        EXPECT_EQ(run.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.err))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.file)) << c.file.toStdString();
    }
    // Nothing else is left beside them either: no temporary file.
    EXPECT_EQ(QDir(dir.configDir()).entryList({"*.pdf*", ".*pdf*"}, QDir::Files | QDir::Hidden),
              QStringList());

    // The media report has no record check: it prints the do-not-play songs.
    const CliRun run = report({"songs-by-media", "--pdf", out("media.pdf"), "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1 page written to " + out("media.pdf") + "\n");
}

} // namespace
