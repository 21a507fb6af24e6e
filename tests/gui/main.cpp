// The dialog needs an application object, named as the program names it;
// the tests run without a display.

#include "shell/qt/application_name.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    NameApplication();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
