// Every #include under src/ keeps the order of the house written in CMakeLists.txt; and the rules
// that judge them catch each kind of include that points up or across.
#include "include_rules.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

QStringList layerOrder() {
    return QString::fromLatin1(TUNARIUM_LAYERS).split(u',');
}

TEST(IncludeLayers, EveryIncludeUnderSrcKeepsTheOrder) {
    ASSERT_EQ(layerOrder().first(), "data");
    ASSERT_EQ(layerOrder().last(), "shell");
    const QString root = QStringLiteral(TUNARIUM_SOURCE_DIR "/src");
    ASSERT_TRUE(QDir(root).exists()) << root.toStdString();
    const QStringList violations = includeViolations(root, layerOrder());
    EXPECT_TRUE(violations.isEmpty()) << violations.join(u'\n').toStdString();
}

// TagLib is read in one room: its headers are included by the files room's core alone.
TEST(IncludeLayers, OnlyTheFilesRoomsCoreIncludesTagLib) {
    QStringList includers;
    for (const char* folder : {"src", "bench", "tests", "fuzz"}) {
        const QString root = QStringLiteral(TUNARIUM_SOURCE_DIR "/") + QLatin1String(folder);
        QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*<taglib/"),
                                                    QRegularExpression::MultilineOption);
            if (include.match(QString::fromUtf8(file.readAll())).hasMatch()) {
                includers << QDir(QStringLiteral(TUNARIUM_SOURCE_DIR)).relativeFilePath(path);
            }
        }
    }
    ASSERT_FALSE(includers.isEmpty());
    for (const QString& path : includers) {
        EXPECT_TRUE(path.startsWith(QLatin1String("src/files/")) && !path.startsWith(QLatin1String("src/files/ui/")))
            << path.toStdString();
    }
}

struct IncludeCase {
    const char* file;
    const char* included;
    const char* problem; // empty: the include is allowed
};

TEST(IncludeLayers, RulesAllowDownwardsAndRefuseUpOrAcross) {
    const IncludeCase cases[] = {
        // Down, or within a room.
        {"catalogue/list_engine.cpp", "data/store.h", ""},
        {"catalogue/list_engine.cpp", "catalogue/list_engine.h", ""},
        {"exchange/import_process.h", "process/process_runner.h", ""},
        {"exchange/ui/import_window.cpp", "catalogue/ui/browse_window.h", ""},
        {"exchange/ui/import_window.cpp", "exchange/import_setup.h", ""},
        {"exchange/ui/import_window.cpp", "process/ui/process_window.h", ""},
        {"exchange/ui/import_window.cpp", "ui/help_window.h", ""},
        {"process/ui/process_window.cpp", "ui/dialog_units.h", ""},
        {"ui/widget_geometry.h", "data/window_position.h", ""},
        {"ui/procedure_registry.h", "process/process_runner.h", ""},
        {"ui/help_window.cpp", "ui/help_guide.h", ""},
        {"shell/ui/main_frame.cpp", "exchange/ui/exchange_procedures.h", ""},
        {"cli/cli_commands.cpp", "shell/maintenance_commands.h", ""},
        {"cli/cli_main.cpp", "cli/cli_commands.h", ""},
        // Up.
        {"catalogue/query_text.cpp", "shell/query_wizard_setup.h",
         "catalogue (core) includes shell (core), above it"},
        {"data/store.cpp", "process/process_runner.h", "data (core) includes process (core), above it"},
        {"catalogue/ui/songs_browse_window.cpp", "exchange/ui/import_window.h",
         "catalogue/ui includes exchange/ui, above it"},
        {"exchange/ui/export_window.cpp", "reports/report_process.h",
         "exchange/ui includes reports (core), above it"},
        {"ui/procedure_registry.h", "catalogue/list_engine.h",
         "ui (what every window shares) includes catalogue (core), above it"},
        // Across: a core and a ui, src/ui and a room's ui, the command line.
        {"catalogue/list_engine.cpp", "catalogue/ui/browse_window.h",
         "catalogue (core) includes a ui, catalogue/ui"},
        {"exchange/import_process.cpp", "ui/help_window.h",
         "exchange (core) includes a ui, ui (what every window shares)"},
        {"ui/help_window.cpp", "process/ui/process_window.h",
         "ui (what every window shares) includes a room's ui, process/ui"},
        {"data/ui/table_window.cpp", "ui/dialog_units.h",
         "data/ui stands below ui (what every window shares)"},
        {"cli/cli_commands.cpp", "exchange/ui/import_window.h",
         "cli (the command line) includes a ui, exchange/ui"},
        {"shell/startup.cpp", "cli/cli_commands.h", "shell (core) includes the command line"},
        // Outside the house.
        {"toolbox/thing.cpp", "data/store.h", "toolbox is not in the layer order of CMakeLists.txt"},
        {"data/store.cpp", "sqlite_helpers.h", "sqlite_helpers.h names no room of the house"},
    };
    const QStringList layers = {"data",      "process",  "catalogue", "albums",
                                "playlists", "exchange", "reports",   "shell"};
    for (const IncludeCase& c : cases) {
        EXPECT_EQ(includeProblem(c.file, c.included, layers), QString::fromUtf8(c.problem))
            << c.file << " -> " << c.included;
    }
}

TEST(IncludeLayers, ViolationsNameTheFileAndLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&dir](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(dir.filePath(path)).absolutePath());
        QFile f(dir.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("data/store.h", "#pragma once\n#include <QString>\n");
    write("catalogue/list_engine.cpp", "// #include \"shell/frame.h\" in a comment is not an include\n"
                                       "#include \"catalogue/list_engine.h\"\n"
                                       "#include \"data/store.h\"\n"
                                       "  #  include \"exchange/import_setup.h\"\n");
    write("exchange/import_setup.h", "#pragma once\n#include \"catalogue/list_engine.h\"\n");
    write("toolbox/thing.h", "#pragma once\n");
    const QStringList violations =
        includeViolations(dir.path(), {"data", "process", "catalogue", "exchange"});
    EXPECT_EQ(violations,
              QStringList({"src/catalogue/list_engine.cpp:4: #  include \"exchange/import_setup.h\": "
                           "catalogue (core) includes exchange (core), above it",
                           "src/toolbox/thing.h: toolbox is not in the layer order of CMakeLists.txt"}));
}

} // namespace
