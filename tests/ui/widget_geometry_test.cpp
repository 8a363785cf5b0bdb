// Window positions of real widgets: a top-level window and MDI child windows.
#include "data/ini_file.h"
#include "ui/dialog_units.h"
#include "ui/widget_geometry.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

class WidgetGeometryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath("POSITION.INI");
};

TEST_F(WidgetGeometryTest, TopLevelWindowRoundTrip) {
    {
        QWidget window;
        window.setGeometry(120, 90, 500, 350);
        window.show();
        window.showMaximized();
        ASSERT_TRUE(saveWidgetPosition(&window, "Main", file));
    }
    // Kept in the dialog units of the window's font.
    const DialogUnits units(static_cast<QWidget*>(nullptr));
    EXPECT_EQ(readIni(file, u"Main", u"Maximize"), "Yes");
    EXPECT_EQ(readIni(file, u"Main", u"XPosit"), QString::number(units.toUnitsX(120)));
    EXPECT_EQ(readIni(file, u"Main", u"Width"), QString::number(units.toUnitsX(500)));

    QWidget window;
    window.setGeometry(10, 10, 200, 100);
    window.show();
    restoreWidgetPosition(&window, "Main", file);
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.normalGeometry(), units.toPixels(units.toUnits(QRect(120, 90, 500, 350))));
}

TEST_F(WidgetGeometryTest, MdiChildWindows) {
    QMdiArea area;
    area.resize(900, 700);
    area.show();

    auto* form = new QWidget;
    QMdiSubWindow* child = area.addSubWindow(form);
    child->setGeometry(40, 30, 300, 200);
    child->show();
    child->showMaximized();
    ASSERT_TRUE(saveWidgetPosition(form, "UpdateSong", file));
    const DialogUnits units(child);
    EXPECT_EQ(readIni(file, u"UpdateSong", u"XPosit"), QString::number(units.toUnitsX(40)));
    EXPECT_EQ(readIni(file, u"UpdateSong", u"Height"), QString::number(units.toUnitsY(200)));
    EXPECT_EQ(readIni(file, u"UpdateSong", u"Maximize"), "Yes");

    writeIniEntries(file, u"UpdateSong", {{"Maximize", "No"}, {"XPosit", "60"}, {"YPosit", "70"}});
    auto* fixedForm = new QWidget;
    fixedForm->setFixedSize(250, 150);
    QMdiSubWindow* fixedChild = area.addSubWindow(fixedForm);
    fixedChild->show();
    const QSize designSize = fixedChild->size();
    restoreWidgetPosition(fixedForm, "UpdateSong", file);
    EXPECT_EQ(fixedChild->pos(), units.toPixels(QPoint(60, 70)));
    EXPECT_EQ(fixedChild->size(), designSize) << "a fixed-size form keeps its size";
    EXPECT_FALSE(fixedChild->isMaximized());
}

TEST(DialogUnits, FollowTheFontsAverageLetterAndHeight) {
    for (int points : {8, 9, 12, 20}) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        const DialogUnits units(font);
        const QFontMetrics metrics(font);
        const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(units.averageCharWidth(), (letters / 26 + 1) / 2) << points;
        EXPECT_EQ(units.charHeight(), metrics.height()) << points;
        // Four horizontal units are a character, eight vertical ones a line.
        EXPECT_EQ(units.toPixelsX(4 * 50), 50 * units.averageCharWidth()) << points;
        EXPECT_EQ(units.toPixelsY(8 * 10), 10 * units.charHeight()) << points;
        // Back and forth through pixels, a size in units stays what it was.
        for (int u : {1, 7, 23, 36, 77, 374}) {
            EXPECT_EQ(units.toUnitsX(units.toPixelsX(u)), u) << points << " pt, " << u;
            EXPECT_EQ(units.toUnitsY(units.toPixelsY(u)), u) << points << " pt, " << u;
        }
    }
    QFont small = QApplication::font();
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(16);
    EXPECT_LT(DialogUnits(small).toPixels(QSize(374, 170)).width(),
              DialogUnits(large).toPixels(QSize(374, 170)).width());
}

TEST_F(WidgetGeometryTest, AChildWindowOpensInsideTheWorkspace) {
    QMdiArea area;
    area.resize(800, 500);
    area.show();
    // Kept by the version that counted pixels: as units it is far beyond this workspace.
    writeIniEntries(
        file, u"BrowseSongs",
        {{"XPosit", "300"}, {"YPosit", "200"}, {"Width", "900"}, {"Height", "480"}, {"Maximize", "No"}});
    auto* form = new QWidget;
    form->setMinimumSize(200, 100);
    QMdiSubWindow* child = area.addSubWindow(form);
    child->show();
    restoreWidgetPosition(form, "BrowseSongs", file);
    EXPECT_TRUE(area.viewport()->rect().contains(child->geometry()))
        << child->x() << "," << child->y() << " " << child->width() << "x" << child->height();
}

} // namespace
} // namespace tunarium
