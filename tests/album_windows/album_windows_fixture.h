// A collection with media and the albums' procedures registered, in a workspace, for the tests of
// the album windows and wizards; the disc "in the drive" is a table-of-contents file of two tracks
// (3:25 and 4:04).
#pragma once

#include "albums/ui/albums_procedures.h"
#include "data/database.h"
#include "support/temp_collection.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace tunarium::test {

class AlbumWindowsTest : public ::testing::Test {
protected:
    // The media the collection starts with.
    virtual QStringList mediaNames() const { return {QStringLiteral("CD"), QStringLiteral("Cassette")}; }

    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        for (const QString& m : mediaNames()) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
        writeText(dir.configDir() + "/Tunar98.INI", "[Settings]\nAddMode=A\n");
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
        writeText(dir.path("disc.toc"), "1 2 33892 150 15544\n");
        oldToc = qgetenv("TUNARIUM_CD_TOC");
        qputenv("TUNARIUM_CD_TOC", dir.path("disc.toc").toLocal8Bit());
        area = std::make_unique<QMdiArea>();
        area->resize(1016, 640);
        area->show();
        registerAlbumsProcedures(procedures);
    }
    void TearDown() override {
        area->closeAllSubWindows();
        settle();
        area.reset();
        settle();
        db.reset();
        qputenv("TUNARIUM_CD_TOC", oldToc);
    }

    ProcedureContext context() { return {*db, settings, prompter, area.get(), nullptr, procedures}; }

    static void writeText(const QString& path, const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    template <class W> W* opened() {
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (auto* w = dynamic_cast<W*>(sub->widget()); w && sub->isVisible()) {
                return w;
            }
        }
        return nullptr;
    }
    qint64 addAlbum(qint64 id, const QString& artist, const QString& name, const QString& fileNumber = {},
                    qint64 category = 0) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = name;
        a.fileNumber = fileNumber;
        a.categoryId = category;
        a.media = QStringLiteral("CD");
        EXPECT_TRUE(db->store().insert(a).ok());
        return id;
    }
    qint64 addSong(qint64 id, qint64 albumId, const QString& title,
                   const QString& artist = QStringLiteral("Nina")) {
        SongRecord s;
        s.id = id;
        s.albumId = albumId;
        s.title = title;
        s.artist = artist;
        s.media = QStringLiteral("CD");
        s.trackNumber = id % 100;
        EXPECT_TRUE(db->store().insert(s).ok());
        return id;
    }
    qint64 songCount() { return db->store().count(TableId::Tunarium); }

    TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    std::unique_ptr<QMdiArea> area;
    ProcedureRegistry procedures;
    QByteArray oldToc;
};

} // namespace tunarium::test
