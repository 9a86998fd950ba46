// Test entry point: COM initialised, forms created on this thread.
#include <gtest/gtest.h>

#include "brdsave/win/handles.h"
#include "brdwall/windows/form11.h"

int main(int argc, char** argv) {
    brd::com_init_scope com;
    brd::InstallWarningWindow();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
