// Test entry point: COM initialised, forms created on this thread, the wallpaper given back at the
// end. Also the check around all test programs that the desktop is left as it was found.
#include <gtest/gtest.h>

#include <cstring>

#include "shared/win/handles.h"
#include "brdwall/windows/form11.h"
#include "desktop_keeper.h"
#include "program_driver.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--record-desktop") == 0)
        return brd::test::RecordDesktop(argv[2],
                                        (brd::test::TestExeFolder() / "testdata" / "blue.bmp").wstring());
    if (argc == 3 && std::strcmp(argv[1], "--check-desktop") == 0) return brd::test::CheckDesktop(argv[2]);
    brd::com_init_scope com;
    brd::InstallWarningWindow();
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new brd::test::DesktopKeeper);
    return RUN_ALL_TESTS();
}
