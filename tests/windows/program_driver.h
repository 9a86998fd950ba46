// Starts the real brdwall.exe from a folder of its own and looks at its windows
// from outside, as a user (or the shell) would.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "shared/win/handles.h"

namespace brd::test {

inline std::filesystem::path TestExeFolder() {
    char path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    return std::filesystem::path(std::string(path, n)).parent_path();
}

inline std::string WindowText(HWND h) {
    char buf[4096];
    const int n = GetWindowTextA(h, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

inline std::string ClassOf(HWND h) {
    char buf[256];
    const int n = GetClassNameA(h, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Waits, handling this thread's messages, until pred() holds or the time is up.
template <typename Pred> bool WaitFor(Pred pred, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (pred()) return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return pred();
}

class ProgramRun {
  public:
    // Copies brdwall.exe (and, unless told otherwise, brdsave.dll) into `folder` and starts it there.
    explicit ProgramRun(const std::filesystem::path& folder, bool withLibrary = true) {
        const auto exe = folder / "brdwall.exe";
        const auto options = std::filesystem::copy_options::overwrite_existing;
        std::filesystem::copy_file(TestExeFolder() / "brdwall.exe", exe, options);
        if (withLibrary)
            std::filesystem::copy_file(TestExeFolder() / "brdsave.dll", folder / "brdsave.dll", options);
        Start(exe);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 5000);
        }
    }

    [[nodiscard]] DWORD Pid() const noexcept { return pid_; }
    [[nodiscard]] bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // Waits for the end; returns the exit code, or -1 when it is still running.
    long WaitExit(int timeoutMs = 10000) const {
        if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }
    // Waits until start-up is over and the program waits for messages.
    bool WaitIdle(int timeoutMs = 15000) const {
        if (WaitForInputIdle(process_.get(), static_cast<DWORD>(timeoutMs)) != 0) return false;
        return WaitFor([this] { return MainWindow() != nullptr && TrayIconPresent(); }, timeoutMs);
    }

    // Top-level windows of this process with the given caption (any caption when empty).
    [[nodiscard]] std::vector<HWND> Windows(const std::string& caption = {},
                                            const std::string& cls = {}) const {
        struct Search {
            DWORD pid;
            const std::string* caption;
            const std::string* cls;
            std::vector<HWND> found;
        } s{pid_, &caption, &cls, {}};
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == s->pid && (s->caption->empty() || WindowText(h) == *s->caption) &&
                    (s->cls->empty() || ClassOf(h) == *s->cls))
                    s->found.push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    // The hidden main window that owns the tray icon.
    [[nodiscard]] HWND MainWindow() const {
        for (HWND h : Windows("Brindle Wallpaper Changer", "brdForm"))
            if (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return h;
        return nullptr;
    }

    // True when the shell knows an icon of this program's main window.
    [[nodiscard]] bool TrayIconPresent() const { return TrayIconPresent(MainWindow()); }
    static bool TrayIconPresent(HWND owner) {
        if (!owner) return false;
        NOTIFYICONDATAA nid{};
        nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
        nid.hWnd = owner;
        nid.uID = 1;
        nid.uFlags = 0;
        return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    }

  private:
    void Start(const std::filesystem::path& exe) {
        // By the wide names: a program folder may be named in any script.
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"\"" + exe.wstring() + L"\"";
        const std::wstring dir = exe.parent_path().wstring();
        if (CreateProcessW(exe.wstring().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           dir.c_str(), &si, &pi)) {
            process_.reset(pi.hProcess);
            CloseHandle(pi.hThread);
            pid_ = pi.dwProcessId;
        }
    }

    unique_kernel_handle process_;
    DWORD pid_ = 0;
};

// Whether this process may put files into the Windows folder, as many tests do (the program lists
// and converts its pictures): only with administrator rights on Windows.
inline bool WindowsFolderWritable() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    const std::wstring probe = std::wstring(folder) + L"\\brdtest_rights.tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
inline constexpr char kNeedsTheWindowsFolder[] =
    "this test puts pictures into the Windows folder, which needs administrator rights: run elevated";

// Drive R:, a drive that comes and goes (a USB stick, a share mapped late): there, with its folder
// R:\pics, while C:\brdtest_removable is. The Wine prefix of the tests maps it; on Windows it is made
// here, as subst does. Not usable where R: is a drive already.
class RemovableDrive {
  public:
    static constexpr char kBacking[] = "C:\\brdtest_removable";
    RemovableDrive() {
        Unplug();
        usable_ = GetDriveTypeW(L"R:\\") == DRIVE_NO_ROOT_DIR && Plug();
        Unplug();
    }
    ~RemovableDrive() {
        Unplug();
        if (defined_) DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"R:", nullptr);
    }
    [[nodiscard]] bool Usable() const noexcept { return usable_; }
    bool Plug() {
        std::filesystem::create_directories(std::string(kBacking) + "\\pics");
        if (!defined_ && GetFileAttributesW(L"R:\\pics") == INVALID_FILE_ATTRIBUTES)
            defined_ = DefineDosDeviceW(0, L"R:", L"C:\\brdtest_removable") != FALSE;
        return GetFileAttributesW(L"R:\\pics") != INVALID_FILE_ATTRIBUTES;
    }
    void Unplug() {
        std::error_code ec;
        std::filesystem::remove_all(kBacking, ec);
    }

  private:
    bool usable_ = false;
    bool defined_ = false;
};

// The child window of `parent` with the given control identifier's text.
inline std::string DialogItemText(HWND parent, int id) {
    HWND item = GetDlgItem(parent, id);
    return item ? WindowText(item) : std::string();
}

// Texts of the child windows of `parent`, in order.
inline std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

} // namespace brd::test
