// Controls of forms. A property changed by code raises the same handler as the
// user's change (check box value, combo box list index, an option button newly
// selected); MouseUp runs only for real mouse releases.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "brdwall/runtime/form.h"
#include "shared/win/handles.h"

namespace brd {

// Place and texts of a control, as in a form's control table. Positions in twips,
// relative to the container (the form, or a frame).
struct ControlDesign {
    const char* Name = "";
    std::string Caption;
    std::string ToolTip;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

enum MouseButton : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

class Control {
  public:
    Control(Form& owner, ControlDesign design, Control* container = nullptr);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    [[nodiscard]] HWND hWnd() const noexcept { return hwnd_; }
    [[nodiscard]] const char* Name() const noexcept { return design_.Name; }
    [[nodiscard]] int Id() const noexcept { return id_; }
    [[nodiscard]] Form& Owner() const noexcept { return owner_; }
    [[nodiscard]] const ControlDesign& Design() const noexcept { return design_; }

    [[nodiscard]] bool Enabled() const noexcept;
    void SetEnabled(bool enabled);
    [[nodiscard]] bool Visible() const noexcept;
    void SetVisible(bool visible);
    [[nodiscard]] std::string Caption() const;
    void SetCaption(std::string_view text);
    void SetFocus();
    // Height in twips.
    [[nodiscard]] int Height() const noexcept;
    void SetHeight(int twips);
    // Font of this control; a null face keeps the form's default.
    void SetFont(const char* face, int points);

    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in twips.
    // A check box or option button toggled with the space bar raises it too (left button, at 0, 0),
    // so that keyboard users get what a click gives.
    std::function<void(int button, int shift, int x, int y)> MouseUp;
    // A key pressed while the control has the focus, before the control handles it.
    // keyCode: the virtual key; shift: 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(int keyCode, int shift)> KeyDown;

  protected:
    friend class Form;
    // Creates the window; called by the form while it loads.
    virtual void Realize() = 0;
    virtual void OnCommand(WORD /*code*/) {}
    virtual bool OnCtlColor(HDC /*dc*/, LRESULT& /*brush*/) { return false; }
    // Whether releasing the space bar over the control is the same as a click released over it.
    [[nodiscard]] virtual bool SpaceIsARelease() const noexcept { return false; }

    void CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
    // Puts the window at its designed place and size for the form's DPI.
    virtual void Place();
    // Absolute position in twips inside the form's client area.
    [[nodiscard]] POINT OriginTwips() const noexcept;

    Form& owner_;
    ControlDesign design_;
    Control* container_;
    HWND hwnd_ = nullptr;
    int id_ = 0;
    unique_hfont font_;    // a font of the control's own, when one was set
    std::string fontFace_; // what was asked for, to rebuild it at another DPI
    int fontPoints_ = 0;

  private:
    bool emulatedClick_ = false;
    WNDPROC baseProc_ = nullptr;
    // Routes the window's messages through ControlProc; the form calls it once the window exists.
    void Hook();
    LRESULT CallBase(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

class CommandButton final : public Control {
  public:
    using Control::Control;
    std::function<void()> Click;
    // Presses the button as the user would.
    void PerformClick();

  private:
    void Realize() override;
    void OnCommand(WORD code) override;
};

// Value: 0 clear, 1 checked, 2 grayed.
class CheckBox final : public Control {
  public:
    using Control::Control;
    std::function<void()> Click;
    [[nodiscard]] int Value() const noexcept { return value_; }
    // Raises Click when the value changes.
    void SetValue(int value);

  private:
    void Realize() override;
    void OnCommand(WORD code) override;
    bool SpaceIsARelease() const noexcept override { return true; }
    int value_ = 0;
};

// Option buttons of one container form a group: selecting one clears the others.
class OptionButton final : public Control {
  public:
    OptionButton(Form& owner, ControlDesign design, Control* container = nullptr, int index = 0);
    std::function<void(int index)> Click;
    [[nodiscard]] bool Value() const noexcept { return value_; }
    // Selecting raises Click when the button was not selected already; clearing raises nothing.
    void SetValue(bool selected);
    [[nodiscard]] int Index() const noexcept { return index_; }

  private:
    void Realize() override;
    void OnCommand(WORD code) override;
    bool SpaceIsARelease() const noexcept override { return true; }
    int index_;
    bool value_ = false;
};

// A drop-down list; an editable one shows its caption until an item is chosen,
// and typed text that is not the chosen item leaves no item chosen.
class ComboBox final : public Control {
  public:
    ComboBox(Form& owner, ControlDesign design, Control* container = nullptr, bool editable = false);
    std::function<void()> Click;
    void AddItem(std::string_view item);
    void Clear();
    [[nodiscard]] int ListCount() const noexcept;
    [[nodiscard]] std::string List(int index) const;
    [[nodiscard]] int ListIndex() const noexcept;
    // Raises Click, as a choice of the user's does.
    void SetListIndex(int index);

  private:
    void Realize() override;
    void Place() override;
    void OnCommand(WORD code) override;
    std::vector<std::string> pending_; // items added before the window exists
    int pendingIndex_ = -1;
    bool editable_;
};

// A list box; sorted lists keep their items in case-insensitive order.
class ListBox final : public Control {
  public:
    ListBox(Form& owner, ControlDesign design, Control* container = nullptr, bool sorted = false,
            bool extendedSelect = false);
    std::function<void()> Click;
    std::function<void()> DblClick;
    void AddItem(std::string_view item);
    void RemoveItem(int index);
    void Clear();
    [[nodiscard]] int ListCount() const noexcept;
    [[nodiscard]] std::string List(int index) const;
    [[nodiscard]] int ListIndex() const noexcept;
    // Raises Click, as a choice of the user's does.
    void SetListIndex(int index);
    [[nodiscard]] bool Selected(int index) const noexcept;
    void SetSelected(int index, bool selected);
    [[nodiscard]] int SelCount() const noexcept;
    // Replaces every item at once; a sorted list puts them in its case-insensitive order.
    // Much faster than adding many items one by one.
    void SetItems(std::vector<std::string> items);
    // Adds many items at once, as AddItem does one by one.
    void AddItems(const std::vector<std::string>& items);
    // The positions of the selected items, in ascending order.
    [[nodiscard]] std::vector<int> SelectedIndexes() const;
    // Removes the items at `indexes` (ascending, each at most once); the others keep their order.
    void RemoveItems(const std::vector<int>& indexes);

    // While one lives, the list is not redrawn: items added or removed one by one (by the library,
    // through the list's interface) cost no repaint each. The list is drawn once at the end.
    class Freeze {
      public:
        explicit Freeze(ListBox& list);
        Freeze(const Freeze&) = delete;
        Freeze& operator=(const Freeze&) = delete;
        ~Freeze();

      private:
        ListBox& list_;
    };

  private:
    void Realize() override;
    void OnCommand(WORD code) override;
    // Puts `items` in place of every item, in the order given.
    void Refill(const std::vector<std::string>& items);
    bool sorted_;
    bool extended_;
    int frozen_ = 0;
    std::vector<std::string> pending_;
};

// A one-line text box.
class TextBox final : public Control {
  public:
    using Control::Control;
    [[nodiscard]] std::string Text() const { return Caption(); }
    void SetText(std::string_view text) { SetCaption(text); }
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;

  private:
    void Realize() override;
    void OnCommand(WORD code) override;
};

// A button that shows an icon from the program's resources instead of a caption. What a screen
// reader says for it (its window text, which the icon hides) is its tool tip, or `spokenName` for a
// button without one.
// An icon of the program's resources at `size` pixels: the entry drawn at that size, where there is one.
unique_hicon ResourceIcon(int resource, int size);

class PictureButton final : public Control {
  public:
    PictureButton(Form& owner, ControlDesign design, int iconResource, Control* container = nullptr,
                  std::string spokenName = {});
    std::function<void()> Click;
    [[nodiscard]] HICON Icon() const noexcept { return icon_.get(); }

  private:
    void Realize() override;
    // Placed for the form's DPI, with the icon drawn for the new size.
    void Place() override;
    void LoadIcon();
    void OnCommand(WORD code) override;
    int iconResource_;
    std::string spokenName_;
    unique_hicon icon_;
};

// Whether a high-contrast theme is on: the program then paints with the system's colours only.
bool HighContrast();
// Lets a test stand in for the system's answer (Wine has no high-contrast themes); null for the system.
void SetHighContrastSource(bool (*source)());

class Label final : public Control {
  public:
    using Control::Control;
    // A colour of the label's own, given up for the system's under a high-contrast theme.
    void SetBackColor(COLORREF colour);

  private:
    void Realize() override;
    bool OnCtlColor(HDC dc, LRESULT& brush) override;
    bool hasBackColor_ = false;
    COLORREF backColor_ = 0;
    unique_hbrush backBrush_;
};

// A picture showing an icon from the program's resources at its natural size.
class Image final : public Control {
  public:
    Image(Form& owner, ControlDesign design, int iconResource, Control* container = nullptr);
    [[nodiscard]] HICON Icon() const noexcept { return icon_.get(); }

  private:
    void Realize() override;
    void Place() override;
    int iconResource_;
    unique_hicon icon_;
};

// A picture from a bitmap: one from the program's resources at first, then any set by code.
class PictureBox final : public Control {
  public:
    PictureBox(Form& owner, ControlDesign design, int bitmapResource = 0, Control* container = nullptr);
    // Shows `bitmap` centred in the box; the box owns it from then on.
    void SetPicture(unique_hbitmap bitmap);
    [[nodiscard]] HBITMAP Picture() const noexcept { return bitmap_.get(); }
    // The size in pixels that a picture may take up.
    [[nodiscard]] SIZE Room() const noexcept;

  private:
    void Realize() override;
    void Place() override;
    // Loads the resource drawing that suits the DPI, scaled down to the box when larger.
    void LoadResourcePicture();
    void Display();
    int bitmapResource_;
    bool showingResource_ = false;
    unique_hbitmap bitmap_;
};

class Frame final : public Control {
  public:
    using Control::Control;

  private:
    void Realize() override;
};

// A copy of a bitmap drawn at width x height pixels, smoothed; null when it cannot be made.
unique_hbitmap StretchedBitmap(HBITMAP source, int width, int height);

// Raises Tick every Interval milliseconds while enabled and the owner is loaded.
class Timer {
  public:
    explicit Timer(Form& owner, UINT intervalMs = 0, bool enabled = true);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    std::function<void()> Tick;
    // Raised instead of Tick while a handler waits (see ModalScope); without it such a tick is let go.
    std::function<void()> TickWhileWaiting;
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    [[nodiscard]] UINT Interval() const noexcept { return interval_; }
    void SetInterval(UINT ms);

  private:
    friend class Form;
    void Apply();
    void Fire();
    Form& owner_;
    UINT interval_;
    bool enabled_;
    UINT_PTR id_;
};

} // namespace brd
