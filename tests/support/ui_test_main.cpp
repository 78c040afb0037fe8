// The main of the window tests: what start-up gives the program (COM, GDI+, the common
// controls), then the tests.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "base/gdiplus_headers.h"
#include "base/handles.h"
#include "tests/support/test_process.h"

int main(int argc, char** argv)
{
    PrepareTestProcess();
    testing::InitGoogleTest(&argc, argv);
    const ComInit com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    const GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
