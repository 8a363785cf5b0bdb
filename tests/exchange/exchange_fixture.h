// A temporary collection for the import and export tests, with helpers to write an import file,
// import it as A&uto assigns it, read the songs back and export them.
#pragma once

#include "data/database.h"
#include "data/pictures.h"
#include "exchange/export_process.h"
#include "exchange/import_process.h"
#include "support/temp_collection.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tunarium::test {

class ExchangeFixture : public ::testing::Test {
protected:
    void SetUp() override { setPictureLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("in.csv")) {
        const QString path = dir.configDir() + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Opens the file and assigns as A&uto does.
    std::unique_ptr<ImportProcess> importAuto(const QByteArray& bytes) {
        setup = std::make_unique<ImportSetup>();
        EXPECT_EQ(setup->open(writeFile(bytes)), ImportSetup::OpenResult::Ok);
        setup->autoAssign();
        return std::make_unique<ImportProcess>(db, setup->takeReader(), setup->plan());
    }

    QVector<SongRecord> songsInIdOrder() {
        EXPECT_TRUE(db.openTable(TableId::Tunarium));
        QVector<Row> rows;
        EXPECT_TRUE(db.store()
                        .read(TableId::Tunarium, tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {},
                              Direction::Forward, false, 100000, rows)
                        .ok());
        db.closeTable(TableId::Tunarium);
        QVector<SongRecord> out;
        for (const Row& r : rows) {
            out << fromRow<SongRecord>(r);
        }
        return out;
    }

    QString categoryName(qint64 id) {
        EXPECT_TRUE(db.openTable(TableId::Categories));
        Row c;
        const StoreError e = db.store().get(
            TableId::Categories, tableDef(TableId::Categories).keyIndex(u"KeyCategoryID"), {id}, c);
        db.closeTable(TableId::Categories);
        return e.ok() ? c.text(1) : QString();
    }

    QStringList exportLines(const QVector<ExportField>& fields, bool header = true) {
        const QString path = dir.configDir() + "/out.csv";
        auto process = openExport(db, prompter, path, fields, header);
        EXPECT_TRUE(process);
        if (!process) {
            return {};
        }
        EXPECT_TRUE(runToEnd(*process));
        process.reset();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString()); // every line ends with a line break
        return lines;
    }

    void addSongs(const QVector<SongRecord>& songs) {
        ASSERT_TRUE(db.openTable(TableId::Tunarium));
        {
            Transaction tx(db.store());
            for (SongRecord s : songs) {
                ASSERT_TRUE(db.store().insert(s).ok());
            }
            ASSERT_TRUE(tx.commit().ok());
        }
        db.closeTable(TableId::Tunarium);
    }

    TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    std::unique_ptr<ImportSetup> setup;
};

} // namespace tunarium::test
