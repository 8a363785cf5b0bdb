// How tunarium-cli reads its arguments, the same for every command: options anywhere after the
// command, --dir and --help there too, the last of two opposite flags holding, and an option the
// command does not know named as it was typed.
#include "support/cli_run.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

TEST(CliArguments, EveryCommandReadsItsOptionsTheSameWay) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const QString sheet = dir.configDir() + "/sheet.csv";
    QFile f(sheet);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"TUN:Artist\",\"TUN:Title\"\n\"Abba\",\"Waterloo\"\n");
    f.close();

    // --dir after the command, options before the file, and the later of two opposite flags.
    CliRun run = runCli(dir, {"import", "--quiet", "--strip-header", "--keep-header", "--no-create-albums",
                              "--create-albums", "--no-create-albums", sheet, "--dir", dir.dir()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "2 lines read, 2 songs added\n"); // the header line kept, no album entries

    run = runCli(dir, {"--dir", dir.dir(), "info", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith("usage: tunarium-cli [--dir DIR | --server URL] COMMAND")) << run.out.toStdString();

    struct Case {
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        {{"import", sheet, "--strip-header=yes"}, "unknown option --strip-header=yes"},
        {{"export", dir.configDir() + "/x.csv", "--fields=TUN:Title", "--nope=1"}, "unknown option --nope=1"},
        {{"export", dir.configDir() + "/x.csv", "--fields"}, "--fields needs a list of field names"},
        {{"check", "--quiet", "--deep"}, "check takes no arguments"},
        {{"compact", "now"}, "compact takes no arguments"},
        {{"cd", "identify", "--device"}, "--device needs a value"},
        {{"cd", "identify", "--toc", "a.toc", "--fast"}, "cd identify does not know --fast"},
        {{"info", "--dir"}, "--dir needs a directory"},
    };
    for (const Case& c : cases) {
        run = runCli(dir, QStringList{"--dir", dir.dir()} + c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tunarium-cli: ") + c.err + u'\n'))
            << c.args.join(' ').toStdString() << "\n"
            << run.err.toStdString();
    }
}

// The usage text and the commands run come from one table: every command the usage names is run
// (it reads its own arguments and refuses one it does not know), and a name it does not give is
// refused before anything is read.
TEST(CliArguments, EveryCommandTheUsageNamesIsOneThatRuns) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    const CliRun help = runCli(dir, {"--help"});
    ASSERT_EQ(help.exitCode, 0);
    const QStringList lines = help.out.split(u'\n');
    const qsizetype start = lines.indexOf("commands:");
    ASSERT_GE(start, 0) << help.out.toStdString();
    QStringList names;
    for (qsizetype i = start + 1; i < lines.size(); ++i) {
        // A command's first line: two spaces and its name; its other lines are indented further.
        const QString& line = lines[i];
        if (line.startsWith("  ") && line.size() > 2 && line[2] != u' ') {
            const QString name = line.mid(2).section(u' ', 0, 0);
            if (!names.contains(name)) {
                names << name;
            }
        }
    }
    EXPECT_EQ(names.size(), 21) << names.join(' ').toStdString();
    EXPECT_TRUE(help.out.contains("Only info and import and scan create a collection;")) << help.out.toStdString();
    for (const QString& name : names) {
        const CliRun run = runCli(dir, {"--dir", dir.dir(), name, "--no-such-option"});
        EXPECT_EQ(run.exitCode, 2) << name.toStdString() << ": " << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("unknown command")) << name.toStdString();
    }
    const CliRun unknown = runCli(dir, {"--dir", dir.dir(), "nonsense", "--quiet"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.startsWith("tunarium-cli: unknown command nonsense\n")) << unknown.err.toStdString();
}

} // namespace
