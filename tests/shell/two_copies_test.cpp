// Two and three copies of the program on one collection at once, as separate processes: imports
// side by side, an export, compact and rebuild-keys while an import runs, two copies rewriting
// one song, and the song form window editing songs while the command line imports. Nothing is
// lost, no copy crashes or shows "database is locked", the log stays, and the songs at the end are
// what the copies say they committed.
#include "catalogue/procedure_names.h"
#include "data/store_sqlite.h"
#include "catalogue/ui/song_form_window.h"
#include "catalogue/ui/songs_browse_window.h"
#include "exchange/import_process.h"
#include "shell/ui/program.h"
#include "support/child_role.h"
#include "support/cli_run.h"
#include "support/song_collection.h"
#include "support/sql_file.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>
#include <string>

using tunarium::test::songsIn;
using tunarium::test::TempCollection;
using namespace tunarium;

namespace {

void say(const QString& line) {
    std::cout << line.toStdString() << std::endl;
}

QString waitForGo() {
    std::string line;
    std::getline(std::cin, line);
    return QString::fromStdString(line);
}

// Another station: reads song ARG2 of the collection in ARG1, says "read", and on a line from its
// test sets one field (ARG3: title or artist) to ARG4 and rewrites the song, as ARG5 says: through
// the store alone ("store": says the store's code), or through the update routine as a form that
// cannot ("routine") or can ("recall") bring back the user's typing. After the routine it says
// its result, the title the record shows then and the message it showed; refused because another
// station changed the song, it sets its field again and saves once more, as a user would.
int stationRole(const QStringList& args) {
    if (args.size() != 5) {
        return 2;
    }
    RecordingPrompter prompter;
    Database db(prompter, args[0], args[0] + QStringLiteral("/station-profile.ini"));
    if (!db.openTable(TableId::Tunarium)) {
        return 1;
    }
    Row song;
    if (db.store().get(TableId::Tunarium, tableDef(TableId::Tunarium).primaryKey, {args[1].toLongLong()},
                       song)) {
        return 1;
    }
    const int field = args[2] == QLatin1String("title") ? tun::kTitle : tun::kArtist;
    say(QStringLiteral("read"));
    waitForGo();
    song.setText(field, args[3]);
    if (args[4] == QLatin1String("store")) {
        say(QStringLiteral("code %1").arg(db.store().update(song).code));
        return 0;
    }
    const bool canRecall = args[4] == QLatin1String("recall");
    const int result = db.update(song, canRecall);
    say(QStringLiteral("result %1").arg(result));
    say(QStringLiteral("shows ") + song.text(tun::kTitle));
    say(QStringLiteral("said ") + (prompter.messages.isEmpty() ? QString()
                                                               : prompter.messages.last().caption + u'|' +
                                                                     prompter.messages.last().text));
    if (result == kRoutineChanged) {
        song.setText(field, args[3]);
        say(QStringLiteral("again %1").arg(db.update(song, canRecall)));
    }
    return 0;
}
const test::ChildRoleRegistration stationRegistration("station", &stationRole);

// A copy that holds the collection's write lock: says "held" once it has it, and "released" after
// a line from its test.
int lockHolderRole(const QStringList& args) {
    if (args.size() != 1) {
        return 2;
    }
    SqliteStore store;
    if (store.open(args[0]) || store.begin()) {
        return 1;
    }
    say(QStringLiteral("held"));
    waitForGo();
    store.rollback();
    say(QStringLiteral("released"));
    return 0;
}
const test::ChildRoleRegistration lockHolderRegistration("hold-lock", &lockHolderRole);

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
    // The export reads one snapshot: the songs from before the import and those of the steps the
    // import had committed when the export began, 25 lines each.
    EXPECT_EQ(exporting.exitCode(), 0) << exporting.err().toStdString();
    QFile out(dir.path("../out.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const qint64 exported = out.readAll().count('\n');
    EXPECT_GE(exported, 200);
    EXPECT_LE(exported, 4200);
    EXPECT_EQ((exported - 200) % kImportLinesPerStep, 0) << exported;
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

// Two imports large enough to load in bulk, into one empty collection at once: each adds every
// line of its file, or is refused whole, says so and adds nothing (never some of its lines).
TEST(TwoCopies, TwoLargeImportsIntoAnEmptyCollectionAddAllOrNothing) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 0);
    const QString padding(100, u'x');
    qint64 lines = 0;
    std::vector<std::unique_ptr<Copy>> running;
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.path(QStringLiteral("../large-%1.csv").arg(i));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        lines = 0;
        while (file.size() < kImportBulkBytes + 1000) {
            ++lines;
            file.write(QStringLiteral("Copy%1 Artist %2,Copy%1 Title %3 %4\n").arg(i).arg(lines % 40).arg(lines).arg(padding).toUtf8());
        }
        file.close();
        running.push_back(std::make_unique<Copy>(dir, importOf(path)));
    }
    qint64 added = 0;
    for (auto& copy : running) {
        copy->finish();
        expectNoCrash(*copy, "import");
        const qint64 n = copy->songsAdded();
        EXPECT_TRUE(n == 0 || n == lines) << n << " of " << lines << "\n" << copy->err().toStdString();
        if (n == 0) {
            EXPECT_EQ(copy->exitCode(), 1);
            EXPECT_TRUE(copy->err().contains("another copy of the program is writing to the collection"))
                << copy->err().toStdString();
        } else {
            EXPECT_EQ(copy->exitCode(), 0) << copy->err().toStdString();
        }
        added += n;
    }
    EXPECT_GE(added, lines);
    EXPECT_EQ(songsIn(dir.dir()), added);
    EXPECT_EQ(tunarium::test::runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"}).exitCode, 0);
}

TEST(TwoCopies, ARewriteOfASongAnotherCopyChangedIsRefused) {
    struct Case {
        const char* how;
        QStringList secondSays; // what the second station says after its rewrite
        QString title, artist;  // the song at the end
    };
    const QString changed = QStringLiteral("This record was changed by another station.");
    const Case cases[] = {
        {"store", {"code 89"}, "From A", "Artist 7"},
        {"routine",
         {"result 2", "shows From A", "said Update Operation Error|" + changed, "again 0"},
         "From A",
         "From B"},
        {"recall",
         {"result 2", "shows From A",
          "said Record Was Not Updated|" + changed +
              " Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes.",
          "again 0"},
         "From A",
         "From B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        TempCollection dir;
        test::makeSongCollection(dir.dir(), 10);
        // Both read the song before either writes; then the first, then the second rewrites it.
        QProcess first;
        QProcess second;
        test::startChildRole(first, "station", {dir.dir(), "7", "title", "From A", c.how});
        test::startChildRole(second, "station", {dir.dir(), "7", "artist", "From B", c.how});
        ASSERT_EQ(test::readChildLine(first), "read");
        ASSERT_EQ(test::readChildLine(second), "read");
        first.write("go\n");
        ASSERT_TRUE(first.waitForFinished(30000));
        EXPECT_EQ(first.exitCode(), 0);
        const QString firstSaid = QString::fromUtf8(first.readAllStandardOutput()).trimmed();
        EXPECT_TRUE(firstSaid.startsWith(QStringLiteral("code 0")) || firstSaid.startsWith("result 0"))
            << firstSaid.toStdString();
        second.write("go\n");
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()).trimmed().split(u'\n'), c.secondSays);
        const QList<QStringList> song =
            test::sqlRows(dir.path("tunarium.db"),
                          "SELECT \"Title\", \"Artist\" FROM \"Tunarium\" WHERE \"ID\" = ?", {"7"});
        ASSERT_EQ(song.size(), 1);
        EXPECT_EQ(song[0], QStringList({c.title, c.artist}));
    }
}

// The song form, opened from the songs browse that the program starts by name, edits songs while
// tunarium-cli imports into the same collection; then once more while another copy holds the
// write lock, when the save shows the lock warning and keeps the form open until OK is pressed
// again.
class SongFormBesideAnImport : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        // Songs on a media the form accepts.
        {
            SqliteStore store;
            ASSERT_TRUE(store.open(dir.dir()).ok());
            for (const TableDef& t : allTables()) {
                ASSERT_TRUE(store.openTable(t.id).ok());
            }
            Transaction tx(store);
            MediaRecord cd{"CD", {}};
            ASSERT_TRUE(store.insert(cd).ok());
            for (int i = 1; i <= 300; ++i) {
                SongRecord s;
                s.id = i;
                s.artist = QStringLiteral("Artist %1").arg(i % 97);
                s.title = QStringLiteral("Title %1").arg(i);
                s.media = QStringLiteral("CD");
                ASSERT_TRUE(store.insert(s).ok());
            }
            ASSERT_TRUE(tx.commit().ok());
        }
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
        registerProgramProcedures(procedures);
        area.resize(1000, 700);
        area.show();
    }

    SongsBrowseWindow* openBrowse() {
        procedures.start(QString::fromLatin1(procedure::kBrowseSongs),
                         {*db, settings, prompter, &area, &area, procedures});
        for (QMdiSubWindow* w : area.subWindowList()) {
            if (auto* browse = dynamic_cast<SongsBrowseWindow*>(w->widget())) {
                return browse;
            }
        }
        return nullptr;
    }

    SongFormWindow* openForm(SongsBrowseWindow* browse, int row) {
        browse->engine().selectRow(row);
        browse->button(BrowseAction::Change)->click();
        QCoreApplication::processEvents();
        for (QMdiSubWindow* w : area.subWindowList()) {
            if (auto* form = dynamic_cast<SongFormWindow*>(w->widget())) {
                return form;
            }
        }
        return nullptr;
    }

    static QLineEdit* titleOf(QWidget* form) {
        for (QLabel* l : form->findChildren<QLabel*>()) {
            if (l->text() == QLatin1String("&Title:")) {
                return qobject_cast<QLineEdit*>(l->buddy());
            }
        }
        return nullptr;
    }

    static void pressOk(QWidget* form) {
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            if (b->text() == QLatin1String("&OK")) {
                QTest::mouseClick(b, Qt::LeftButton);
                QCoreApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "the form has no OK button";
    }

    // Edits the title of the song on `row` through the form; true when the form saved it and
    // closed. Every message the save shows must be the lock warning or the offer to save again
    // that follows it (answered Cancel), after which OK is pressed again.
    bool editSong(SongsBrowseWindow* browse, int row, const QString& title) {
        QPointer<SongFormWindow> form = openForm(browse, row);
        if (!form || !titleOf(form)) {
            ADD_FAILURE() << "no song form for row " << row;
            return false;
        }
        const qint64 id = form->record().number(tun::kId);
        titleOf(form)->clear();
        QTest::keyClicks(titleOf(form), title);
        for (int attempt = 0; attempt < 10 && form; ++attempt) {
            const qsizetype told = prompter.messages.size();
            pressOk(form);
            for (qsizetype m = told; m < prompter.messages.size(); ++m) {
                const QString& caption = prompter.messages[m].caption;
                EXPECT_TRUE(caption == "Transaction Framing Error" || caption == "Record Update Error")
                    << caption.toStdString() << ": " << prompter.messages[m].text.toStdString();
            }
        }
        if (form) {
            return false;
        }
        edited.insert(id, title);
        return true;
    }

    QString titleInFile(qint64 id) const {
        const QList<QStringList> rows =
            test::sqlRows(dir.path("tunarium.db"), "SELECT \"Title\" FROM \"Tunarium\" WHERE \"ID\" = ?",
                          {QString::number(id)});
        return rows.isEmpty() ? QString() : rows[0].value(0);
    }

    TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    ProcedureRegistry procedures;
    QMdiArea area;
    QHash<qint64, QString> edited;
};

TEST_F(SongFormBesideAnImport, EditsAreKeptAndALockIsWarnedOf) {
    const QString lines = dir.path("../lines.csv");
    writeLines(lines, 5000, QStringLiteral("Cli"));
    Copy import(dir, importOf(lines));
    for (int i = 0; i < 400 && songsIn(dir.dir()) <= 300 && import.running(); ++i) {
        QThread::msleep(25);
    }
    SongsBrowseWindow* browse = openBrowse();
    ASSERT_NE(browse, nullptr);
    ASSERT_GT(browse->engine().rowCount(), 5);
    int duringImport = 0;
    for (int i = 0; i < 12; ++i) {
        const bool running = import.running();
        ASSERT_TRUE(editSong(browse, i % 5, QStringLiteral("Edited %1").arg(i)));
        duringImport += running ? 1 : 0;
    }
    import.finish();
    expectNoCrash(import, "import");
    EXPECT_EQ(import.exitCode(), 0) << import.err().toStdString();
    EXPECT_EQ(import.songsAdded(), 5000);
    EXPECT_GT(duringImport, 0) << "the import ended before the first edit";

    // Another copy holds the write lock past the lock time-out: the save is refused with the lock
    // warning, the form stays open with the user's typing, and OK saves once the lock is free.
    QProcess holder;
    test::startChildRole(holder, "hold-lock", {dir.dir()});
    ASSERT_EQ(test::readChildLine(holder), "held");
    QPointer<SongFormWindow> form = openForm(browse, 2);
    ASSERT_TRUE(form && titleOf(form));
    const qint64 id = form->record().number(tun::kId);
    titleOf(form)->clear();
    QTest::keyClicks(titleOf(form), "Saved after the lock");
    prompter.messages.clear();
    pressOk(form);
    ASSERT_TRUE(form) << "saved while another copy held the lock";
    // The lock warning, then the form's offer to save again (answered with its default, Cancel).
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].caption, "Transaction Framing Error");
    EXPECT_EQ(prompter.messages[0].text, "Error: (File Is Locked (32)) attempting to frame the update "
                                         "transaction on Tunarium.  Update transaction cancelled.");
    EXPECT_EQ(prompter.messages[1].caption, "Record Update Error");
    EXPECT_EQ(titleOf(form)->text(), "Saved after the lock");
    holder.write("go\n");
    ASSERT_EQ(test::readChildLine(holder), "released");
    holder.waitForFinished(10000);
    pressOk(form);
    EXPECT_FALSE(form) << "the form stayed open after the lock was released";
    edited.insert(id, "Saved after the lock");

    // What was committed is there: the import's songs and the last title of every edited song.
    for (QMdiSubWindow* w : area.subWindowList()) {
        w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(songsIn(dir.dir()), 300 + import.songsAdded());
    for (auto it = edited.cbegin(); it != edited.cend(); ++it) {
        EXPECT_EQ(titleInFile(it.key()), it.value()) << "song " << it.key();
    }
    EXPECT_EQ(test::runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"}).exitCode, 0);
}

// The songs browse's title counts the songs another copy imports, without a key pressed.
TEST_F(SongFormBesideAnImport, TheTitleCountsTheSongsAnotherCopyAdds) {
    SongsBrowseWindow* browse = openBrowse();
    ASSERT_NE(browse, nullptr);
    EXPECT_TRUE(browse->windowTitle().contains("300 entries")) << browse->windowTitle().toStdString();
    const QString lines = dir.path("../lines.csv");
    writeLines(lines, 120, QStringLiteral("Other"));
    Copy import(dir, importOf(lines));
    import.finish();
    ASSERT_EQ(import.exitCode(), 0) << import.err().toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(browse->windowTitle().contains("420 entries"), 20000);
}

} // namespace
