// The choices of an import and an export as the window and the command line both make them: put
// on the import setup the one way, and the export's fields and pictures chosen by name.
#include "exchange/export_options.h"
#include "exchange/import_options.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

QStringList assignedOf(const ImportSetup& setup) {
    QStringList assigned;
    for (const ImportTarget& t : setup.targets()) {
        if (!t.sourceField.isEmpty()) {
            assigned << t.field + u'=' + t.sourceField;
        }
    }
    return assigned;
}

TEST(ImportOptions, ChoicesGoOnTheSetupAsTheWindowsButtonsPutThem) {
    QTemporaryDir dir;
    const QString file = dir.filePath("songs.csv");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"TUN:Artist\",\"TUN:ReleaseDate\",\"Name\"\n\"Abba\",\"1974-04-06\",\"Waterloo\"\n");
    f.close();

    struct Case {
        const char* what;
        ImportOptions options;
        const char* problem;
        QStringList assigned;
        bool strip;
        const char* secondPicture; // the picture Field_2 is read through
    };
    const auto options = [](QVector<ColumnChoice> assignments, QVector<ColumnChoice> pictures,
                            std::optional<bool> strip) {
        ImportOptions o;
        o.assignments = std::move(assignments);
        o.pictures = std::move(pictures);
        o.stripHeader = strip;
        return o;
    };
    const Case cases[] = {
        {"none: A&uto", {}, "", {"TUN:Artist=Field_1", "TUN:ReleaseDate=Field_2"}, true, "@d2"},
        {"a picture over A&uto's",
         options({}, {{"Field_2", "@d6"}}, {}),
         "",
         {"TUN:Artist=Field_1", "TUN:ReleaseDate=Field_2"},
         true,
         "@d6"},
        {"assignments by hand, no A&uto",
         options({{"Field_3", "TUN:Title"}, {"Field_1", "TUN:Artist"}}, {}, false),
         "",
         {"TUN:Artist=Field_1", "TUN:Title=Field_3"},
         false,
         "@S1000"},
        {"the header kept over A&uto's choice",
         options({}, {}, false),
         "",
         {"TUN:Artist=Field_1", "TUN:ReleaseDate=Field_2"},
         false,
         "@d2"},
        {"a column the file lacks",
         options({{"Field_9", "TUN:Title"}}, {}, {}),
         "the file has no Field_9 (it has Field_1 to Field_3)",
         {},
         false,
         "@S1000"},
        {"a field an import cannot fill",
         options({{"Field_1", "TUN:ID"}}, {}, {}),
         "TUN:ID is not a song field an import can fill",
         {},
         false,
         "@S1000"},
        {"a picture without @",
         options({}, {{"Field_2", "d2"}}, {}),
         "Pictures must begin with \"@\"",
         {},
         false,
         "@S1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImportSetup setup;
        ASSERT_EQ(setup.open(file), ImportSetup::OpenResult::Ok);
        EXPECT_EQ(applyImportOptions(setup, c.options), QString::fromUtf8(c.problem));
        EXPECT_EQ(assignedOf(setup), c.assigned);
        EXPECT_EQ(setup.stripHeader(), c.strip);
        EXPECT_EQ(setup.fields()[1].picture, c.secondPicture);
        EXPECT_EQ(importRunProblem(setup).isEmpty(), !c.assigned.isEmpty());
    }
}

TEST(ExportOptions, FieldsAndPicturesAreChosenByName) {
    ExportOptions all;
    EXPECT_EQ(all.fields.size(), exportableFields().size());
    EXPECT_TRUE(all.header);

    ExportOptions o;
    EXPECT_EQ(chooseExportFields(o, " tun:title , TUN:Artist,TUN:Title,,CAT:Category"), "");
    QStringList names;
    for (const ExportField& f : o.fields) {
        names << f.field;
    }
    EXPECT_EQ(names, QStringList({"TUN:Title", "TUN:Artist", "CAT:Category"})); // once each, in order

    EXPECT_EQ(chooseExportFields(o, "TUN:Artist,TUN:Nothing"),
              "TUN:Nothing is not a field an export can write");
    EXPECT_EQ(o.fields.size(), 3); // a refused list changes nothing

    EXPECT_EQ(setExportPicture(o, "tun:title", "@s5"), "");
    EXPECT_EQ(o.fields[0].picture, "@s5");
    EXPECT_EQ(setExportPicture(o, "TUN:Time", "@t4"), "TUN:Time is not among the fields written");
    EXPECT_EQ(setExportPicture(o, "TUN:Artist", "s5"), "Pictures must begin with \"@\"");
    // A picture that is no picture once cut to its room is refused by name.
    EXPECT_EQ(setExportPicture(o, "TUN:Artist", "@s" + QString(40, u'9')),
              "@s" + QString(40, u'9') +
                  " is not a picture (text @s50, number @n3, date @d2, time @t4, pattern @p###p)");

    ExportChoice choice;
    choice.header = false;
    choice.chosen.rows.resize(2);
    const ExportOptions fromWindow = exportOptionsOf(choice, "/tmp/x.csv");
    EXPECT_EQ(fromWindow.file, "/tmp/x.csv");
    EXPECT_EQ(fromWindow.fields.size(), 2);
    EXPECT_FALSE(fromWindow.header);
}

} // namespace
