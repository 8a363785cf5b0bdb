// The process runner: stepping, progress, the end and cancel, the loop of the command line and
// the timer-driven progress window.
#include "process/process_runner.h"
#include "process/ui/process_window.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Walks `records` records against a stated total (the table's count, which may be off).
class CountingProcess : public Process {
public:
    CountingProcess(int records, qint64 total, int perStep = 10)
        : Process("Counting", "Counting...", perStep), m_records(records), m_total(total) {}

    int handled = 0;
    int ended = 0;

protected:
    bool begin() override {
        setProgress(0, m_total);
        return m_records > 0;
    }
    bool handleNext() override {
        ++handled;
        setProgress(handled, m_total);
        return handled < m_records;
    }
    void end() override { ++ended; }

private:
    int m_records;
    qint64 m_total;
};

TEST(ProcessRunner, StepsItsRecordsAndCompletes) {
    CountingProcess p(25, 25);
    ASSERT_TRUE(p.start());
    EXPECT_EQ(p.percentText(), "0% Completed");
    EXPECT_TRUE(p.step());
    EXPECT_EQ(p.handled, 10);
    EXPECT_EQ(p.percentText(), "40% Completed");
    EXPECT_TRUE(p.step(10));
    EXPECT_FALSE(p.step(10)); // the last five records end the run
    EXPECT_EQ(p.handled, 25);
    EXPECT_TRUE(p.completed());
    EXPECT_EQ(p.percentText(), "Process Completed");
    EXPECT_FALSE(p.step());
    EXPECT_EQ(p.handled, 25);
    EXPECT_EQ(p.ended, 1);
}

TEST(ProcessRunner, PercentageIsCappedWhenTheTotalIsLow) {
    CountingProcess p(30, 10);
    p.start();
    p.step(20);
    EXPECT_EQ(p.percent(), 100);
    EXPECT_EQ(p.percentText(), "100% Completed");
}

TEST(ProcessRunner, NothingToDoCompletesWithoutAStep) {
    CountingProcess p(0, 0);
    EXPECT_FALSE(p.start());
    EXPECT_TRUE(p.completed());
    EXPECT_EQ(p.handled, 0);
    EXPECT_EQ(p.ended, 1);
}

TEST(ProcessRunner, CancelStopsAtOnceAndKeepsTheWorkDone) {
    CountingProcess p(100, 100);
    p.start();
    p.step(30);
    p.cancel();
    EXPECT_EQ(p.state(), Process::State::Cancelled);
    EXPECT_FALSE(p.step());
    EXPECT_EQ(p.handled, 30);
    EXPECT_EQ(p.percent(), 30);
    EXPECT_EQ(p.ended, 1);
}

TEST(ProcessRunner, CommandLineLoopReportsEachWholePercentageOnce) {
    CountingProcess p(1000, 1000, 1);
    QList<int> seen;
    EXPECT_TRUE(runToEnd(p, [&seen](const Process& q) {
        seen << q.percent();
        return true;
    }));
    ASSERT_EQ(seen.size(), 101);
    EXPECT_EQ(seen.first(), 0);
    EXPECT_EQ(seen.last(), 100);
}

// On cancel it has `remaining` records of last work to finish before it may end.
class WindingDownProcess : public CountingProcess {
public:
    explicit WindingDownProcess(int remaining)
        : CountingProcess(1000000, 1000000, 1), m_remaining(remaining) {}

    int wound = 0;

protected:
    bool windDown() override { return true; }
    bool handleNext() override {
        if (cancelling()) {
            return ++wound < m_remaining;
        }
        return CountingProcess::handleNext();
    }

private:
    int m_remaining;
};

TEST(ProcessRunner, AProcessWithLastWorkFinishesItBeforeEndingCancelled) {
    WindingDownProcess p(3);
    ASSERT_TRUE(p.start());
    EXPECT_TRUE(p.step());
    p.cancel();
    EXPECT_TRUE(p.cancelling());
    EXPECT_EQ(p.state(), Process::State::Running);
    p.cancel(); // a second cancel changes nothing
    while (p.step()) {
    }
    EXPECT_EQ(p.wound, 3);
    EXPECT_EQ(p.state(), Process::State::Cancelled);
    EXPECT_EQ(p.ended, 1);

    // The command line loop goes on stepping until the last work is done.
    WindingDownProcess q(5);
    EXPECT_FALSE(runToEnd(q, [](const Process& r) { return r.recordsDone() < 20; }));
    EXPECT_EQ(q.wound, 5);
    EXPECT_EQ(q.state(), Process::State::Cancelled);
}

TEST(ProcessRunner, CommandLineLoopCancelsWhenTheCallbackSaysSo) {
    CountingProcess p(1000, 1000, 100);
    EXPECT_FALSE(runToEnd(p, [](const Process& q) { return q.percent() < 30; }));
    EXPECT_EQ(p.state(), Process::State::Cancelled);
    EXPECT_EQ(p.handled, 300);
}

TEST(ProcessWindow, TimerStepsTheProcessToTheEnd) {
    auto* window = new ProcessWindow(std::make_unique<CountingProcess>(95, 95));
    QPointer<ProcessWindow> alive(window);
    QSignalSpy finished(window, &ProcessWindow::finished);
    EXPECT_EQ(window->windowTitle(), "Counting");
    EXPECT_EQ(window->messageLine(), "Counting...");
    EXPECT_EQ(window->percentLine(), "0% Completed");
    window->show();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(finished.first().first().toBool());
    ASSERT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, 2000)); // closed and deleted
}

TEST(ProcessWindow, CancelButtonStopsWithoutAQuestion) {
    auto* counting = new CountingProcess(1000000, 1000000, 1);
    auto* window = new ProcessWindow(std::unique_ptr<Process>(counting));
    QSignalSpy finished(window, &ProcessWindow::finished);
    window->setInterval(5);
    window->show();
    QTest::qWait(50);
    auto* cancel = window->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished.first().first().toBool());
}

TEST(ProcessWindow, CancelWaitsForTheLastWorkWithTheButtonDisabled) {
    auto* process = new WindingDownProcess(20);
    auto* window = new ProcessWindow(std::unique_ptr<Process>(process));
    QSignalSpy finished(window, &ProcessWindow::finished);
    window->setInterval(5);
    window->show();
    QTest::qWait(30);
    auto* cancel = window->findChild<QPushButton*>();
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_FALSE(cancel->isEnabled());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_EQ(process->wound, 20);
}

TEST(ProcessWindow, EscapeCancels) {
    auto* window = new ProcessWindow(std::make_unique<CountingProcess>(1000000, 1000000, 1));
    QSignalSpy finished(window, &ProcessWindow::finished);
    window->setInterval(5);
    window->show();
    QTest::qWait(20);
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished.first().first().toBool());
}

} // namespace
