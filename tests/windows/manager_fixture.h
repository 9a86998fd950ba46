// A program folder of its own, test pictures in the Windows folder, and the
// warning windows that the manager window opens.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shared/core/failure.h"
#include "shared/core/record_file.h"
#include "shared/core/settings_rules.h"
#include "brdwall/manager/form12.h"
#include "brdwall/services/module1.h"
#include "program_driver.h"
#include "tests/host/temp_folder.h"

namespace brd::test {

inline std::filesystem::path TestData(const char* name) {
    return TestExeFolder() / "testdata" / name;
}

// Texts of the warning windows open in this process.
inline std::vector<std::string> WarningTexts() {
    std::vector<std::string> texts;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() || WindowText(w) != "Warning Message" || !IsWindowVisible(w))
            continue;
        for (HWND c : Children(w))
            if (ClassOf(c) == "Static" && GetWindowLongA(c, GWL_STYLE) & SS_NOPREFIX)
                texts.push_back(WindowText(c));
    }
    return texts;
}

inline void CloseWarnings() {
    for (HWND w = FindWindowA("brdForm", "Warning Message"); w; w = FindWindowA("brdForm", "Warning Message"))
        SendMessageA(w, WM_CLOSE, 0, 0);
    Application::DoEvents();
}

class ManagerTest : public testing::Test {
  protected:
    void SetUp() override {
        savedAppFolder_ = G().AppFolder; // given back by TearDown, which runs after a skip too
        if (!WindowsFolderWritable()) GTEST_SKIP() << kNeedsTheWindowsFolder;
        G().AppFolder = folder.Path().string() + "\\";
        static_cast<RotationState&>(G()) = RotationState{};
        windows = WindowsDirectory();
    }
    void TearDown() override {
        G().NextShowAt = -1;
        if (Form12* f = Forms().Find<Form12>()) f->Unload();
        CloseWarnings();
        for (const auto& p : placed_)
            std::filesystem::remove(p);
        G().AppFolder = savedAppFolder_;
        static_cast<RotationState&>(G()) = RotationState{};
    }

    // Copies a test picture into the Windows folder under a name of this run; returns the name.
    std::string PlaceInWindows(const char* data, const std::string& name) {
        const auto target = std::filesystem::path(windows) / name;
        std::filesystem::copy_file(TestData(data), target, std::filesystem::copy_options::overwrite_existing);
        placed_.push_back(target);
        return name;
    }
    void WriteList(const std::vector<std::string>& entries) {
        std::string text;
        for (const auto& e : entries)
            text += "\"" + e + "\"\r\n";
        WriteBytes(folder.File("Wpaper.dat"), std::vector<unsigned char>(text.begin(), text.end()));
    }
    void WriteRecord(int number, const char* marker, const std::string& data, int top = 0, int left = 0,
                     const std::string& markerText = {}) {
        SettingsRecord rec;
        if (marker) rec.Marker.Assign(marker);
        if (!markerText.empty()) rec.Marker.Assign(markerText);
        rec.Data.Assign(data);
        rec.Top = top;
        rec.Left = left;
        FailureNote note;
        WriteSettingsRecord(folder.File("wallpape.ini"), number, rec, note);
        ASSERT_FALSE(note.Noted());
    }
    SettingsRecord ReadRecord(int number) {
        FailureNote note;
        return ReadSettingsRecord(folder.File("wallpape.ini"), number, note);
    }
    static std::string Wallpaper() {
        char path[MAX_PATH * 2] = {};
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(path), path, 0);
        return path;
    }
    // A real mouse release over a control.
    static void Release(Control& c) {
        SendMessageA(c.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageA(c.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }

    TempFolder folder;
    std::string windows;

  private:
    std::string savedAppFolder_;
    std::vector<std::filesystem::path> placed_;
};

} // namespace brd::test
