// Every OK button of the program comes from the one row, over the whole source tree; and the rule
// that finds a caption of its own, on what it must catch and what it must leave alone.
#include "ok_caption_rules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

TEST(OkCaptionRules, EveryOkButtonComesFromTheOneRow) {
    const QStringList found = okCaptionViolations(QStringLiteral(TUNARIUM_SOURCE_DIR "/src"));
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();

    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir().mkpath(root.filePath("ui"));
    QDir().mkpath(root.filePath("albums/ui"));
    const auto write = [&root](const QString& path, const QByteArray& text) {
        QFile f(root.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("ui/ok_cancel_row.cpp", "QString okText() { return QStringLiteral(\"&OK\"); }\n");
    write("albums/ui/a_window.cpp",
          "// \"&OK\" writes the album.\n"          // a comment names it
          "auto* ok = new QPushButton(okText());\n"  // the row's caption
          "/* new QPushButton(\"&Ok\")\n*/\n"         // a block comment
          "QString b = tr(\"&Ok\");\n"                 // a copy of its own
          "QString c = QStringLiteral(\"&OK\");\n"     // another
          "QString d = QStringLiteral(\"&OK to all\");\n");
    EXPECT_EQ(okCaptionViolations(root.path()),
              QStringList({"src/albums/ui/a_window.cpp:5: QString b = tr(\"&Ok\");",
                           "src/albums/ui/a_window.cpp:6: QString c = QStringLiteral(\"&OK\");"}));
}

} // namespace
