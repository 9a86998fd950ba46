// The program's side of the library: the controls' faces answer by name and
// raise their handlers, and Class1 is created with nothing registered.
#include <gtest/gtest.h>

#include <fstream>

#include "brdwall/runtime/control_dispatch.h"
#include "brdwall/services/library.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"
#include "faults.h"
#include "brdwall/tray/form1.h"

namespace brd::test {
namespace {

class Panel final : public Form {
  public:
    Panel()
        : ckEvery(*this, {"ckEvery", "Every", "", 120, 120, 1200, 300}),
          cbInterval(*this, {"cbInterval", "", "", 120, 480, 1200, 300}),
          lstShow(*this, {"lstShow", "", "", 120, 900, 2000, 1200}) {
        for (const char* item :
             {"5 mins", "10 mins", "15 mins", "30 mins", "1 hr", "2 hrs", "3 hrs", "4 hrs"})
            cbInterval.AddItem(item);
        ckEvery.Click = [this] { log.push_back("ckEvery_Click " + std::to_string(ckEvery.Value())); };
        cbInterval.Click = [this] {
            log.push_back("cbInterval_Click " + std::to_string(cbInterval.ListIndex()));
        };
    }
    CheckBox ckEvery;
    ComboBox cbInterval;
    ListBox lstShow;
    std::vector<std::string> log;

  private:
    FormStyle Style() const override { return FormStyle{"Panel", 3000, 2400}; }
};

using Log = std::vector<std::string>;

HRESULT Put(IDispatch* d, const wchar_t* name, int value, EXCEPINFO* info = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, 0, &id);
    if (FAILED(hr)) return hr;
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS p{&v, &named, 1, 1};
    return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, info, nullptr);
}

TEST(Binding, ControlFacesAnswerByNameAndRaiseTheHandlers) {
    Panel& p = Forms().Get<Panel>();
    auto every = DispatchFor(p.ckEvery);
    auto interval = DispatchFor(p.cbInterval);
    EXPECT_EQ(Put(every.get(), L"Value", 1), S_OK);
    EXPECT_EQ(Put(every.get(), L"value", 1), S_OK) << "names are not case-sensitive; no change, no Click";
    EXPECT_EQ(Put(interval.get(), L"ListIndex", 3), S_OK);
    EXPECT_EQ(p.log, (Log{"ckEvery_Click 1", "cbInterval_Click 3"}));

    EXCEPINFO info{};
    EXPECT_EQ(Put(interval.get(), L"ListIndex", 8, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.wCode, 380);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    EXPECT_EQ(p.cbInterval.ListIndex(), 3) << "a refused index is not applied";
    EXPECT_EQ(Put(every.get(), L"ListIndex", 0), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Put(every.get(), L"Caption", 0), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Put(every.get(), L"Enabled", 0), S_OK);
    EXPECT_FALSE(p.ckEvery.Enabled());
    p.Unload();
    Application::DoEvents();
}

TEST(Binding, Class1IsCreatedWithNothingRegisteredAndWorksOnTheControls) {
    // Make sure no registration is left from elsewhere: the manifest alone must find the class.
    HMODULE dll = LoadLibraryW((TestExeFolder() / "brdsave.dll").wstring().c_str());
    ASSERT_NE(dll, nullptr);
    auto unregister = reinterpret_cast<HRESULT(__stdcall*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll, "DllUnregisterServer")));
    ASSERT_NE(unregister, nullptr);
    unregister();
    HKEY key = nullptr;
    ASSERT_NE(
        RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{441E4F2B-428C-11D6-AF66-EE36C2ADF851}", 0, KEY_READ, &key),
        ERROR_SUCCESS)
        << "not registered";

    TempFolder folder;
    std::ofstream(folder.File("Wpaper.dat"), std::ios::binary) << "\"Beach.jpg_\"\r\n\"Tulips.bmp\"\r\n";
    Panel& p = Forms().Get<Panel>();
    {
        LibraryObject library = NewClass1();
        ASSERT_TRUE(library);
        ControlArg list(DispatchFor(p.lstShow));
        const std::string app = folder.Path().string() + "\\";
        BSTR path = SysAllocString(std::wstring(app.begin(), app.end()).c_str());
        EXPECT_EQ(library->LoadWallpaperList(list.ptr(), path), S_OK);
        SysFreeString(path);
        ASSERT_EQ(p.lstShow.ListCount(), 2);
        EXPECT_EQ(p.lstShow.List(0), "Beach.jpg_");
        EXPECT_EQ(p.lstShow.List(1), "Tulips.bmp");

        // Switching rotation on through the interval list and the Every box.
        p.log.clear();
        p.ckEvery.SetValue(1);
        p.cbInterval.SetListIndex(0);
        ControlArg every(DispatchFor(p.ckEvery)), interval(DispatchFor(p.cbInterval));
        short minutes = 0, showAt = -1;
        VARIANT ref;
        ref.vt = VT_I2 | VT_BYREF;
        ref.piVal = &minutes;
        VARIANT_BOOL armed = VARIANT_FALSE;
        EXPECT_EQ(library->NewShowTimeIs(every.get(), interval.ptr(), &armed, &ref, &showAt), S_OK);
        EXPECT_EQ(armed, VARIANT_TRUE);
        EXPECT_EQ(minutes, 5);
        EXPECT_EQ(showAt % 5, 0);
        EXPECT_FALSE(p.cbInterval.Enabled());

        // A failed status is reported, not ignored.
        short next = 32767;
        const HRESULT hr = library->CountNextNow(5, &next);
        EXPECT_FALSE(LibraryCallSucceeded(hr, "Error occurred when computing the next change, "));
        const std::size_t warnings = Forms().OtherCount();
        EXPECT_EQ(warnings, 1u);
    }
    p.Unload();
    for (HWND w = FindWindowA("brdForm", "Warning Message"); w; w = FindWindowA("brdForm", "Warning Message"))
        SendMessageA(w, WM_CLOSE, 0, 0);
    Application::DoEvents();
    FreeLibrary(dll);
}

// Something else under the library's name beside the program.
struct LibraryCase {
    const char* name;
    std::function<std::filesystem::path()> file;
    const char* told; // in the warning, after the sentence
};

class ReliabilityLibrary : public testing::TestWithParam<LibraryCase> {};

TEST_P(ReliabilityLibrary, WarnsOnceAndTheProgramRunsOn) {
    const LibraryCase& c = GetParam();
    TempFolder folder;
    std::filesystem::copy_file(c.file(), folder.Path() / "brdsave.dll");
    PutRecord(folder.File("wallpape.ini"), 5, Record("[WallpaperLoc]", "CheckCheckEmptyPrior 4"));
    const auto before = Fingerprint(folder.File("wallpape.ini"));

    const auto start = Clock::now();
    ProgramRun run(folder.Path(), /*withLibrary=*/false);
    const StartOutcome out = WaitStarted(run, start);
    ASSERT_TRUE(out.started);
    ASSERT_EQ(out.warnings.size(), 1u);
    EXPECT_TRUE(out.warnings[0].starts_with(kLibraryMissingSentence)) << out.warnings[0];
    EXPECT_NE(out.warnings[0].find(c.told), std::string::npos) << out.warnings[0];
    EXPECT_TRUE(out.boxes.empty());

    // Every later use of the library finds it unusable again, without another warning.
    PostMessageA(run.MainWindow(), WM_COMMAND, Form1::mWallpaper, 0);
    ASSERT_TRUE(WaitFor([&] { return ManagerOf(run) && IsWindowVisible(ManagerOf(run)); }));
    PostMessageA(ManagerOf(run), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !ManagerOf(run) || !IsWindowVisible(ManagerOf(run)); }));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(run.Windows(kWarningCaption).size(), 1u);
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(run.TrayIconPresent());
    EXPECT_EQ(Fingerprint(folder.File("wallpape.ini")), before);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, ReliabilityLibrary,
    testing::Values(
        // A DLL that is not ours: no such class in it.
        LibraryCase{"ForeignDll",
                    [] {
                        char system[MAX_PATH] = {};
                        GetSystemDirectoryA(system, MAX_PATH);
                        return std::filesystem::path(system) / "version.dll";
                    },
                    "Error # "},
        // An older build of ours: the same class, type library 13.0.
        LibraryCase{"OlderCopy", [] { return TestExeFolder() / "brdsave_older.dll"; },
                    "another copy of the library (type library version 13.0, 14.0 wanted)"}),
    [](const testing::TestParamInfo<LibraryCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brd::test
