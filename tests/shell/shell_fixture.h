// A temporary collection and configuration for the shell's tests, with helpers that fill the
// collection before the program opens it.
#pragma once

#include "data/app_paths.h"
#include "data/prompter.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "shell/startup.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium::test {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { resetTableRegistration(); }

    // Adds songs (album title "Album N/3", no album link) and albums straight into the file.
    void seed(int songs, int albums = 0, const QStringList& media = {}) {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(store.openTable(t.id).ok());
        }
        Transaction tx(store);
        for (int i = 1; i <= songs; ++i) {
            SongRecord s;
            s.id = i;
            s.artist = QStringLiteral("Artist %1").arg(i / 3);
            s.title = QStringLiteral("Title %1").arg(i);
            s.album = QStringLiteral("Album %1").arg(i / 3);
            ASSERT_TRUE(store.insert(s).ok());
        }
        for (int i = 1; i <= albums; ++i) {
            AlbumRecord a;
            a.albumId = i;
            a.album = QStringLiteral("Existing %1").arg(i);
            ASSERT_TRUE(store.insert(a).ok());
        }
        for (const QString& m : media) {
            MediaRecord r;
            r.media = m;
            ASSERT_TRUE(store.insert(r).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }

    QString profile() const { return defaultProfilePath(); }
    QString settingsPath() const { return settingsFilePath(); }
    QString positions() const { return positionFilePath(dir.dir()); }

    TempCollection dir;
    RecordingPrompter prompter;
};

} // namespace tunarium::test
