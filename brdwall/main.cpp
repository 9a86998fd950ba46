// brdwall.exe: the tray program.
#include <windows.h>

#include "brdwall/runtime/form.h"
#include "shared/win/handles.h"
#include "brdwall/tray/form1.h"
#include "brdwall/windows/form11.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brd::Form1::Form_Initialize();
    brd::InstallWarningWindow();
    brd::com_init_scope com;
    brd::Forms().Get<brd::Form1>();
    return brd::Application::Run();
}
