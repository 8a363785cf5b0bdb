// Session markers: one per running copy beside the collection, made without following links.
#include "data/database.h"
#include "data/session_marker.h"
#include "support/child_role.h"
#include "support/temp_collection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace tunarium;

namespace {

// In a shared collection folder a link planted under this process's marker name must not make
// the program truncate the file it points to: the marker is made as a new file, never opened.
TEST(OpenRoutine, ALinkPlantedAsTheSessionMarkerIsNotFollowed) {
    test::TempCollection dir;
    ASSERT_TRUE(QDir().mkpath(dir.dir()));
    const QString victim = dir.path("precious.txt");
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("twenty years of notes");
    }
    const QString marker =
        dir.path(QStringLiteral("tunarium.db.session-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(QFile::link(victim, marker));
    {
        RecordingPrompter prompter;
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db.openTable(TableId::Categories));
        const QFileInfo made(marker);
        EXPECT_TRUE(made.exists());
        EXPECT_FALSE(made.isSymLink());
        EXPECT_EQ(made.size(), 0);
        db.closeAll();
        EXPECT_FALSE(QFileInfo::exists(marker));
    }
    QFile f(victim);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "twenty years of notes");
}

// A marker counts while a process holds its lock, whatever the number in its name: a marker left
// by a copy that was killed is stale at once, also when its number now belongs to a live process.
TEST(SessionMarkers, AMarkerCountsWhileItsProcessHoldsItsLock) {
    test::TempCollection dir;
    ASSERT_TRUE(QDir().mkpath(dir.dir()));
    const auto touch = [&](const QString& name) {
        QFile f(dir.path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    touch(QStringLiteral("tunarium.db.session-%1").arg(::getppid())); // a live number, no lock
    touch("tunarium.db.session-999999999");                           // no such process
    touch("tunarium.db.session-notanumber");                          // not a marker
    SessionMarker own;
    ASSERT_TRUE(own.create(dir.dir()));
    EXPECT_EQ(otherCopiesOpen(dir.dir()), 0);

    QProcess copy;
    test::startChildRole(copy, "session-holder", {dir.dir()});
    const QString held = test::readChildLine(copy);
    ASSERT_TRUE(held.startsWith(dir.path("tunarium.db.session-"))) << held.toStdString();
    EXPECT_EQ(otherCopiesOpen(dir.dir()), 1);
    QStringList stale = staleSessionMarkers(dir.dir());
    stale.sort();
    EXPECT_EQ(stale, QStringList({dir.path(QStringLiteral("tunarium.db.session-%1").arg(::getppid())),
                                  dir.path("tunarium.db.session-999999999")}));
    ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
    copy.waitForFinished();
    EXPECT_TRUE(QFileInfo::exists(held));
    EXPECT_EQ(otherCopiesOpen(dir.dir()), 0);
    EXPECT_TRUE(staleSessionMarkers(dir.dir()).contains(held));

    const QString path = own.path();
    EXPECT_TRUE(QFileInfo::exists(path));
    own.remove();
    EXPECT_FALSE(QFileInfo::exists(path));
}

// The other copy of the test above: makes its marker, says where, and waits to be killed.
int holdSessionMarker(const QStringList& args) {
    SessionMarker marker;
    if (args.isEmpty() || !marker.create(args.first())) {
        return 1;
    }
    std::printf("%s\n", qPrintable(marker.path()));
    std::fflush(stdout);
    ::pause();
    return 0;
}
const test::ChildRoleRegistration kHolder("session-holder", holdSessionMarker);

} // namespace
