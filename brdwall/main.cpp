// brdwall.exe: the tray program.
#include <windows.h>

#include "brdwall/shared/form.h"
#include "brdwall/shared/handles.h"
#include "brdwall/tray/form1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brd::Form1::Form_Initialize();
    brd::com_init_scope com;
    brd::Forms().Get<brd::Form1>();
    return brd::Application::Run();
}
