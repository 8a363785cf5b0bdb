// The whole program on a collection of its own, for journeys: tests that walk one task the way a
// user does, through the frame's menus and the windows they open, and look at the collection and
// at what the windows show at the end. The disc "in the drive" is a table-of-contents file the
// journey writes; messages are answered by a recording prompter, in order.
#pragma once

#include "data/app_paths.h"
#include "data/database.h"
#include "data/prompter.h"
#include "data/records.h"
#include "shell/frame_commands.h"
#include "shell/startup.h"
#include "shell/ui/main_frame.h"
#include "shell/ui/program.h"
#include "support/temp_collection.h"
#include "support/test_server.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace tunarium::test {

// The collection a journey that runs on both runs on.
enum class Backend { File, Server };

inline std::string backendName(const ::testing::TestParamInfo<Backend>& backend) {
    return backend.param == Backend::File ? "File" : "Server";
}

class JourneyTest : public ::testing::Test {
protected:
    // Preferences the program starts with (section Settings of Tunar98.INI), before SetUp opens it.
    virtual QByteArray settingsText() const { return "[Settings]\nAddMode=A\nSetupWizardComplete=1\n"; }
    // The prompter the program answers with: the recording prompter, unless a journey needs
    // another (one that also chooses files, or the program's own message boxes).
    virtual Prompter& programPrompter() { return prompter; }

    // Where the program's collection lives: the journey's folder, unless a journey runs on a
    // collection on the test server too (serverCollection). Empty: the journey is skipped.
    virtual QString collectionLocation() { return dir.dir(); }
    // A new empty collection on the test server, for the journey's whole run; empty without one.
    QString serverCollection() {
        if (!ServerDatabase::configured()) {
            return {};
        }
        server = std::make_unique<ServerDatabase>();
        EXPECT_TRUE(server->error().isEmpty()) << server->error().toStdString();
        EXPECT_TRUE(initServerCollection(server->location()).ok());
        return server->location();
    }

    void SetUp() override {
        const QString location = collectionLocation();
        if (location.isEmpty()) {
            GTEST_SKIP() << "TUNARIUM_TEST_SERVER is not set (scripts/test.sh starts a server): server journey skipped";
        }
        resetTableRegistration();
        writeText(dir.configDir() + "/Tunar98.INI", settingsText());
        oldToc = qgetenv("TUNARIUM_CD_TOC");
        putDisc("1 2 33892 150 15544");
        program = std::make_unique<Program>(location, programPrompter(), defaultProfilePath(), settingsFilePath());
        program->setShowSplash(false);
        program->start();
        ASSERT_NE(program->frame(), nullptr) << "the frame did not open";
        frame()->resize(1024, 768);
        frame()->show();
        settle();
    }
    void TearDown() override {
        if (!program) {
            return;
        }
        if (program->frame()) {
            program->frame()->close();
        }
        settle();
        program.reset();
        settle();
        qputenv("TUNARIUM_CD_TOC", oldToc);
    }

    MainFrame* frame() const { return program->frame(); }
    Database& db() { return program->database(); }
    Settings& settings() { return program->settings(); }
    QMdiArea* workspace() const { return frame()->workspace(); }

    // Chooses a menu command or toolbar button of the frame.
    void choose(FrameCommand command) {
        frame()->trigger(command);
        settle();
    }
    // The disc in the drive from now on: "first last leadout offset1 offset2 ..." in frames.
    void putDisc(const QByteArray& toc) {
        writeText(dir.path("disc.toc"), toc + "\n");
        qputenv("TUNARIUM_CD_TOC", dir.path("disc.toc").toLocal8Bit());
    }

    // The window of that kind shown in the workspace: the active one when it is of that kind, else
    // the first visible; null when none is open.
    template <class W> W* shown() const {
        if (QMdiSubWindow* active = workspace()->activeSubWindow()) {
            if (auto* w = dynamic_cast<W*>(active->widget()); w && active->isVisible()) {
                return w;
            }
        }
        for (QMdiSubWindow* sub : workspace()->subWindowList()) {
            if (auto* w = dynamic_cast<W*>(sub->widget()); w && sub->isVisible()) {
                return w;
            }
        }
        return nullptr;
    }
    // Waits up to `ms` for a window of that kind to show.
    template <class W> W* waitFor(int ms = 5000) {
        W* found = nullptr;
        (void)QTest::qWaitFor([&] { return (found = shown<W>()) != nullptr; }, ms);
        return found;
    }
    // Waits until no window of that kind is shown; false when one still is after `ms`.
    template <class W> bool waitGone(int ms = 5000) {
        return QTest::qWaitFor([&] { return shown<W>() == nullptr; }, ms);
    }

    // Every record of a table, in record-number order (small collections only).
    template <class R> std::vector<R> all() {
        std::vector<R> out;
        QVector<Row> rows;
        qint64 after = 0;
        do {
            rows.clear();
            EXPECT_TRUE(db().store().readInRecordOrder(R::kTable, after, 500, rows).ok());
            for (const Row& row : rows) {
                out.push_back(fromRow<R>(row));
                after = row.meta.rec;
            }
        } while (rows.size() == 500);
        return out;
    }
    qint64 count(TableId table) { return db().store().count(table); }

    // The text of a PDF file as pdftotext reads it, its layout kept; empty when it cannot be read.
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            return {};
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static void writeText(const QString& path, const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(text);
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // The messages shown since the journey began, as "caption: text" lines, for failures.
    std::string messagesSoFar() const {
        std::string out;
        for (const PromptMessage& m : prompter.messages) {
            out += (m.caption + QStringLiteral(": ") + m.text + QLatin1Char('\n')).toStdString();
        }
        return out;
    }

    TempCollection dir;
    std::unique_ptr<ServerDatabase> server;
    RecordingPrompter prompter;
    std::unique_ptr<Program> program;
    QByteArray oldToc;
};

} // namespace tunarium::test
