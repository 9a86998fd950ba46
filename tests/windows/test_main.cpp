// Test entry point: COM initialised, forms created on this thread.
#include <gtest/gtest.h>

#include "brdwall/shared/handles.h"

int main(int argc, char** argv) {
    brd::com_init_scope com;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
