// The window's tests run on one thread that owns every window they make, with
// the system's controls and picture loader ready, as the program has them.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    OleInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
