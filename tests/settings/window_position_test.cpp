// Saving and restoring window positions against a scripted window.
#include "data/ini_file.h"
#include "data/window_position.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

// A window as the position routines see it; maximizing leaves the normal geometry alone.
class FakeWindow : public WindowGeometry {
public:
    QPoint pos{100, 50};
    QSize extent{400, 300};
    bool maximized = false;
    bool minimized = false;
    bool resizable = true;
    QSize minimum;
    QRect bounds;

    QPoint position() const override { return pos; }
    QSize size() const override { return extent; }
    bool isMaximized() const override { return maximized; }
    bool isMinimized() const override { return minimized; }
    bool isResizable() const override { return resizable; }
    QSize minimumSize() const override { return minimum; }
    QRect area() const override { return bounds; }
    void setMaximized(bool on) override { maximized = on; }
    void move(QPoint to) override { pos = to; }
    void resize(QSize to) override { extent = to; }
};

class WindowPositionTest : public ::testing::Test {
protected:
    void put(const QByteArray& bytes) const {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    QTemporaryDir dir;
    QString file = dir.filePath("POSITION.INI");
};

TEST_F(WindowPositionTest, SavedPositionComesBack) {
    FakeWindow saved;
    saved.pos = {-200, 35}; // a screen left of the primary one
    saved.extent = {640, 480};
    ASSERT_TRUE(saveWindowPosition(saved, "BrowseSongs", file));
    EXPECT_EQ(readIni(file, u"BrowseSongs", u"Maximize"), "No");

    FakeWindow reopened;
    restoreWindowPosition(reopened, "BrowseSongs", file);
    EXPECT_EQ(reopened.pos, QPoint(-200, 35));
    EXPECT_EQ(reopened.extent, QSize(640, 480));
    EXPECT_FALSE(reopened.maximized);
}

TEST_F(WindowPositionTest, MaximizedWindowReopensMaximizedOverItsNormalPosition) {
    FakeWindow saved;
    saved.pos = {30, 40};
    saved.maximized = true;
    ASSERT_TRUE(saveWindowPosition(saved, "Main", file));
    EXPECT_FALSE(saved.maximized);
    EXPECT_EQ(readIni(file, u"Main", u"Maximize"), "Yes");

    FakeWindow reopened;
    restoreWindowPosition(reopened, "Main", file);
    EXPECT_TRUE(reopened.maximized);
    EXPECT_EQ(reopened.pos, QPoint(30, 40));
}

TEST_F(WindowPositionTest, MinimizedWindowKeepsThePositionSavedBefore) {
    FakeWindow window;
    window.pos = {11, 22};
    ASSERT_TRUE(saveWindowPosition(window, "UpdateSong", file));
    window.pos = {500, 500};
    window.minimized = true;
    window.maximized = true;
    EXPECT_FALSE(saveWindowPosition(window, "UpdateSong", file));
    EXPECT_EQ(readIni(file, u"UpdateSong", u"XPosit"), "11");
    EXPECT_EQ(readIni(file, u"UpdateSong", u"Maximize"), "No");
}

struct RestoreCase {
    const char* what;
    QByteArray section;
    bool resizable;
    bool maximizedNow;
    QPoint pos;
    QSize extent;
    bool maximized;
};

TEST_F(WindowPositionTest, RestoreEdgeCases) {
    const QPoint design{100, 50};
    const QSize designSize{400, 300};
    // clang-format off
    const RestoreCase cases[] = {
        {"all four values", "XPosit=7\nYPosit=8\nWidth=90\nHeight=60\nMaximize=No\n",
         true, false, {7, 8}, {90, 60}, false},
        {"left edge at 0 is no position", "XPosit=0\nYPosit=8\nWidth=90\nHeight=60\nMaximize=Yes\n",
         true, false, design, designSize, false},
        {"no section at all", "",
         true, false, design, designSize, false},
        {"fixed size ignores the saved size", "XPosit=7\nYPosit=8\nWidth=90\nHeight=60\n",
         false, false, {7, 8}, designSize, false},
        {"top edge at 0: no move, but maximize", "XPosit=7\nYPosit=0\nWidth=90\nHeight=60\nMaximize=Yes\n",
         true, false, design, designSize, true},
        {"no saved size leaves a resizable window", "XPosit=7\nYPosit=8\n",
         true, false, design, designSize, false},
        {"text where numbers belong", "XPosit=left\nYPosit=top\nWidth=wide\nHeight=tall\n",
         true, false, design, designSize, false},
        {"negative size is no size", "XPosit=7\nYPosit=8\nWidth=-90\nHeight=60\n",
         true, false, design, designSize, false},
        {"absurd coordinate is no position", "XPosit=99999999999\nYPosit=8\nWidth=90\nHeight=60\n",
         true, false, design, designSize, false},
        {"maximized now: only the state", "XPosit=7\nYPosit=8\nWidth=90\nHeight=60\nMaximize=No\n",
         true, true, design, designSize, false},
        {"Maximize compares exactly", "XPosit=7\nYPosit=8\nWidth=90\nHeight=60\nMaximize=yes\n",
         true, false, {7, 8}, {90, 60}, false},
    };
    // clang-format on
    for (const RestoreCase& c : cases) {
        put("[Other]\nXPosit=1\nYPosit=1\nWidth=1\nHeight=1\n[BrowseAlbums]\n" + c.section);
        FakeWindow window;
        window.resizable = c.resizable;
        window.maximized = c.maximizedNow;
        restoreWindowPosition(window, "BrowseAlbums", file);
        EXPECT_EQ(window.pos, c.pos) << c.what;
        EXPECT_EQ(window.extent, c.extent) << c.what;
        EXPECT_EQ(window.maximized, c.maximized) << c.what;
    }
}

TEST(FitWindow, BringsAWindowInsideItsArea) {
    struct Case {
        const char* what;
        QPoint pos;
        QSize extent;
        QSize minimum;
        bool resizable;
        QPoint expectedPos;
        QSize expectedExtent;
    };
    const QRect area(0, 0, 600, 400); // the workspace, in dialog units
    // clang-format off
    const Case cases[] = {
        {"inside stays", {20, 30}, {300, 200}, {}, true, {20, 30}, {300, 200}},
        {"past the right edge moves left", {450, 30}, {300, 200}, {}, true, {300, 30}, {300, 200}},
        {"above the top moves down", {20, -40}, {300, 200}, {}, true, {20, 0}, {300, 200}},
        // A place kept in pixels by the earlier version reads as far too many units.
        {"larger than the area shrinks", {1024, 720}, {1800, 1300}, {}, true, {0, 0}, {600, 400}},
        {"never below its minimum", {10, 10}, {900, 300}, {700, 100}, true, {0, 10}, {700, 300}},
        {"a fixed size is kept", {500, 10}, {700, 300}, {}, false, {0, 10}, {700, 300}},
    };
    // clang-format on
    for (const Case& c : cases) {
        FakeWindow window;
        window.pos = c.pos;
        window.extent = c.extent;
        window.minimum = c.minimum;
        window.resizable = c.resizable;
        window.bounds = area;
        fitWindow(window);
        EXPECT_EQ(window.pos, c.expectedPos) << c.what;
        EXPECT_EQ(window.extent, c.expectedExtent) << c.what;
    }

    FakeWindow unknown; // no area: nothing to fit into
    unknown.pos = {5000, 5000};
    fitWindow(unknown);
    EXPECT_EQ(unknown.pos, QPoint(5000, 5000));
    FakeWindow maximized;
    maximized.bounds = area;
    maximized.maximized = true;
    maximized.pos = {900, 900};
    fitWindow(maximized);
    EXPECT_EQ(maximized.pos, QPoint(900, 900));
}

} // namespace
} // namespace tunarium
