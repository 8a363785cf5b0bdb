// Every window of the program under 600 lines across its files; and the rules that find a window
// and its files, on what they must count and what they must leave alone.
#include "window_rules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium::test;

namespace {

TEST(WindowRules, EveryWindowIsUnderSixHundredLinesAcrossItsFiles) {
    const QString root = QStringLiteral(TUNARIUM_SOURCE_DIR "/src");
    ASSERT_TRUE(QDir(root).exists()) << root.toStdString();
    const QMap<QString, WindowSize> sizes = windowSizes(root);
    // The rule finds the windows it is about, with the files they are written in.
    ASSERT_TRUE(sizes.contains("BrowseWindow"));
    ASSERT_TRUE(sizes.contains("AlbumWizardWindow"));
    EXPECT_EQ(sizes.value("BrowseWindow").files.first(), "catalogue/ui/browse_window.h");
    EXPECT_GT(sizes.value("BrowseWindow").files.size(), 1);
    const QStringList found = oversizedWindows(root);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST(WindowRules, AWindowIsAClassOnAWindowOrWidgetBase) {
    const struct {
        const char* header;
        QStringList windows;
    } cases[] = {
        {"class SongFormWindow : public FormWindow {\n", {"SongFormWindow"}},
        {"class FormatListboxDialog final : public QDialog {\n", {"FormatListboxDialog"}},
        {"class WizardSongsPanel : public QWidget {\n", {"WizardSongsPanel"}},
        {"class BrowseWindow : public FormWindow, public ListHost, public ToolbarTarget {\n", {"BrowseWindow"}},
        {"class MainFrame : public QMainWindow {\n", {"MainFrame"}},
        // Bases on lines of their own.
        {"class AlbumWizardWindow\n    : public FormWindow,\n      public ListHost {\n", {"AlbumWizardWindow"}},
        // Two windows in one header.
        {"class A : public QWidget {\n};\nclass B : public QDialog {\n};\n", {"A", "B"}},
        // No window: a model, a plain class, a declaration, a struct, a nested class.
        {"class PageModel : public QAbstractTableModel {\n", {}},
        {"class GuiPrompter : public Prompter {\n", {}},
        {"class QLabel;\nclass QWidget;\n", {}},
        {"struct BrowseOptions {\n    QWidget* parent;\n};\n", {}},
        {"    class Inner : public QWidget {\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowsDeclaredIn(QString::fromLatin1(c.header)), c.windows) << c.header;
    }
}

TEST(WindowRules, AWindowsFilesAreThoseThatDefineItsMembers) {
    const struct {
        const char* source;
        bool defines;
    } cases[] = {
        {"AlbumWizardWindow::AlbumWizardWindow(const ProcedureContext& context)\n", true},
        {"AlbumWizardWindow::~AlbumWizardWindow() {\n", true},
        {"void AlbumWizardWindow::next() {\n", true},
        {"QPushButton* AlbumWizardWindow::button(const QString& text) const {\n", true},
        {"const QVector<int>& AlbumWizardWindow::order() const {\n", true},
        {"std::unique_ptr<Foo> AlbumWizardWindow::make() {\n", true},
        // Calls from another window's body, a base's member called, a name that only ends alike.
        {"    auto* w = AlbumWizardWindow::openWizard(context);\n", false},
        {"    return AlbumWizardWindow::openWizard(context) != nullptr;\n", false},
        {"void UpdateAlbumWindow::closeEvent(QCloseEvent* e) {\n    FormWindow::closeEvent(e);\n", false},
        {"void MyAlbumWizardWindow::next() {\n", false},
        {"// AlbumWizardWindow::next() goes on to the next step.\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(definesMembersOf(QString::fromLatin1(c.source), QStringLiteral("AlbumWizardWindow")),
                  c.defines)
            << c.source;
    }
}

// A tree of made-up rooms: the count is checked against the lines written, a window's files
// found by what they define, not by their names.
TEST(WindowRules, AWindowIsCountedOverEveryFileItIsWrittenIn) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const auto write = [&root](const QString& path, const QString& head, int lines) {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile f(root.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QString text = head;
        for (int i = static_cast<int>(head.count(u'\n')); i < lines; ++i) {
            text += QStringLiteral("// line\n");
        }
        f.write(text.toUtf8());
    };
    write("albums/ui/big_window.h", "class BigWindow : public FormWindow {\n};\n", 100);
    write("albums/ui/big_window.cpp", "void BigWindow::build() {\n}\n", 300);
    write("albums/ui/big_window_songs.cpp", "void BigWindow::move() {\n}\n", 200);
    // The panel it holds is a window of its own, counted apart.
    write("albums/ui/big_panel.h", "class BigPanel : public QWidget {\n};\n", 50);
    write("albums/ui/big_panel.cpp", "BigPanel::BigPanel() {\n    BigWindow::openWizard();\n}\n", 250);
    // A core file beside no ui, of any size, is no window.
    write("albums/big_rules.h", "class BigRules : public QWidget {\n};\n", 900);
    write("ui/small_dialog.h", "class SmallDialog : public QDialog {\n};\n", 20);

    const QMap<QString, WindowSize> sizes = windowSizes(root.path());
    EXPECT_EQ(sizes.keys(), QStringList({"BigPanel", "BigWindow", "SmallDialog"}));
    EXPECT_EQ(sizes.value("BigWindow").lines, 600);
    EXPECT_EQ(sizes.value("BigWindow").files,
              QStringList({"albums/ui/big_window.h", "albums/ui/big_window.cpp", "albums/ui/big_window_songs.cpp"}));
    EXPECT_EQ(sizes.value("BigPanel").lines, 300);
    EXPECT_EQ(sizes.value("SmallDialog").lines, 20);
    EXPECT_EQ(oversizedWindows(root.path()),
              QStringList{"BigWindow: 600 lines in albums/ui/big_window.h, albums/ui/big_window.cpp, "
                          "albums/ui/big_window_songs.cpp"});
    EXPECT_EQ(oversizedWindows(root.path(), 601), QStringList());
}

} // namespace
