// Session markers: one per running copy beside the collection, made without following links.
#include "data/database.h"
#include "data/session_marker.h"
#include "support/temp_collection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

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

TEST(SessionMarkers, MarkersOfEndedProcessesAreStaleAndLiveOnesCount) {
    test::TempCollection dir;
    ASSERT_TRUE(QDir().mkpath(dir.dir()));
    const auto touch = [&](const QString& name) {
        QFile f(dir.path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    touch("tunarium.db.session-1");          // init: alive, another copy
    touch("tunarium.db.session-999999999");  // no such process
    touch("tunarium.db.session-notanumber"); // not a marker
    SessionMarker own;
    ASSERT_TRUE(own.create(dir.dir()));
    EXPECT_EQ(otherCopiesOpen(dir.dir()), 1);
    EXPECT_EQ(staleSessionMarkers(dir.dir()), QStringList{dir.path("tunarium.db.session-999999999")});
    const QString path = own.path();
    EXPECT_TRUE(QFileInfo::exists(path));
    own.remove();
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace
