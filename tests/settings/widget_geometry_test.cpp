// Window positions of real widgets: a top-level window and MDI child windows.
#include "data/ini_file.h"
#include "shell/ui/widget_geometry.h"

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
    EXPECT_EQ(readIni(file, u"Main", u"Maximize"), "Yes");
    EXPECT_EQ(readIni(file, u"Main", u"XPosit"), "120");
    EXPECT_EQ(readIni(file, u"Main", u"Width"), "500");

    QWidget window;
    window.setGeometry(10, 10, 200, 100);
    window.show();
    restoreWidgetPosition(&window, "Main", file);
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.normalGeometry(), QRect(120, 90, 500, 350));
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
    EXPECT_EQ(readIni(file, u"UpdateSong", u"XPosit"), "40");
    EXPECT_EQ(readIni(file, u"UpdateSong", u"Height"), "200");
    EXPECT_EQ(readIni(file, u"UpdateSong", u"Maximize"), "Yes");

    writeIniEntries(file, u"UpdateSong", {{"Maximize", "No"}, {"XPosit", "60"}, {"YPosit", "70"}});
    auto* fixedForm = new QWidget;
    fixedForm->setFixedSize(250, 150);
    QMdiSubWindow* fixedChild = area.addSubWindow(fixedForm);
    fixedChild->show();
    const QSize designSize = fixedChild->size();
    restoreWidgetPosition(fixedForm, "UpdateSong", file);
    EXPECT_EQ(fixedChild->pos(), QPoint(60, 70));
    EXPECT_EQ(fixedChild->size(), designSize) << "a fixed-size form keeps its size";
    EXPECT_FALSE(fixedChild->isMaximized());
}

} // namespace
} // namespace tunarium
