// Entry point of every test executable: a QApplication on the offscreen platform, then GoogleTest;
// or, started by a test as another copy of the program, the role it names.
#include "support/child_role.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    if (const int status = tunarium::test::runChildRole(app.arguments().mid(1)); status >= 0) {
        return status;
    }
    return RUN_ALL_TESTS();
}
