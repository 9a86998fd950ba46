#include "brdwall/runtime/controls.h"

#include "brdwall/resources/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "shared/win/text.h"

namespace brd {

namespace {

// Item `index` of a list box or combo box: from its window with the kind's length and text
// messages, read as wide text (the ANSI messages fail on very long items); before the window
// exists, from the items waiting for it.
std::string ItemText(HWND window, UINT lengthMessage, UINT textMessage,
                     const std::vector<std::string>& pending, int index) {
    if (!window)
        return index >= 0 && index < static_cast<int>(pending.size()) ? pending[index] : std::string();
    const LRESULT n = SendMessageW(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (n < 0) return {}; // LB_ERR, CB_ERR
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got =
        SendMessageW(window, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (got < 0) return {};
    text.resize(static_cast<std::size_t>(got));
    return Utf8(text);
}

} // namespace

// ---- Control ----

Control::Control(Form& owner, ControlDesign design, Control* container)
    : owner_(owner), design_(std::move(design)), container_(container) {
    owner_.AddControl(this);
}

POINT Control::OriginTwips() const noexcept {
    POINT p{design_.Left, design_.Top};
    if (container_) {
        const POINT c = container_->OriginTwips();
        p.x += c.x;
        p.y += c.y;
    }
    return p;
}

void Control::Place() {
    const POINT at = OriginTwips();
    SetWindowPos(hwnd_, nullptr, owner_.ToPixels(at.x), owner_.ToPixels(at.y), owner_.ToPixels(design_.Width),
                 owner_.ToPixels(design_.Height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle) {
    const POINT at = OriginTwips();
    // Each control starts a keyboard group, except an option button that follows another of
    // the same container: the arrow keys move among those.
    bool continuesGroup = false;
    if (dynamic_cast<OptionButton*>(this)) {
        const auto& all = owner_.controls_;
        const auto self = std::find(all.begin(), all.end(), this);
        if (self != all.begin()) {
            const auto* previous = dynamic_cast<const OptionButton*>(*(self - 1));
            continuesGroup = previous && previous->container_ == container_;
        }
    }
    if (!continuesGroup) style |= WS_GROUP;
    if (continuesGroup) style &= ~static_cast<DWORD>(WS_TABSTOP);
    // Unicode windows, so that names in any script show as they are.
    hwnd_ =
        CreateWindowExW(exStyle, windowClass, Wide(design_.Caption).c_str(), WS_CHILD | WS_VISIBLE | style,
                        owner_.ToPixels(at.x), owner_.ToPixels(at.y), owner_.ToPixels(design_.Width),
                        owner_.ToPixels(design_.Height), owner_.hWnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), Application::Instance(), nullptr);
}

bool Control::Enabled() const noexcept {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void Control::SetEnabled(bool enabled) {
    if (!hwnd_) owner_.Load();
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Control::Visible() const noexcept {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
}

void Control::SetVisible(bool visible) {
    if (!hwnd_) owner_.Load();
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

std::string Control::Caption() const {
    if (!hwnd_) return design_.Caption;
    const int n = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), n + 1)));
    return Utf8(text);
}

void Control::SetCaption(std::string_view text) {
    design_.Caption.assign(text);
    if (hwnd_) SetWindowTextW(hwnd_, Wide(design_.Caption).c_str());
}

int Control::Height() const noexcept {
    if (!hwnd_) return design_.Height;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return owner_.ToTwips(r.bottom - r.top);
}

void Control::SetHeight(int twips) {
    design_.Height = twips;
    if (!hwnd_) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, owner_.ToPixels(twips),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetFocus() {
    if (!hwnd_) owner_.Load();
    if (hwnd_) ::SetFocus(hwnd_);
}

void Control::SetFont(const char* face, int points) {
    if (!hwnd_) owner_.Load();
    if (!hwnd_) return;
    // Start from the control's present font, so that a name and a size can be set one after the other.
    LOGFONTW lf{};
    auto current = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    GetObjectW(current ? current : owner_.DefaultFont(), sizeof(lf), &lf);
    if (face) lstrcpynW(lf.lfFaceName, Wide(face).c_str(), LF_FACESIZE);
    if (points > 0) lf.lfHeight = -MulDiv(points, static_cast<int>(owner_.Dpi()), 72);
    if (face) fontFace_ = face;
    if (points > 0) fontPoints_ = points;
    unique_hfont font(CreateFontIndirectW(&lf));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font); // the old font is released only once it is no longer in use
}

void Control::Hook() {
    // Classic subclassing: the library's subclass chain costs far more per message, which
    // tells when a list takes thousands of items. The procedure is a Unicode one, like the
    // controls' own: messages pass through unconverted, and an ANSI procedure in between
    // would convert wide text twice (through fixed buffers for list items on some systems).
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::ControlProc)));
}

LRESULT Control::CallBase(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return CallWindowProcW(baseProc_, hwnd, msg, wp, lp);
}

// The shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt.
static int KeyShift() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

LRESULT CALLBACK Control::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!c || !c->baseProc_) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        // The tool tips see the mouse through us.
        if (HWND tip = c->owner_.tooltip_) {
            MSG m{hwnd, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
            SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
        }
    }
    switch (msg) {
    case BM_CLICK: {
        // BM_CLICK presses the button through made-up mouse messages: no real release.
        const bool outer = !c->emulatedClick_;
        c->emulatedClick_ = true;
        const LRESULT r = c->CallBase(hwnd, msg, wp, lp);
        if (outer) c->emulatedClick_ = false;
        return r;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        // The control's own handling comes first, so that a button's Click
        // runs before its MouseUp.
        const LRESULT r = c->CallBase(hwnd, msg, wp, lp);
        if (c->MouseUp && c->hwnd_ == hwnd && !c->emulatedClick_ && !ModalScope::Active()) {
            const int button = msg == WM_LBUTTONUP   ? LeftButton
                               : msg == WM_RBUTTONUP ? RightButton
                                                     : MiddleButton;
            int shift = 0;
            if (wp & MK_SHIFT) shift |= 1;
            if (wp & MK_CONTROL) shift |= 2;
            if (GetKeyState(VK_MENU) < 0) shift |= 4;
            c->MouseUp(button, shift, c->owner_.ToTwips(GET_X_LPARAM(lp)),
                       c->owner_.ToTwips(GET_Y_LPARAM(lp)));
        }
        return r;
    }
    case WM_KEYUP:
        if (wp == VK_SPACE && c->SpaceIsARelease() && c->MouseUp && c->hwnd_ == hwnd &&
            !ModalScope::Active() && (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED)) {
            // The button toggles on this release; its Click runs first, as with the mouse.
            const LRESULT r = c->CallBase(hwnd, msg, wp, lp);
            c->MouseUp(LeftButton, KeyShift(), 0, 0);
            return r;
        }
        break;
    case WM_GETDLGCODE:
        // A control with its own key handling gets Enter instead of the default button.
        if (c->KeyDown && lp) {
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
                return c->CallBase(hwnd, msg, wp, lp) | DLGC_WANTMESSAGE;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (c->KeyDown && !ModalScope::Active()) c->KeyDown(static_cast<int>(wp), KeyShift());
        break;
    case WM_NCDESTROY: {
        // The window goes: give it back its own procedure and forget the control.
        const WNDPROC base = c->baseProc_;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        c->baseProc_ = nullptr;
        return CallWindowProcW(base, hwnd, msg, wp, lp);
    }
    default:
        break;
    }
    return c->CallBase(hwnd, msg, wp, lp);
}

// ---- CommandButton ----

void CommandButton::Realize() {
    CreateChild(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
}

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED && Click) Click();
}

void CommandButton::PerformClick() {
    if (!hwnd_) owner_.Load();
    if (Enabled() && Click) Click();
}

// ---- CheckBox ----

void CheckBox::Realize() {
    CreateChild(L"BUTTON", WS_TABSTOP | BS_3STATE);
    SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(value_), 0);
}

void CheckBox::SetValue(int value) {
    if (!hwnd_) owner_.Load();
    if (value == value_) return;
    value_ = value;
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(value_), 0);
    if (Click) Click();
}

void CheckBox::OnCommand(WORD code) {
    // A user's click checks a clear or grayed box and clears a checked one.
    if (code == BN_CLICKED) SetValue(value_ == 1 ? 0 : 1);
}

// ---- OptionButton ----

OptionButton::OptionButton(Form& owner, ControlDesign design, Control* container, int index)
    : Control(owner, std::move(design), container), index_(index) {}

void OptionButton::Realize() {
    CreateChild(L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON);
    SendMessageW(hwnd_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::SetValue(bool selected) {
    if (!hwnd_) owner_.Load();
    if (!selected) {
        value_ = false;
        if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    if (value_) return;
    // Clear the other option buttons of the same container.
    for (Control* c : owner_.controls_) {
        auto* other = dynamic_cast<OptionButton*>(c);
        if (other && other != this && other->container_ == container_ && other->value_) {
            other->value_ = false;
            if (other->hwnd_) SendMessageW(other->hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    value_ = true;
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
    if (Click) Click(index_);
}

void OptionButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) SetValue(true);
}

// ---- ComboBox ----

void ComboBox::Place() {
    // The window's height includes the drop-down part, which needs room for the items.
    const POINT at = OriginTwips();
    SetWindowPos(hwnd_, nullptr, owner_.ToPixels(at.x), owner_.ToPixels(at.y), owner_.ToPixels(design_.Width),
                 owner_.ToPixels(design_.Height) * 8, SWP_NOZORDER | SWP_NOACTIVATE);
}

ComboBox::ComboBox(Form& owner, ControlDesign design, Control* container, bool editable)
    : Control(owner, std::move(design), container), editable_(editable) {}

void ComboBox::Realize() {
    CreateChild(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | (editable_ ? CBS_DROPDOWN : CBS_DROPDOWNLIST));
    Place();
    for (const auto& item : pending_)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    pending_.clear();
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(pendingIndex_), 0);
    if (editable_ && pendingIndex_ < 0) SetWindowTextW(hwnd_, Wide(design_.Caption).c_str());
}

void ComboBox::AddItem(std::string_view item) {
    std::string s(item);
    if (hwnd_) {
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s).c_str()));
    } else {
        pending_.push_back(std::move(s));
    }
}

void ComboBox::Clear() {
    pending_.clear();
    pendingIndex_ = -1;
    if (hwnd_) SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const noexcept {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0))
                 : static_cast<int>(pending_.size());
}

std::string ComboBox::List(int index) const {
    return ItemText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, pending_, index);
}

int ComboBox::ListIndex() const noexcept {
    if (!hwnd_) return pendingIndex_;
    const int index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
    if (!editable_ || index < 0) return index;
    // Typed text that differs from the chosen item means no choice.
    return Caption() == List(index) ? index : -1;
}

void ComboBox::SetListIndex(int index) {
    if (!hwnd_) owner_.Load();
    if (hwnd_) {
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (editable_ && index < 0) SetWindowTextW(hwnd_, Wide(design_.Caption).c_str());
    } else {
        pendingIndex_ = index;
    }
    if (Click) Click();
}

void ComboBox::OnCommand(WORD code) {
    if (code == CBN_SELCHANGE && Click) Click();
}

unique_hbitmap StretchedBitmap(HBITMAP source, int width, int height) {
    BITMAP bm{};
    if (!source || !GetObjectW(source, sizeof(bm), &bm)) return {};
    const window_dc screen;
    unique_hbitmap stretched(CreateCompatibleBitmap(screen.get(), width, height));
    unique_hdc from(CreateCompatibleDC(screen.get()));
    unique_hdc to(CreateCompatibleDC(screen.get()));
    if (!stretched || !from || !to) return {};
    const selected_object fromPicture(from.get(), source);
    const selected_object toPicture(to.get(), stretched.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return stretched;
}

// ---- ListBox ----

ListBox::ListBox(Form& owner, ControlDesign design, Control* container, bool sorted, bool extendedSelect)
    : Control(owner, std::move(design), container), sorted_(sorted), extended_(extendedSelect) {}

void ListBox::Realize() {
    DWORD style = WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    if (sorted_) style |= LBS_SORT;
    if (extended_) style |= LBS_EXTENDEDSEL;
    CreateChild(L"LISTBOX", style);
    for (const auto& item : pending_)
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    pending_.clear();
}

void ListBox::AddItem(std::string_view item) {
    std::string s(item);
    if (hwnd_) {
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s).c_str()));
    } else {
        pending_.push_back(std::move(s));
    }
}

void ListBox::RemoveItem(int index) {
    if (hwnd_) {
        SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    } else if (index >= 0 && index < static_cast<int>(pending_.size())) {
        pending_.erase(pending_.begin() + index);
    }
}

void ListBox::Clear() {
    pending_.clear();
    if (hwnd_) SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int ListBox::ListCount() const noexcept {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0))
                 : static_cast<int>(pending_.size());
}

std::string ListBox::List(int index) const {
    return ItemText(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, pending_, index);
}

int ListBox::ListIndex() const noexcept {
    if (!hwnd_) return -1;
    return static_cast<int>(SendMessageW(hwnd_, extended_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void ListBox::SetListIndex(int index) {
    if (!hwnd_) owner_.Load();
    if (hwnd_) {
        if (extended_) {
            SendMessageW(hwnd_, LB_SETSEL, FALSE, -1);
            if (index >= 0) SendMessageW(hwnd_, LB_SETSEL, TRUE, index);
            SendMessageW(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        } else {
            SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
    }
    if (Click) Click();
}

bool ListBox::Selected(int index) const noexcept {
    return hwnd_ && SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool selected) {
    if (!hwnd_) return;
    if (extended_) {
        SendMessageW(hwnd_, LB_SETSEL, selected ? TRUE : FALSE, index);
    } else {
        SendMessageW(hwnd_, LB_SETCURSEL, selected ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
    }
}

int ListBox::SelCount() const noexcept {
    if (!hwnd_) return 0;
    if (!extended_) return ListIndex() >= 0 ? 1 : 0;
    const LRESULT n = SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

void ListBox::SetItems(std::vector<std::string> items) {
    if (sorted_) {
        // The order a sorted list box keeps: case-insensitive, as the system compares. Sort keys
        // are made once per item and compared bytewise, which gives the same order far faster.
        std::vector<std::pair<std::string, std::size_t>> keys;
        keys.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::wstring item = Wide(items[i]);
            constexpr DWORD kOrder = LCMAP_SORTKEY | NORM_IGNORECASE;
            const int n = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kOrder, item.c_str(), -1, nullptr, 0,
                                        nullptr, nullptr, 0);
            std::string key(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
            // A sort key is bytes, asked for through the wide call.
            if (n > 0)
                LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kOrder, item.c_str(), -1,
                              reinterpret_cast<LPWSTR>(key.data()), n, nullptr, nullptr, 0);
            keys.emplace_back(std::move(key), i);
        }
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> sorted;
        sorted.reserve(items.size());
        for (const auto& k : keys)
            sorted.push_back(std::move(items[k.second]));
        items = std::move(sorted);
    }
    if (!hwnd_) {
        pending_ = std::move(items);
        return;
    }
    Freeze freeze(*this);
    Refill(items);
}

void ListBox::Refill(const std::vector<std::string>& items) {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const auto& item : items)
        bytes += item.size() + 1;
    SendMessageW(hwnd_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    // Inserting at the end keeps the order given, sorted style or not.
    for (const auto& item : items)
        SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

ListBox::Freeze::Freeze(ListBox& list) : list_(list) {
    if (list_.frozen_++ == 0 && list_.hwnd_) SendMessageW(list_.hwnd_, WM_SETREDRAW, FALSE, 0);
}

ListBox::Freeze::~Freeze() {
    if (--list_.frozen_ == 0 && list_.hwnd_) {
        SendMessageW(list_.hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_.hwnd_, nullptr, TRUE);
    }
}

void ListBox::AddItems(const std::vector<std::string>& items) {
    if (!hwnd_) {
        pending_.insert(pending_.end(), items.begin(), items.end());
        return;
    }
    Freeze freeze(*this);
    std::size_t bytes = 0;
    for (const auto& item : items)
        bytes += item.size() + 1;
    SendMessageW(hwnd_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    for (const auto& item : items)
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

std::vector<int> ListBox::SelectedIndexes() const {
    std::vector<int> out;
    if (!hwnd_) return out;
    if (!extended_) {
        const int at = ListIndex();
        if (at >= 0) out.push_back(at);
        return out;
    }
    const int n = SelCount();
    if (n <= 0) return out;
    out.resize(static_cast<std::size_t>(n));
    const LRESULT got =
        SendMessageW(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(out.data()));
    out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    std::sort(out.begin(), out.end());
    return out;
}

void ListBox::RemoveItems(const std::vector<int>& indexes) {
    if (indexes.empty()) return;
    if (!hwnd_) {
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
            RemoveItem(*it);
        return;
    }
    Freeze freeze(*this);
    // Each removal moves every item behind it, so a few are removed where they are (from the
    // back) and many by building the list again from the items that stay.
    constexpr std::size_t kFewRemovals = 64;
    if (indexes.size() <= kFewRemovals) {
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
            SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
        return;
    }
    const int count = ListCount();
    const int top = static_cast<int>(SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0));
    std::vector<std::string> kept;
    kept.reserve(static_cast<std::size_t>(count));
    int removedAboveTop = 0;
    auto next = indexes.begin();
    for (int i = 0; i < count; ++i) {
        if (next != indexes.end() && *next == i) {
            ++next;
            if (i < top) ++removedAboveTop;
            continue;
        }
        kept.push_back(List(i));
    }
    Refill(kept);
    // The user goes on looking at the same part of the list.
    SendMessageW(hwnd_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top - removedAboveTop)), 0);
}

void ListBox::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE && Click) Click();
    if (code == LBN_DBLCLK && DblClick) DblClick();
}

// ---- TextBox ----

void TextBox::Realize() {
    CreateChild(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
}

void TextBox::OnCommand(WORD code) {
    if (code == EN_SETFOCUS && GotFocus) GotFocus();
    if (code == EN_KILLFOCUS && LostFocus) LostFocus();
}

// ---- PictureButton ----

PictureButton::PictureButton(Form& owner, ControlDesign design, int iconResource, Control* container,
                             std::string spokenName)
    : Control(owner, std::move(design), container), iconResource_(iconResource),
      spokenName_(std::move(spokenName)) {}

unique_hicon ResourceIcon(int resource, int size) {
    return unique_hicon(static_cast<HICON>(
        LoadImageW(Application::Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0)));
}

void PictureButton::Realize() {
    CreateChild(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_ICON);
    SetWindowTextW(hwnd_, Wide(design_.ToolTip.empty() ? spokenName_ : design_.ToolTip).c_str());
    LoadIcon();
}

void PictureButton::Place() {
    Control::Place();
    LoadIcon();
}

void PictureButton::LoadIcon() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    // The largest of the drawn sizes that fits the button, so that none is scaled.
    const int room = std::min(r.right, r.bottom) - 4;
    int size = 16;
    for (int drawn : {20, 24, 32, 40, 48})
        if (drawn <= room) size = drawn;
    unique_hicon icon = ResourceIcon(iconResource_, size);
    SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
    icon_ = std::move(icon); // the button no longer shows the old one
}

void PictureButton::OnCommand(WORD code) {
    if (code == BN_CLICKED && Click) Click();
}

// ---- Label ----

void Label::Realize() {
    CreateChild(L"STATIC", SS_LEFT | SS_NOPREFIX);
}

void Label::SetBackColor(COLORREF colour) {
    hasBackColor_ = true;
    backColor_ = colour;
    backBrush_.reset(CreateSolidBrush(colour));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

namespace {
bool (*highContrastSource)() = nullptr;
} // namespace

bool HighContrast() {
    if (highContrastSource) return highContrastSource();
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void SetHighContrastSource(bool (*source)()) {
    highContrastSource = source;
}

bool Label::OnCtlColor(HDC dc, LRESULT& brush) {
    if (!hasBackColor_) return false;
    // The text is in the system's window-text colour: under a high-contrast theme (white on black,
    // say) it goes on the system's window colour, never on a fixed one.
    const bool system = HighContrast();
    SetBkColor(dc, system ? GetSysColor(COLOR_WINDOW) : backColor_);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    brush = reinterpret_cast<LRESULT>(system ? GetSysColorBrush(COLOR_WINDOW) : backBrush_.get());
    return true;
}

// ---- Image ----

Image::Image(Form& owner, ControlDesign design, int iconResource, Control* container)
    : Control(owner, std::move(design), container), iconResource_(iconResource) {}

void Image::Realize() {
    CreateChild(L"STATIC", SS_ICON | SS_REALSIZEIMAGE);
    Place();
}

void Image::Place() {
    Control::Place();
    const int size = owner_.ToPixels(480); // 32 pixels at 96 DPI, 48 at 144
    unique_hicon icon = ResourceIcon(iconResource_, size);
    SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);
    SetWindowPos(hwnd_, nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- PictureBox ----

PictureBox::PictureBox(Form& owner, ControlDesign design, int bitmapResource, Control* container)
    : Control(owner, std::move(design), container), bitmapResource_(bitmapResource) {}

namespace {

// A copy of `source` scaled down to fit width x height with its proportions kept; null when it fits.
unique_hbitmap ScaledToFit(HBITMAP source, int width, int height) {
    BITMAP bm{};
    if (!GetObjectW(source, sizeof(bm), &bm) || (bm.bmWidth <= width && bm.bmHeight <= height)) return {};
    const double scale =
        std::min(static_cast<double>(width) / bm.bmWidth, static_cast<double>(height) / bm.bmHeight);
    const int w = std::max(1, static_cast<int>(bm.bmWidth * scale + 0.5));
    const int h = std::max(1, static_cast<int>(bm.bmHeight * scale + 0.5));
    return StretchedBitmap(source, w, h);
}

} // namespace

static_assert(IDB_BRD_BANNER_2X == IDB_BRD_BANNER + 1 && IDB_BRD_PLACEHOLDER_2X == IDB_BRD_PLACEHOLDER + 1 &&
              IDB_BRD_NAME_2X == IDB_BRD_NAME + 1);

void PictureBox::LoadResourcePicture() {
    // A drawing at twice the size exists for high DPI (resource id + 1).
    const bool large = owner_.Dpi() >= 144;
    HANDLE image = LoadImageW(Application::Instance(), MAKEINTRESOURCEW(bitmapResource_ + (large ? 1 : 0)),
                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!image && large)
        image = LoadImageW(Application::Instance(), MAKEINTRESOURCEW(bitmapResource_), IMAGE_BITMAP, 0, 0,
                           LR_CREATEDIBSECTION);
    unique_hbitmap loaded(static_cast<HBITMAP>(image));
    const SIZE room = Room();
    if (unique_hbitmap scaled = ScaledToFit(loaded.get(), room.cx, room.cy)) loaded = std::move(scaled);
    bitmap_ = std::move(loaded);
    showingResource_ = true;
}

void PictureBox::Display() {
    SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    // Keep the box its designed size whatever the picture's size.
    const SIZE room = Room();
    SetWindowPos(hwnd_, nullptr, 0, 0, room.cx, room.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void PictureBox::Realize() {
    CreateChild(L"STATIC", SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY);
    if (bitmapResource_ && !bitmap_) LoadResourcePicture();
    Display();
}

void PictureBox::Place() {
    Control::Place();
    if (showingResource_) LoadResourcePicture();
    Display();
}

SIZE PictureBox::Room() const noexcept {
    return SIZE{owner_.ToPixels(design_.Width), owner_.ToPixels(design_.Height)};
}

void PictureBox::SetPicture(unique_hbitmap bitmap) {
    if (!hwnd_) owner_.Load();
    // Shown first, so that the old picture is no longer in use when it goes.
    unique_hbitmap old = std::move(bitmap_);
    bitmap_ = std::move(bitmap);
    showingResource_ = false;
    if (hwnd_) Display();
}

// ---- Frame ----

void Frame::Realize() {
    CreateChild(L"BUTTON", BS_GROUPBOX);
}

// ---- Timer ----

Timer::Timer(Form& owner, UINT intervalMs, bool enabled)
    : owner_(owner), interval_(intervalMs), enabled_(enabled), id_(0) {
    static UINT_PTR next = 1;
    id_ = next++;
    owner_.AddTimer(this);
}

Timer::~Timer() {
    if (owner_.hWnd()) KillTimer(owner_.hWnd(), id_);
    owner_.RemoveTimer(this);
}

void Timer::Apply() {
    // The form starts its timers once its load is over.
    if (!owner_.hWnd() || owner_.loading_) return;
    if (enabled_ && interval_ > 0) {
        SetTimer(owner_.hWnd(), id_, interval_, nullptr);
    } else {
        KillTimer(owner_.hWnd(), id_);
    }
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::SetInterval(UINT ms) {
    interval_ = ms;
    Apply();
}

void Timer::Fire() {
    if (!enabled_) return;
    // A tick that comes while a handler waits must not run the handler inside it.
    if (ModalScope::Active()) {
        if (TickWhileWaiting) TickWhileWaiting();
        return;
    }
    if (Tick) Tick();
}

} // namespace brd
