#include "app/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Headless: the window and its boxes never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own application object, so that its event dispatch is tested as it runs.
    app::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
