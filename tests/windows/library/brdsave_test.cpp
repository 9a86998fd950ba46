// brdsave.dll as any COM client sees it: registration, activation by class id
// and by name, calls through the interface and late-bound by name, the type
// library, the version resource and the unload test.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "brdsave.h"
#include "shared/core/failure.h"
#include "shared/core/file_path.h"
#include "shared/core/record_file.h"
#include "fake_dispatch.h"
#include "tests/host/temp_folder.h"

namespace brd::test {
namespace {

std::wstring DllPath() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return (std::filesystem::path(std::wstring(path, n)).parent_path() / L"brdsave.dll").wstring();
}

bool KeyExists(const std::wstring& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring KeyValue(const std::wstring& subkey, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

std::wstring Guid(REFGUID g) {
    wchar_t text[64];
    StringFromGUID2(g, text, 64);
    return text;
}

// Whether this process may register classes for the machine (HKEY_CLASSES_ROOT): an administrator's,
// elevated.
bool MayRegister() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The library loaded and registered for one test, unregistered afterwards.
class Library : public testing::Test {
  protected:
    void SetUp() override {
        if (!MayRegister())
            GTEST_SKIP() << "registering the library needs administrator rights: run elevated";
        module = LoadLibraryW(DllPath().c_str());
        ASSERT_NE(module, nullptr);
        reg = Export("DllRegisterServer");
        unreg = Export("DllUnregisterServer");
        canUnload = Export("DllCanUnloadNow");
        ASSERT_TRUE(reg && unreg && canUnload && GetProcAddress(module, "DllGetClassObject"));
        ASSERT_EQ(reg(), S_OK);
    }
    void TearDown() override {
        if (unreg) unreg();
        CoFreeUnusedLibraries();
    }

    using Entry = HRESULT(__stdcall*)();
    Entry Export(const char* name) const {
        // Through a generic function pointer type, as GetProcAddress's result must be.
        return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }

    _Class1* Create() {
        _Class1* object = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_Class1, nullptr, CLSCTX_INPROC_SERVER, IID__Class1,
                                   reinterpret_cast<void**>(&object)),
                  S_OK);
        return object;
    }

    HMODULE module = nullptr;
    HRESULT(__stdcall* reg)() = nullptr;
    HRESULT(__stdcall* unreg)() = nullptr;
    HRESULT(__stdcall* canUnload)() = nullptr;
};

TEST_F(Library, RegistrationWritesTheUsualKeysAndUnregistrationRemovesThem) {
    const std::wstring clsid = L"CLSID\\" + Guid(CLSID_Class1);
    const std::wstring tlb = L"TypeLib\\" + Guid(LIBID_brdsave);
    const std::wstring itf = L"Interface\\" + Guid(IID__Class1);
    EXPECT_EQ(lstrcmpiW(KeyValue(clsid + L"\\InprocServer32", nullptr).c_str(), DllPath().c_str()), 0);
    EXPECT_EQ(KeyValue(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(KeyValue(clsid + L"\\ProgID", nullptr), L"brdsave.Class1");
    EXPECT_EQ(KeyValue(clsid + L"\\TypeLib", nullptr), Guid(LIBID_brdsave));
    EXPECT_EQ(KeyValue(L"brdsave.Class1\\CLSID", nullptr), Guid(CLSID_Class1));
    EXPECT_EQ(KeyValue(tlb + L"\\e.0", nullptr), L"Brindle Wallpaper Changer Save n Load");
    EXPECT_TRUE(KeyExists(itf));

    ASSERT_EQ(unreg(), S_OK);
    for (const auto& key : {clsid, tlb + L"\\e.0", itf, std::wstring(L"brdsave.Class1")})
        EXPECT_FALSE(KeyExists(key)) << std::string(key.begin(), key.end());
    CLSID byName{};
    EXPECT_NE(CLSIDFromProgID(L"brdsave.Class1", &byName), S_OK);
}

TEST_F(Library, CreatedByClassIdAndByNameAndUnloadsWhenNoObjectLives) {
    CLSID byName{};
    ASSERT_EQ(CLSIDFromProgID(L"brdsave.Class1", &byName), S_OK);
    EXPECT_TRUE(IsEqualCLSID(byName, CLSID_Class1));

    EXPECT_EQ(canUnload(), S_OK);
    _Class1* a = Create();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    IDispatch* b = nullptr;
    ASSERT_EQ(
        CoCreateInstance(byName, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&b)),
        S_OK);
    a->Release();
    EXPECT_EQ(canUnload(), S_FALSE);
    b->Release();
    EXPECT_EQ(canUnload(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_Class1, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    void* out = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    factory->LockServer(TRUE);
    EXPECT_EQ(canUnload(), S_FALSE);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(Library, TypeLibraryAndVersionResourceCarryTheFixedValues) {
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_brdsave, 14, 0, 0x409, &lib), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->wMajorVerNum, 14);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0x409u);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"brdsave");
    EXPECT_STREQ(doc, L"Brindle Wallpaper Changer Save n Load");
    SysFreeString(name);
    SysFreeString(doc);

    // The six operations follow IDispatch's seven slots, in this order.
    ITypeInfo* info = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID__Class1, &info), S_OK);
    TYPEATTR* ta = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&ta), S_OK);
    EXPECT_TRUE(ta->wTypeFlags & TYPEFLAG_FDUAL);
    const WORD functions = ta->cFuncs;
    info->ReleaseTypeAttr(ta);
    ITypeInfo* vtableInfo = info;
    HREFTYPE ref = 0;
    if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref))) info->GetRefTypeInfo(ref, &vtableInfo);
    const wchar_t* expected[] = {L"cmdCloseRet",   L"F12Load",     L"LoadWallpaperList",
                                 L"NewShowTimeIs", L"GetInterval", L"CountNextNow"};
    std::vector<std::wstring> found;
    for (UINT i = 0; i < 64; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(vtableInfo->GetFuncDesc(i, &fd))) break;
        BSTR fname = nullptr;
        vtableInfo->GetDocumentation(fd->memid, &fname, nullptr, nullptr, nullptr);
        if (fd->oVft / static_cast<SHORT>(sizeof(void*)) >= 7) {
            EXPECT_EQ(fd->oVft / static_cast<SHORT>(sizeof(void*)), 7 + static_cast<SHORT>(found.size()));
            found.emplace_back(fname);
        }
        SysFreeString(fname);
        vtableInfo->ReleaseFuncDesc(fd);
    }
    EXPECT_GE(functions, 6);
    ASSERT_EQ(found.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(found[i], expected[i]);
    if (vtableInfo != info) vtableInfo->Release();
    info->Release();
    lib->Release();

    const std::wstring path = DllPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    auto text = [&](const wchar_t* field) {
        std::wstring q = std::wstring(L"\\StringFileInfo\\040404B0\\") + field;
        void* p = nullptr;
        UINT n = 0;
        if (!VerQueryValueW(block.data(), q.c_str(), &p, &n)) return std::wstring(L"<missing>");
        return std::wstring(static_cast<wchar_t*>(p));
    };
    EXPECT_EQ(text(L"FileVersion"), L"1.00.0516");
    EXPECT_EQ(text(L"ProductVersion"), L"1.00.0516");
    EXPECT_EQ(text(L"ProductName"), L"Brindle Wallpaper Changer Library");
    EXPECT_EQ(text(L"InternalName"), L"brdsave");
    EXPECT_EQ(text(L"OriginalFilename"), L"brdsave.dll");
    EXPECT_EQ(text(L"OLESelfRegister"), L"");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT n = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &n));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 516u);
}

TEST_F(Library, OperationsThroughTheInterface) {
    _Class1* c = Create();
    ASSERT_NE(c, nullptr);
    // Schedule arithmetic.
    short showTime = 45;
    EXPECT_EQ(c->CountNextNow(15, &showTime), S_OK);
    EXPECT_EQ(showTime, 0);
    showTime = 32760;
    EXPECT_EQ(c->CountNextNow(30, &showTime), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 6));
    EXPECT_EQ(showTime, 32760) << "an overflow changes nothing";

    std::vector<std::string> log;
    FakeControl every("ckEvery", &log), interval("cbInterval", &log), keep("ckSaveSettings", &log),
        countDown("ckCountDown", &log), list("lstShow", &log), search("lstSearch", &log);
    interval.listIndex = 2;
    VARIANT minutes;
    VariantInit(&minutes);
    EXPECT_EQ(c->GetInterval(interval.Arg(), &minutes), S_OK);
    EXPECT_EQ(minutes.vt, VT_I2);
    EXPECT_EQ(minutes.iVal, 15);

    // Switching on: through a variant that refers to the caller's own 16-bit value.
    every.value = 1;
    short intervalMinutes = 0;
    VARIANT ref;
    ref.vt = VT_I2 | VT_BYREF;
    ref.piVal = &intervalMinutes;
    VARIANT_BOOL armed = VARIANT_FALSE;
    showTime = -1;
    VARIANT cb = interval.Arg();
    EXPECT_EQ(c->NewShowTimeIs(every.Arg(), &cb, &armed, &ref, &showTime), S_OK);
    EXPECT_EQ(armed, VARIANT_TRUE);
    EXPECT_EQ(intervalMinutes, 15);
    EXPECT_TRUE(showTime == 0 || showTime == 15 || showTime == 30 || showTime == 45) << showTime;
    EXPECT_FALSE(interval.enabled);

    // Saving and restoring the options through the settings file.
    TempFolder folder;
    std::ofstream(folder.File("Wpaper.dat"), std::ios::binary) << "\"a.bmp\"\r\n\"b, c.jpg_\"\r\n";
    const std::string app = folder.Path().string() + "\\";
    const std::wstring wapp(app.begin(), app.end());
    BSTR file = SysAllocString(L"wallpape.ini");
    BSTR appPath = SysAllocString(wapp.c_str());
    keep.value = 1;
    countDown.value = 0;
    interval.listIndex = 3;
    EXPECT_EQ(c->cmdCloseRet(5, file, keep.Arg(), 1200, 2400, every.Arg(), VARIANT_TRUE, interval.Arg(),
                             appPath, countDown.Arg()),
              S_OK);
    FailureNote note;
    const SettingsRecord rec = ReadSettingsRecord(folder.File("wallpape.ini"), 5, note);
    EXPECT_EQ(rec.Data.Text(), "CheckCheckEmptyRando 3        ");
    EXPECT_EQ(rec.Top, 1200);
    EXPECT_EQ(rec.Left, 2400);

    log.clear();
    VARIANT vEvery = every.Arg(), vInterval = interval.Arg(), vSearch = search.Arg(), vKeep = keep.Arg(),
            vList = list.Arg(), vCount = countDown.Arg();
    VARIANT_BOOL option1 = 0, option2 = 0;
    LONG top = 0, left = 0;
    EXPECT_EQ(c->F12Load(5, file, 0, 0, &vEvery, &vInterval, &option1, &vSearch, &top, &left, &vKeep, &vList,
                         &option2, appPath, &vCount),
              S_OK);
    EXPECT_EQ(top, 1200);
    EXPECT_EQ(left, 2400);
    EXPECT_EQ(option1, VARIANT_TRUE);
    EXPECT_EQ(option2, VARIANT_TRUE);
    EXPECT_EQ(list.items, (std::vector<std::string>{"a.bmp", "b, c.jpg_"}));
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0], "ckEvery.Enabled=False");
    EXPECT_EQ(log[1], "cbInterval.Enabled=False");
    EXPECT_EQ(log[2], "ckSaveSettings.Value=1");
    SysFreeString(file);
    SysFreeString(appPath);
    c->Release();
}

TEST_F(Library, OperationsLateBoundByName) {
    IDispatch* d = nullptr;
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"brdsave.Class1", &clsid), S_OK);
    ASSERT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)),
        S_OK);
    auto id = [&](const wchar_t* name) {
        DISPID dispid = DISPID_UNKNOWN;
        LPOLESTR n = const_cast<LPOLESTR>(name);
        EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &n, 1, 0x409, &dispid), S_OK) << name;
        return dispid;
    };
    for (const wchar_t* name : {L"cmdCloseRet", L"F12Load", L"LoadWallpaperList", L"NewShowTimeIs",
                                L"GetInterval", L"CountNextNow"})
        EXPECT_NE(id(name), DISPID_UNKNOWN);

    // CountNextNow 60 at 23 gives 0, by reference.
    short showTime = 23;
    VARIANT args[2];
    args[0].vt = VT_I2 | VT_BYREF;
    args[0].piVal = &showTime;
    args[1].vt = VT_I4;
    args[1].lVal = 60;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO info{};
    EXPECT_EQ(
        d->Invoke(id(L"CountNextNow"), IID_NULL, 0x409, DISPATCH_METHOD, &params, nullptr, &info, nullptr),
        S_OK);
    EXPECT_EQ(showTime, 0);

    // An overflow reaches a late-bound caller as an exception with its number and description.
    showTime = 32767;
    args[1].lVal = 5;
    info = EXCEPINFO{};
    EXPECT_EQ(
        d->Invoke(id(L"CountNextNow"), IID_NULL, 0x409, DISPATCH_METHOD, &params, nullptr, &info, nullptr),
        DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 6));
    EXPECT_STREQ(info.bstrDescription, L"Overflow");
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    EXPECT_EQ(showTime, 32767);

    // LoadWallpaperList appends through the control's AddItem.
    TempFolder folder;
    std::ofstream(folder.File("Wpaper.dat"), std::ios::binary) << "\"Beach.jpg_\"\r\n\"\"\r\n";
    std::vector<std::string> log;
    FakeControl list("lstShow", &log);
    list.items = {"kept"};
    const std::string app = folder.Path().string() + "\\";
    VARIANT largs[2];
    largs[0].vt = VT_BSTR;
    largs[0].bstrVal = SysAllocString(std::wstring(app.begin(), app.end()).c_str());
    largs[1] = list.Arg();
    DISPPARAMS lparams{largs, nullptr, 2, 0};
    EXPECT_EQ(d->Invoke(id(L"LoadWallpaperList"), IID_NULL, 0x409, DISPATCH_METHOD, &lparams, nullptr,
                        nullptr, nullptr),
              S_OK);
    SysFreeString(largs[0].bstrVal);
    EXPECT_EQ(list.items, (std::vector<std::string>{"kept", "Beach.jpg_", ""}));

    // GetInterval with no choice leaves the variant as it was.
    FakeControl interval("cbInterval", nullptr);
    interval.listIndex = -1;
    VARIANT minutes;
    minutes.vt = VT_I2;
    minutes.iVal = 42;
    VARIANT gargs[2];
    gargs[0].vt = VT_VARIANT | VT_BYREF;
    gargs[0].pvarVal = &minutes;
    gargs[1] = interval.Arg();
    DISPPARAMS gparams{gargs, nullptr, 2, 0};
    EXPECT_EQ(
        d->Invoke(id(L"GetInterval"), IID_NULL, 0x409, DISPATCH_METHOD, &gparams, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(minutes.vt, VT_I2);
    EXPECT_EQ(minutes.iVal, 42);
    interval.listIndex = 7;
    EXPECT_EQ(
        d->Invoke(id(L"GetInterval"), IID_NULL, 0x409, DISPATCH_METHOD, &gparams, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(minutes.iVal, 240);
    d->Release();
}

// The script host runs `script` and gives back what it printed; nothing after 20 s.
std::string RunScript(const std::string& script, const TempFolder& folder) {
    WriteBytes(folder.File("client.vbs"), {script.begin(), script.end()});
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return "no pipe";
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = write;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"cscript.exe //nologo \"" + FilePath(folder.File("client.vbs")).wstring() + L"\"";
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &si, &pi);
    CloseHandle(write);
    std::string out;
    if (started) {
        char chunk[4096];
        DWORD got = 0;
        // The pipe ends when the host does; a host held up (by a message box) is ended after 20 s.
        std::thread guard([&] {
            if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        });
        while (ReadFile(read, chunk, sizeof(chunk), &got, nullptr) && got > 0)
            out.append(chunk, got);
        guard.join();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(read);
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    return started ? out : "cscript.exe did not start";
}

// A script hands the library objects of its own for the controls, and its variables for the
// by-reference values, which it can pass only as references to variants.
TEST_F(Library, AScriptDrivesItWithItsOwnObjectsAndVariables) {
    TempFolder folder;
    WriteBytes(folder.File("Wpaper.dat"),
               {'"', 'B', 'e', 'a', 'c', 'h', '.', 'j', 'p', 'g', '_', '"', '\r', '\n',
                '"', 'T', 'u', 'l', 'i', 'p', 's', '.', 'b', 'm', 'p', '"', '\r', '\n'});
    // One declaration a line: the script engine under Wine refuses a list of them.
    const std::string script = R"(
Class Control
    Public Value
    Public Enabled
    Public ListIndex
    Public ListCount
    Public Items
    Private Sub Class_Initialize()
        Value = 0
        Enabled = True
        ListIndex = -1
        ListCount = 0
        Items = ""
    End Sub
    Public Sub AddItem(text)
        Items = Items & text & "|"
        ListCount = ListCount + 1
    End Sub
End Class
Set library = CreateObject("brdsave.Class1")
Set list = New Control
library.LoadWallpaperList list, ")" +
                               folder.Path().string() + R"(\"
WScript.Echo "list " & list.Items
Set every = New Control
every.Value = 1
Set interval = New Control
interval.ListIndex = 0
interval.ListCount = 8
armed = False
minutes = 0
showAt = -1
library.NewShowTimeIs every, interval, armed, minutes, showAt
WScript.Echo "armed " & armed & " minutes " & minutes & " due " & (showAt Mod 5) & " " & TypeName(showAt)
)";
    const std::string out = RunScript(script, folder);
    EXPECT_NE(out.find("list Beach.jpg_|Tulips.bmp|\n"), std::string::npos) << out;
    EXPECT_NE(out.find("armed True minutes 5 due 0 Integer\n"), std::string::npos) << out;
}

TEST_F(Library, TwoObjectsInARowBehaveAlike) {
    for (int i = 0; i < 2; ++i) {
        _Class1* c = Create();
        ASSERT_NE(c, nullptr);
        short showTime = 55;
        EXPECT_EQ(c->CountNextNow(5, &showTime), S_OK);
        EXPECT_EQ(showTime, 0);
        c->Release();
    }
}

} // namespace
} // namespace brd::test
