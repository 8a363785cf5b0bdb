// Two and three copies of the program on one collection at once, as separate processes: imports
// side by side, an export, compact and rebuild-keys while an import runs. Nothing is lost, no
// copy crashes or shows "database is locked", the log stays, and the songs at the end are what
// the copies say they added.
#include "support/cli_run.h"
#include "support/song_collection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

using tunarium::test::songsIn;
using tunarium::test::TempCollection;

namespace {

void writeLines(const QString& path, int lines, const QString& tag) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 1; i <= lines; ++i) {
        file.write(QStringLiteral("%1 Artist %2,%1 Title %3\n").arg(tag).arg(i % 40).arg(i).toUtf8());
    }
}

// A copy of tunarium-cli running on its own.
class Copy {
public:
    Copy(const TempCollection& dir, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TUNARIUM_CONFIG_DIR", dir.configDir());
        m_process.setProcessEnvironment(env);
        m_process.start(qEnvironmentVariable("TUNARIUM_CLI"), QStringList{"--dir", dir.dir()} + args);
    }
    void finish() {
        m_process.waitForFinished(300000);
        m_exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        m_out = QString::fromUtf8(m_process.readAllStandardOutput());
        m_err = QString::fromUtf8(m_process.readAllStandardError());
    }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    int exitCode() const { return m_exitCode; }
    const QString& out() const { return m_out; }
    const QString& err() const { return m_err; }
    // "N songs added" of an import; 0 when it says nothing of it.
    qint64 songsAdded() const {
        static const QRegularExpression added(QStringLiteral("(\\d+) songs added"));
        const QRegularExpressionMatch m = added.match(m_out);
        return m.hasMatch() ? m.captured(1).toLongLong() : 0;
    }

private:
    QProcess m_process;
    int m_exitCode = -1;
    QString m_out;
    QString m_err;
};

QStringList importOf(const QString& file) {
    return {"import",
            file,
            "--assign",
            "Field_1=TUN:Artist",
            "--assign",
            "Field_2=TUN:Title",
            "--no-create-albums",
            "--quiet"};
}

void expectNoCrash(const Copy& copy, const std::string& what) {
    EXPECT_GE(copy.exitCode(), 0) << what << " crashed\n" << copy.err().toStdString();
    EXPECT_LE(copy.exitCode(), 1) << what << "\n" << copy.err().toStdString();
    EXPECT_FALSE(copy.err().contains("database is locked")) << what << "\n" << copy.err().toStdString();
    EXPECT_FALSE(copy.err().contains("Sanitizer")) << what << "\n" << copy.err().toStdString();
}

TEST(TwoCopies, ImportsSideBySideLoseNoSong) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    for (int copies : {2, 3}) {
        TempCollection dir;
        tunarium::test::makeSongCollection(dir.dir(), 100);
        std::vector<std::unique_ptr<Copy>> running;
        for (int i = 0; i < copies; ++i) {
            const QString file = dir.path(QStringLiteral("../lines-%1.csv").arg(i));
            writeLines(file, 600, QStringLiteral("Copy%1").arg(i));
            running.push_back(std::make_unique<Copy>(dir, importOf(file)));
        }
        qint64 added = 0;
        for (auto& copy : running) {
            copy->finish();
            expectNoCrash(*copy, "import");
            added += copy->songsAdded();
        }
        // Each import either added all its lines or was refused whole and said so.
        EXPECT_EQ(songsIn(dir.dir()), 100 + added) << copies << " copies";
        EXPECT_GE(added, 600) << copies << " copies";
        EXPECT_EQ(tunarium::test::runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"}).exitCode,
                  0);
    }
}

TEST(TwoCopies, ExportCompactAndRebuildDuringAnImport) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 200);
    const QString lines = dir.path("../lines.csv");
    writeLines(lines, 4000, QStringLiteral("Long"));
    Copy import(dir, importOf(lines));
    // Wait until the import has committed its first lines.
    for (int i = 0; i < 200 && songsIn(dir.dir()) <= 200 && import.running(); ++i) {
        QThread::msleep(25);
    }
    ASSERT_TRUE(import.running()) << "the import ended before the other copies started";

    Copy exporting(dir, {"export", dir.path("../out.csv"), "--fields", "TUN:Artist,TUN:Title", "--no-header",
                         "--quiet"});
    Copy compact(dir, {"compact"});
    Copy rebuild(dir, {"rebuild-keys"});
    exporting.finish();
    compact.finish();
    rebuild.finish();
    // The log stays while the import writes through it.
    const bool logThere = QFile::exists(dir.path("tunarium.db-wal"));
    const bool stillRunning = import.running();
    import.finish();
    if (stillRunning) {
        EXPECT_TRUE(logThere);
    }
    for (const Copy* copy : {&exporting, &compact, &rebuild, &import}) {
        expectNoCrash(*copy, copy->out().toStdString());
    }
    // The export reads page by page, each page in its own read: it holds the songs from before the
    // import and some of the import's, never more than there are.
    EXPECT_EQ(exporting.exitCode(), 0) << exporting.err().toStdString();
    QFile out(dir.path("../out.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const qint64 exported = out.readAll().count('\n');
    EXPECT_GE(exported, 200);
    EXPECT_LE(exported, 4200);
    // Compacting and rebuilding need the collection to themselves: refused with a message.
    for (const Copy* copy : {&compact, &rebuild}) {
        if (stillRunning) {
            EXPECT_EQ(copy->exitCode(), 1);
            EXPECT_TRUE(copy->out().contains("Another copy of the program has the collection open"))
                << copy->out().toStdString();
        }
    }
    EXPECT_EQ(import.exitCode(), 0) << import.err().toStdString();
    EXPECT_EQ(songsIn(dir.dir()), 200 + import.songsAdded());
    EXPECT_EQ(import.songsAdded(), 4000);
}

} // namespace
