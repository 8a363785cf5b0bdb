// Shared set-up of the browse window tests: a collection, a workspace to open windows in, and
// helpers that read what a browse shows and drive it as a user does.
#pragma once

#include "catalogue/ui/categories_windows.h"
#include "catalogue/ui/media_windows.h"
#include "support/temp_collection.h"

#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace tunarium::test {

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString positions() const { return dir.path("POSITION.INI"); }
    void addCategory(qint64 id, const QString& name);
    void addMedia(const QString& name);

    // The texts of the list's first column, top to bottom.
    static QStringList shown(const BrowseWindow* browse);
    static QString selectedText(const BrowseWindow* browse);
    static void key(BrowseWindow* browse, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void typeText(BrowseWindow* browse, const QString& text);
    static void doubleClickRow(BrowseWindow* browse, int row);
    // Lets queued calls and deferred deletions run.
    static void settle();
    // Saves a picture of the window when TUNARIUM_SCREENSHOTS names a directory.
    static void screenshot(QWidget* window, const QString& name);

    TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    std::unique_ptr<QMdiArea> area;
};

} // namespace tunarium::test
