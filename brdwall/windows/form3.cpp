#include "brdwall/windows/form3.h"

#include <utility>

#include "brdwall/resources/resource.h"
#include "shared/win/handles.h"

namespace brd {

namespace {

// The bitmap resource drawn at `width` x `height` pixels, smoothed.
unique_hbitmap ScaledBitmap(int resource, int width, int height) {
    const unique_hbitmap source(static_cast<HBITMAP>(LoadImageA(
        Application::Instance(), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return StretchedBitmap(source.get(), width, height);
}

constexpr UINT kFitNamePicture = WM_APP + 1;

} // namespace

// imgMyName is laid out at 1200, 240, 2136 x 852 twips: its picture's 178 x 71
// pixels at 120 DPI. The box here is the picture's size at 96 DPI (15 twips a
// pixel), about the same centre, so that the whole picture shows at any DPI.
constexpr int kNameBoxWidth = Form3::kNameWidth * 15;
constexpr int kNameBoxHeight = Form3::kNameHeight * 15;

Form3::Form3()
    : Frame1(*this, {"Frame1", "", "", 120, 0, 4572, 3012}),
      imgMyName(*this,
                {"imgMyName", "", "", 1200 - (kNameBoxWidth - 2136) / 2, 240 - (kNameBoxHeight - 852) / 2,
                 kNameBoxWidth, kNameBoxHeight},
                IDB_BRD_NAME, &Frame1),
      imgFlowerIcon(*this, {"imgFlowerIcon", "", "", 360, 1800, 480, 480}, IDI_BRD_FLOWER, &Frame1),
      Label3(*this, {"Label3", "Fresh wallpaper, by itself.", "", 2040, 2040, 2412, 372}, &Frame1),
      cmdOK(*this, {"cmdOK", "OK", "", 240, 2520, 4000, 252}, &Frame1) {
    cmdOK.Click = [this] { cmdOK_Click(); };
    SetDefaultButton(&cmdOK);
}

FormStyle Form3::Style() const {
    FormStyle s;
    s.Caption = "";
    s.ClientWidth = 4788;
    s.ClientHeight = 3120;
    s.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    s.CentreOnScreen = true;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

// Everything shown is fixed; only the name picture is fitted to the DPI.
void Form3::Form_Load() {
    FitNamePicture();
}

bool Form3::HandleMessage(UINT msg, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& result) {
    if (msg == WM_DPICHANGED) {
        // The window lays its controls out again first; the picture follows once that is done.
        PostMessageA(hWnd(), kFitNamePicture, 0, 0);
        return false;
    }
    if (msg == kFitNamePicture) {
        FitNamePicture();
        result = 0;
        return true;
    }
    return false;
}

// The drawings exist at 1x and 2x; other sizes are scaled from the 2x drawing
// (from the 1x one below 96 DPI).
void Form3::FitNamePicture() {
    const SIZE room = imgMyName.Room();
    BITMAP bm{};
    GetObjectA(imgMyName.Picture(), sizeof(bm), &bm);
    if (bm.bmWidth == room.cx && bm.bmHeight == room.cy) return;
    const int source = room.cx > kNameWidth ? IDB_BRD_NAME_2X : IDB_BRD_NAME;
    if (unique_hbitmap scaled = ScaledBitmap(source, room.cx, room.cy))
        imgMyName.SetPicture(std::move(scaled));
}

void Form3::cmdOK_Click() {
    Unload();
}

} // namespace brd
