#include "brdwall/windows/form7.h"

#include <array>

#include "shared/core/settings_rules.h"
#include "shared/win/system.h"
#include "shared/win/text.h"
#include "brdwall/resources/resource.h"
#include "shared/win/handles.h"
#include "brdwall/services/module1.h"
#include "brdwall/runtime/platform.h"
#include "brdwall/services/fonts.h"

namespace brd {

namespace {

std::wstring Unquoted(std::wstring text) {
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return text;
}

// True when root's Run value holds `data` already, quoted or not (paths compare without regard to case).
bool RunValueHolds(HKEY root, const std::string& data) {
    const std::wstring wanted = Unquoted(Wide(data));
    std::wstring stored(wanted.size() + 3, L'\0');
    DWORD size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
    if (RegGetValueW(root, Wide(kRunKey).c_str(), Wide(kRunValueName).c_str(), RRF_RT_REG_SZ, nullptr,
                     stored.data(), &size) != ERROR_SUCCESS)
        return false;
    stored.resize(lstrlenW(stored.c_str()));
    return lstrcmpiW(Unquoted(stored).c_str(), wanted.c_str()) == 0;
}

} // namespace

std::string RunValueData(const std::string& folder) {
    const std::string path = folder + "\\" + kRunValueName;
    // The shell splits an unquoted command line at a blank: "C:\Program Files\..." would start
    // "C:\Program.exe", or nothing.
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

Form7::Form7()
    : fraLoadBrd(*this, {"fraLoadBrd", "Load Me", "", 120, 120, 5052, 2172}),
      lblLoadBrd(*this, {"lblLoadBrd", "", "", 480, 240, 4212, 732}, &fraLoadBrd),
      cmdRun(*this, {"cmdRun", "Run me when Windows starts", "", 480, 1080, 4212, 372}, &fraLoadBrd),
      cmdNoRun(*this, {"cmdNoRun", "Don't run me when Windows starts", "", 480, 1560, 4212, 372},
               &fraLoadBrd),
      Frame3(*this, {"Frame3", "Font (it will take effect when Brindle starts next time)", "", 120, 2400,
                     5052, 1332}),
      optFont1(*this, {"optFont", "Use Arial font", "", 240, 240, 4500, 300}, &Frame3, 1),
      optFont2(*this, {"optFont", "Enlarge", "", 240, 600, 4500, 300}, &Frame3, 2),
      optFont3(*this, {"optFont", "Normal", "", 240, 960, 4500, 300}, &Frame3, 3),
      cmdClose(*this, {"cmdClose", "Close", "", 4200, 4080, 732, 372}) {
    optFont1.Click = optFont2.Click = optFont3.Click = [this](int index) { optFont_Click(index); };
    cmdRun.Click = [this] { cmdRun_Click(); };
    cmdNoRun.Click = [this] { cmdNoRun_Click(); };
    cmdClose.Click = [this] { cmdClose_Click(); };
}

OptionButton& Form7::optFont(int index) {
    switch (index) {
    case 1:
        return optFont1;
    case 2:
        return optFont2;
    default:
        return optFont3;
    }
}

FormStyle Form7::Style() const {
    FormStyle s;
    s.Caption = "Settings";
    s.ClientWidth = 5268;
    s.ClientHeight = 4872;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

void Form7::Form_Load() {
    // Selecting runs optFont_Click, so a scheme of 0 (no font record read) becomes 3 here.
    const int scheme = G().FontScheme;
    optFont(scheme == 1 || scheme == 2 ? scheme : 3).SetValue(true);
    ApplySettingsFont();
}

bool Form7::Form_QueryUnload(UnloadMode /*mode*/) {
    // Every close stores the scheme; a failure leaves the file as it was, unreported.
    WriteFontRecord(G().AppFolder, G().SettingsBuffer, G().FontScheme);
    return false;
}

// The fonts follow the record as stored, not a choice made since: a new
// choice takes effect at the next start, as the frame's caption says.
void Form7::ApplySettingsFont() {
    ApplyStoredFontScheme(std::array<Control*, 5>{&cmdClose, &Frame3, &optFont1, &optFont2, &optFont3});
}

void Form7::optFont_Click(int Index) {
    G().FontScheme = static_cast<std::int16_t>(Index);
}

void Form7::cmdClose_Click() {
    Unload();
}

bool Form7::SetRunValue(HKEY root, const std::string& valueName, const std::string& data) {
    return WriteRegistryString(root, Wide(kRunKey), Wide(valueName), Wide(data));
}

bool Form7::DeleteRunValue(HKEY root, const std::string& keyName, const std::string& valueName) {
    HKEY raw = nullptr;
    const LSTATUS opened = RegOpenKeyExW(root, Wide(keyName).c_str(), 0, KEY_SET_VALUE, &raw);
    if (opened == ERROR_SUCCESS) {
        const unique_hkey key(raw);
        const LSTATUS deleted = RegDeleteValueW(key.get(), Wide(valueName).c_str());
        return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    // A key we may not change is fine as long as it holds no such value.
    return RegGetValueW(root, Wide(keyName).c_str(), Wide(valueName).c_str(), RRF_RT_ANY, nullptr, nullptr,
                        nullptr) == ERROR_FILE_NOT_FOUND;
}

void Form7::cmdRun_Click() {
    const std::string data = RunValueData(AppPath());
    const char* answer = kRunNotDone;
    if (SetRunValue(MachineRunRoot, kRunValueName, data) || RunValueHolds(MachineRunRoot, data)) {
        // A per-user value as well would start the program twice at logon.
        DeleteRunValue(UserRunRoot, kRunKey, kRunValueName);
        answer = kRunDone;
    } else if (SetRunValue(UserRunRoot, kRunValueName, data)) {
        answer = kRunDoneForThisUser;
    }
    lblLoadBrd.SetCaption(lblLoadBrd.Caption() + answer);
    Beep();
}

void Form7::cmdNoRun_Click() {
    // Both are always tried; "done" only when neither value is left.
    const bool machineGone = DeleteRunValue(MachineRunRoot, kRunKey, kRunValueName);
    const bool userGone = DeleteRunValue(UserRunRoot, kRunKey, kRunValueName);
    lblLoadBrd.SetCaption(lblLoadBrd.Caption() + (machineGone && userGone ? kRunDone : kRunNotDone));
    Beep();
}

} // namespace brd
