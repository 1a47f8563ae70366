#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Headless: the window and its boxes never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
