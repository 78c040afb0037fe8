// The main of the window tests: what start-up gives the program (COM, GDI+, the common
// controls), then the tests.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "tests/support/screenshot.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    const int result = [] {
        ScopedGdiplus gdiplus;
        return RUN_ALL_TESTS();
    }();
    CoUninitialize();
    return result;
}
