// The main of the test programs that show no windows.

#include <gtest/gtest.h>

#include "tests/support/test_process.h"

int main(int argc, char** argv)
{
    PrepareTestProcess();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
