#include "tests/support/test_support.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Set before QApplication exists, also for gtest_discover_tests' run at build time.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mv::test::isolateUserConfig();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
