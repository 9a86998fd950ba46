// Drives the real program from outside, the way a user does: the tray menu,
// mouse clicks on controls, typing, keys. Everything goes through window
// messages and what the screen shows; nothing reaches into the program.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "program_driver.h"

namespace brd::acceptance {

using test::ClassOf;
using test::ProgramRun;
using test::WaitFor;
using test::WindowText;

// ---- top-level windows ----

// The visible top-level window of the program's form class with exactly this caption (empty included).
inline HWND ShownWindow(const ProgramRun& run, std::string_view caption) {
    for (HWND h : run.Windows({}, "brdForm"))
        if (IsWindowVisible(h) && WindowText(h) == caption) return h;
    return nullptr;
}

// The window with this caption whether shown or not; start-up may load windows hidden.
inline HWND LoadedWindow(const ProgramRun& run, std::string_view caption) {
    for (HWND h : run.Windows({}, "brdForm"))
        if (WindowText(h) == caption && !(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) return h;
    return nullptr;
}

inline HWND WaitShown(const ProgramRun& run, std::string_view caption, int timeoutMs = 10000) {
    HWND found = nullptr;
    WaitFor([&] { return (found = ShownWindow(run, caption)) != nullptr; }, timeoutMs);
    return found;
}

// ---- the screen ----

// Pixels of a part of the screen, 0x00RRGGBB, row by row.
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    [[nodiscard]] std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * Width + x];
    }
    // Something is drawn: not every pixel has the same colour.
    [[nodiscard]] bool Drawn() const {
        return std::any_of(Pixels.begin(), Pixels.end(),
                           [&](std::uint32_t p) { return p != Pixels.front(); });
    }
    friend bool operator==(const Picture&, const Picture&) = default;
};

inline Picture CaptureScreen(const RECT& r) {
    Picture pic;
    pic.Width = r.right - r.left;
    pic.Height = r.bottom - r.top;
    if (pic.Width <= 0 || pic.Height <= 0) return pic;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = pic.Width;
    bi.bmiHeader.biHeight = -pic.Height; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, pic.Width, pic.Height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pic.Pixels.assign(p, p + static_cast<std::size_t>(pic.Width) * pic.Height);
    for (auto& px : pic.Pixels)
        px &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pic;
}

inline Picture CaptureWindow(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return CaptureScreen(r);
}

// Waits until the window's picture is drawn and has held still for a while; returns it.
inline Picture SettledPicture(HWND w, int timeoutMs = 5000) {
    constexpr auto kStill = std::chrono::milliseconds(100);
    Picture last = CaptureWindow(w);
    auto since = std::chrono::steady_clock::now();
    WaitFor(
        [&] {
            Picture now = CaptureWindow(w);
            const auto t = std::chrono::steady_clock::now();
            if (now != last) {
                last = std::move(now);
                since = t;
                return false;
            }
            return last.Drawn() && t - since >= kStill;
        },
        timeoutMs);
    return last;
}

// ---- the tray menu ----

// The menu's items that can be chosen, top to bottom.
enum class MenuItem { About, Wallpaper, Settings, Help, Disable, Remove };
inline constexpr int kChoosableMenuItems = 6;

// The program's popup menu window, while it is open.
inline HWND OpenMenuWindow(const ProgramRun& run) {
    for (HWND h = FindWindowExA(nullptr, nullptr, "#32768", nullptr); h;
         h = FindWindowExA(nullptr, h, "#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == run.Pid() && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

// Right button released over the tray icon: the shell sends the icon's callback message.
inline HWND OpenTrayMenu(const ProgramRun& run) {
    PostMessageA(run.MainWindow(), 0x0200, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    WaitFor([&] { return (menu = OpenMenuWindow(run)) != nullptr; }, 5000);
    return menu;
}

inline void PressKey(HWND w, UINT key) {
    PostMessageA(w, WM_KEYDOWN, key, 1);
    PostMessageA(w, WM_KEYUP, key, 0xC0000001);
}

// Moves down to the item and presses Enter, as with the keyboard; waits for the menu to close.
inline bool ChooseFromMenu(const ProgramRun& run, HWND menu, MenuItem item) {
    for (int i = 0; i <= static_cast<int>(item); ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    return WaitFor([&] { return OpenMenuWindow(run) == nullptr; }, 5000);
}

inline bool ChooseFromTray(const ProgramRun& run, MenuItem item) {
    HWND menu = OpenTrayMenu(run);
    return menu && ChooseFromMenu(run, menu, item);
}

// What the open menu shows, read from the screen.
struct MenuLook {
    // One letter per row of the menu, top to bottom: 'I' an item, 'S' a separator line.
    std::string Shape;
    // For each choosable item: whether a mark stands left of its text.
    std::vector<bool> Marked;
};

namespace detail {

inline int Luminance(std::uint32_t p) {
    return (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
}

// Rows in which most pixels differ between two pictures of the same size.
inline std::pair<int, int> ChangedRows(const Picture& a, const Picture& b) {
    int first = -1, last = -1;
    for (int y = 0; y < a.Height; ++y) {
        int changed = 0;
        for (int x = 0; x < a.Width; ++x)
            changed += a.At(x, y) != b.At(x, y);
        if (changed * 2 > a.Width) {
            if (first < 0) first = y;
            last = y;
        }
    }
    return {first, last};
}

// The colour most pixels have.
inline std::uint32_t Background(const Picture& pic) {
    std::vector<std::uint32_t> sorted = pic.Pixels;
    std::sort(sorted.begin(), sorted.end());
    std::uint32_t best = 0;
    std::size_t bestRun = 0;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i])
            ++j;
        if (j - i > bestRun) {
            bestRun = j - i;
            best = sorted[i];
        }
        i = j;
    }
    return best;
}

inline MenuLook ReadMenuPicture(HWND menu, const Picture& plain) {
    // Each press highlights the next item: the rows that change are that item's.
    std::vector<std::pair<int, int>> items;
    Picture last = plain;
    for (int i = 0; i <= kChoosableMenuItems; ++i) {
        PressKey(menu, VK_DOWN);
        WaitFor([&] { return CaptureWindow(menu) != last; }, 3000);
        last = SettledPicture(menu);
        items.push_back(ChangedRows(plain, last));
    }
    MenuLook look;
    // The last press wraps round to the first item.
    const bool wraps = items.back() == items.front();
    items.pop_back();
    if (std::any_of(items.begin(), items.end(), [](const auto& rows) { return rows.first < 0; })) {
        look.Shape = "?";
        return look;
    }
    const std::uint32_t background = Background(plain);
    const int backgroundLuminance = Luminance(background);
    auto rowDrawnAcross = [&](int y) {
        int drawn = 0;
        for (int x = 0; x < plain.Width; ++x)
            drawn += plain.At(x, y) != background;
        return drawn * 2 > plain.Width;
    };
    std::vector<int> textLeft;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto [top, bottom] = items[i];
        if (i > 0) {
            for (int y = items[i - 1].second + 1; y < top; ++y)
                if (rowDrawnAcross(y)) {
                    look.Shape += 'S';
                    break;
                }
        }
        look.Shape += 'I';
        int left = plain.Width;
        for (int y = top; y <= bottom; ++y)
            for (int x = 2; x < plain.Width - 2; ++x)
                if (Luminance(plain.At(x, y)) < backgroundLuminance - 60) {
                    left = std::min(left, x);
                    break;
                }
        textLeft.push_back(left);
    }
    if (!wraps) look.Shape += '+'; // more items than expected
    // The text of every item starts at the same place; a mark stands clearly left of it.
    std::vector<int> sorted = textLeft;
    std::sort(sorted.begin(), sorted.end());
    const int usual = sorted[sorted.size() / 2];
    for (int left : textLeft)
        look.Marked.push_back(left < usual - 3);
    return look;
}

} // namespace detail

// Opens the menu, walks its items with the arrow key to see where each one lies, reads the
// marks and the separator lines between them, and closes the menu again with Escape.
// Empty when the screen shows nothing of the menu.
inline std::optional<MenuLook> LookAtTrayMenu(const ProgramRun& run) {
    HWND menu = OpenTrayMenu(run);
    if (!menu) return std::nullopt;
    const Picture plain = SettledPicture(menu);
    std::optional<MenuLook> look;
    if (plain.Drawn()) {
        look = detail::ReadMenuPicture(menu, plain);
    }
    PressKey(menu, VK_ESCAPE);
    WaitFor([&] { return OpenMenuWindow(run) == nullptr; }, 5000);
    return look;
}

// ---- controls ----

// A place in a window's design, in twips (1/1440 inch) from the client area's top left corner.
struct Twips {
    int Left, Top, Width, Height;
};

inline UINT DpiOf(HWND w) {
    const UINT dpi = GetDpiForWindow(w);
    return dpi ? dpi : 96;
}

// The child control that lies at the centre of its designed place, as a user finds a button by where it is.
inline HWND ControlAt(HWND form, Twips place) {
    const int dpi = static_cast<int>(DpiOf(form));
    POINT centre{MulDiv(place.Left + place.Width / 2, dpi, 1440),
                 MulDiv(place.Top + place.Height / 2, dpi, 1440)};
    HWND child = ChildWindowFromPointEx(form, centre, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    return child == form ? nullptr : child;
}

// The first direct child of `form` of this window class (any case) with exactly this caption.
inline HWND FindControl(HWND form, std::string_view windowClass, std::string_view caption) {
    for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiA(ClassOf(c).c_str(), std::string(windowClass).c_str()) == 0 && WindowText(c) == caption)
            return c;
    return nullptr;
}

inline HWND FindButton(HWND form, std::string_view caption) {
    return FindControl(form, "Button", caption);
}

// A left click in the middle of the control: press and release, both delivered to it as the mouse would.
inline void Click(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
}

[[nodiscard]] inline bool Checked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
[[nodiscard]] inline bool Enabled(HWND control) {
    return IsWindowEnabled(control) != FALSE;
}

// UTF-8 text and the wide text of the windows, for the driver's own use.
[[nodiscard]] inline std::string DriverUtf8(std::wstring_view wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                            nullptr);
    return text;
}
[[nodiscard]] inline std::wstring DriverWide(std::string_view text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The text a control shows (UTF-8), asked of the control itself (an edit box keeps its own).
[[nodiscard]] inline std::string ControlText(HWND control) {
    const auto n = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
    const auto got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return DriverUtf8(text);
}

// Replaces the text of an edit box (UTF-8), as typing over a selected text does.
inline void TypeText(HWND edit, const std::string& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(DriverWide(text).c_str()));
}

// Clicks into the box, then presses Enter there.
inline void PressEnterIn(HWND edit) {
    Click(edit);
    PressKey(edit, VK_RETURN);
}

// Chooses an item of a drop-down combo box with the keyboard: click into its text part,
// then arrow down to the item. Each step is a choice the program is told about.
inline void ChooseComboItem(HWND combo, int index) {
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    HWND target = edit ? edit : combo;
    Click(target);
    const int current = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    for (int i = current; i < index; ++i)
        PressKey(target, VK_DOWN);
}

[[nodiscard]] inline int ComboIndex(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

// The entries of a list box, in UTF-8. Asked in UTF-16: the ANSI form of the question does not come
// back converted from another process under Wine.
[[nodiscard]] inline std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
        const auto got =
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        items.push_back(DriverUtf8(wide));
    }
    return items;
}

// Selects (as with Ctrl held) every entry of a multi-selection list for which keep(entry) holds.
template <typename Keep> int SelectListItems(HWND list, Keep keep) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    const auto items = ListItems(list);
    int selected = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!keep(items[i])) continue;
        SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        ++selected;
    }
    return selected;
}

} // namespace brd::acceptance
