// The warning window: every failure report and missing-file notice of the
// program's windows is shown in one of these, top-most and modeless.
#pragma once

#include <string>

#include "brdwall/runtime/controls.h"
#include "brdwall/runtime/form.h"

namespace brd {

class Form11 final : public Form {
  public:
    Form11();

    // Opens a new warning window showing ErrorMsgStr, beeps and returns at once.
    static Form11& AnswerOk(const std::string& ErrorMsgStr);

    Image imgWarningMessage;
    Label Label1;
    CommandButton cmdOK;

    // Longest window, in twips, that a long message may grow the window to.
    static constexpr int kMaxClientHeight = 7200;

  private:
    [[nodiscard]] FormStyle Style() const override;
    void cmdOK_Click();
    // Lets a message longer than the label's area grow the label and the window downwards.
    void FitText();
};

// A carriage return alone starts a new line on the screen.
std::string DisplayText(const std::string& text);

// Sends the warnings of the program's services to this window (AnswerOk). The program's entry
// point does it before anything else.
void InstallWarningWindow();

} // namespace brd
