// Entry point of the Qt canvas tests: a GUI application on the offscreen platform, then the tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Listing the tests runs this program too, outside of ctest's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
