#include "brdwall/windows/form2.h"

#include <iterator>
#include <string>

#include "brdwall/resources/resource.h"

namespace brd {

namespace {

constexpr char kLineBreak[] = "\r\n";

// Lines 8, 16, 21 and 22 are written in pieces, joined without a separator.
constexpr const char* kHelpLines[] = {
    "   https://brdwall.example.org/",
    "   or",
    "   https://brdwall.example.org/help/",
    "",
    "",
    "   Visit Brindle's homepage for getting more freewares!",
    "",
    "Important steps if you want automatic change of wallpaper "
    "every time program starts :",
    "",
    "1.) add more than one file name to wallpaper list",
    "2.) choose interval (minutes)",
    "3.) make a check beside ''Every'' ",
    "4.) choose priority or random",
    "5.) use Count down or not",
    "6.) make a check beside ''Save above settings''",
    "7.) finally, don't forget to save wallpaper list's data "
    "to disk, just press save button",
    "",
    "About the path input by user : ",
    "",
    "* input a path and hit ''Refresh'' button or ''Enter''",
    "* any file you can see that has a ''_'' at the tail, it "
    "means the file from path of user's input",
    "* if you add those files with ''_'' to wallpaper list, and you "
    "change the name of path from input later, file name with ''_'' will direct "
    "to a wrong directory",
};

// The help text: 22 lines separated by CR LF, with no line break after the last.
std::string HelpText() {
    std::string text = kHelpLines[0];
    for (std::size_t i = 1; i < std::size(kHelpLines); ++i) {
        text += kLineBreak;
        text += kHelpLines[i];
    }
    return text;
}

} // namespace

Form2::Form2()
    : txtHelp(*this, {"txtHelp", "", "", 60, 120, 6132, 3612}),
      cmdOK(*this, {"cmdOK", "OK", "", 5040, 3960, 852, 372}) {
    // No default button: Enter belongs to the text box.
    cmdOK.Click = [this] { cmdOK_Click(); };
}

FormStyle Form2::Style() const {
    FormStyle s;
    s.Caption = "Help";
    s.ClientWidth = 6252;
    s.ClientHeight = 4452;
    s.CentreOnScreen = true;
    s.IconResource = IDI_BRD_FLOWER;
    return s;
}

void Form2::Form_Load() {
    txtHelp.SetFont("Comic Sans MS", 9);
    txtHelp.SetText(HelpText());
}

void Form2::cmdOK_Click() {
    Unload();
}

} // namespace brd
