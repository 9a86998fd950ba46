// The settings window: starting with Windows, and the font scheme of the windows.
#pragma once

#include <windows.h>

#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"

namespace brd {

// The Run key, its value and the label's answers.
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "brdwall.exe";
inline constexpr char kRunDone[] = "It is done!";
inline constexpr char kRunDoneForThisUser[] = "It is done! (for this user only)";
inline constexpr char kRunNotDone[] = "It could not be done!";

// The Run value's data: the program's folder, "\" and the program's name, in quotes when it holds a
// blank. The "\" is always added, so a root folder ("C:\") gives two of them ("C:\\brdwall.exe"),
// which Windows accepts.
std::string RunValueData(const std::string& folder);

class Form7 final : public Form {
  public:
    Form7();

    Frame fraLoadBrd;
    Label lblLoadBrd;
    CommandButton cmdRun;
    CommandButton cmdNoRun;
    Frame Frame3;
    OptionButton optFont1;
    OptionButton optFont2;
    OptionButton optFont3;
    CommandButton cmdClose;

    // The option array by its index, 1 to 3 (the font scheme it stands for).
    OptionButton& optFont(int index);

    // Where the Run value is written: machine-wide first, and for this user
    // only when the machine-wide key cannot be written (no administrator rights).
    HKEY MachineRunRoot = HKEY_LOCAL_MACHINE;
    HKEY UserRunRoot = HKEY_CURRENT_USER;

    void optFont_Click(int Index);
    void cmdRun_Click();
    void cmdNoRun_Click();
    void cmdClose_Click();

  private:
    [[nodiscard]] FormStyle Style() const override;
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;

    void ApplySettingsFont();
    // True when the value was written under root's Run key.
    static bool SetRunValue(HKEY root, const std::string& valueName, const std::string& data);
    // True when no such value is left under the key afterwards (deleted, or never there).
    static bool DeleteRunValue(HKEY root, const std::string& keyName, const std::string& valueName);
};

} // namespace brd
