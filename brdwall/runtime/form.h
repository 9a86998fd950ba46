// Forms: windows that are loaded on first use and whose state ends with unload.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "shared/win/handles.h"

namespace brd {

class Control;
class Timer;

// Close reasons passed to Form_QueryUnload.
enum UnloadMode : int { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

// Window states.
enum WindowStateValue : int { StateNormal = 0, StateMinimized = 1, StateMaximized = 2 };

struct FormStyle {
    std::string Caption;
    int ClientWidth = 0;  // twips
    int ClientHeight = 0; // twips
    DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    DWORD ExStyle = 0;
    bool CentreOnScreen = false;
    int IconResource = 0; // 0: no icon of its own
};

class Form {
  public:
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    [[nodiscard]] HWND hWnd() const noexcept { return hwnd_; }
    [[nodiscard]] bool IsLoaded() const noexcept { return hwnd_ != nullptr; }

    // Creates the window and its controls without showing them, then runs Form_Load.
    void Load();
    // Modeless show; loads first when needed. A minimised window stays minimised.
    void Show();
    void Hide();
    // Asks Form_QueryUnload, then destroys the window. Returns false when the unload was cancelled.
    bool Unload(UnloadMode mode = FormCode);

    [[nodiscard]] bool Visible() const noexcept;
    [[nodiscard]] int WindowState() const noexcept;
    void SetWindowState(int state);

    // Outer window position in twips, screen coordinates, converted at the system DPI whatever
    // monitor the window is on (sizes and layout follow the window's own DPI): a position that is
    // stored and read back puts the window where it was.
    [[nodiscard]] long Top() const noexcept;
    [[nodiscard]] long Left() const noexcept;
    void Move(long leftTwips, long topTwips);
    // A window that lies off every monitor's work area (its monitor is gone) is put whole onto the
    // nearest one. Show does this too.
    void KeepOnScreen();

    [[nodiscard]] UINT Dpi() const noexcept;
    [[nodiscard]] int ToPixels(int twips) const noexcept;
    [[nodiscard]] int ToTwips(int pixels) const noexcept;

    [[nodiscard]] HFONT DefaultFont() const noexcept { return font_.get(); }
    [[nodiscard]] HICON SmallIcon() const noexcept { return smallIcon_.get(); }
    // The button that Enter presses; null for none.
    void SetDefaultButton(Control* button) noexcept;
    // What Escape does in the window (a dialog's Cancel or Close); nothing when none is set.
    void SetCancelAction(std::function<void()> action) { cancel_ = std::move(action); }
    // Puts the window, at its present size, in the middle of its monitor's work area (its top
    // kept on the work area when it is taller).
    void CentreOnWorkArea();

    // The forms registry calls this once the window is gone.
    std::function<void(Form*)> OnUnloaded;

  protected:
    Form() = default;

    [[nodiscard]] virtual FormStyle Style() const = 0;
    virtual void Form_Load() {}
    // Returns true to cancel the unload.
    virtual bool Form_QueryUnload(UnloadMode /*mode*/) { return false; }
    virtual void Form_Unload() {}
    // Messages a form handles itself. Returns true when handled, with the result set.
    virtual bool HandleMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
        return false;
    }

  private:
    friend class Control;
    friend class OptionButton;
    friend class Timer;
    void AddControl(Control* c);
    void AddTimer(Timer* t);
    void RemoveTimer(Timer* t) noexcept;
    [[nodiscard]] Control* FindControl(HWND h) const noexcept;
    void CreateFont();
    void LoadIcons(const FormStyle& style);
    void PlaceWindow(const FormStyle& style);
    // Places and sizes every control, and gives it its font, at the window's present DPI.
    void LayOutControls();
    void OnDpiChanged(UINT dpi, const RECT* suggested);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    unique_hfont font_;
    unique_hicon bigIcon_;
    unique_hicon smallIcon_;
    HWND tooltip_ = nullptr;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    Control* defaultButton_ = nullptr;
    std::function<void()> cancel_;
    bool unloading_ = false;
    bool loading_ = false; // while Form_Load runs: timers wait for its end
    UINT dpi_ = 0;         // the DPI the window was last told of, 0 until then
};

// Marks a handler that waits in a message loop of its own: a message box, the tray menu, or a
// library call (the library may show its message box and wait for it). That loop hands out every
// message of the thread, and some would start another handler inside the waiting one. While a
// scope lives, tray notifications, close requests and the controls' actions (clicks, choices, mouse
// releases, keys) are let go, and timer ticks too unless their timer says what to do meanwhile.
class ModalScope {
  public:
    ModalScope() noexcept { ++depth_; }
    ~ModalScope() {
        if (--depth_ == 0) WaitsEnded();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    [[nodiscard]] static bool Active() noexcept { return depth_ > 0; }
    // Runs each time the outermost wait ends, still inside the handler that waited: what was put off
    // during the wait is best posted from here, to run once that handler is over.
    static void WhenWaitsEnd(std::function<void()> action);

  private:
    static void WaitsEnded();
    static inline thread_local int depth_ = 0;
};

// Owns every loaded form. Default instances are created and loaded on first
// use; an unloaded form's object is destroyed once the handler that unloaded
// it has returned, so that no handler runs on a destroyed object.
class FormRegistry {
  public:
    // The default instance of T, created and loaded when it is not loaded.
    template <typename T> T& Get() {
        auto& slot = defaults_[std::type_index(typeid(T))];
        if (!slot) {
            auto form = std::make_unique<T>();
            T& ref = *form;
            Adopt(*form);
            slot = std::move(form);
            ref.Load();
            return ref;
        }
        return static_cast<T&>(*slot);
    }
    // The default instance of T when it is loaded; never loads it.
    template <typename T> [[nodiscard]] T* Find() const {
        auto it = defaults_.find(std::type_index(typeid(T)));
        return it == defaults_.end() ? nullptr : static_cast<T*>(it->second.get());
    }
    // A new instance of T that no variable keeps; it lives until it is unloaded.
    template <typename T> T& CreateNew() {
        auto form = std::make_unique<T>();
        T& ref = *form;
        Adopt(*form);
        others_.push_back(std::move(form));
        ref.Load();
        return ref;
    }
    [[nodiscard]] std::size_t OtherCount() const noexcept { return others_.size(); }

    // Destroys the objects of forms unloaded since the last call.
    void CollectGarbage() noexcept;

  private:
    void Adopt(Form& form);
    void Release(Form* form);

    std::unordered_map<std::type_index, std::unique_ptr<Form>> defaults_;
    std::vector<std::unique_ptr<Form>> others_;
    std::vector<std::unique_ptr<Form>> graveyard_;
};

FormRegistry& Forms();

// The message loop of the one user-interface thread.
namespace Application {
// Runs until WM_QUIT; returns its exit code.
int Run();
// Handles every message waiting now, then returns.
void DoEvents();
// Keyboard handling of forms: Tab, Enter on the default button, Escape.
bool PreTranslate(MSG& msg);
// The module whose resources the forms use.
HINSTANCE Instance() noexcept;
} // namespace Application

} // namespace brd
