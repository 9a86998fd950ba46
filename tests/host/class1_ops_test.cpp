#include "brdsave/core/class1_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "shared/core/record_file.h"
#include "shared/core/settings_rules.h"
#include "tests/host/fake_library.h"
#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using namespace std::string_literals;
using test::EventLog;
using test::FakeControl;
using Events = std::vector<std::string>;

// The manager window's controls as the library sees them, with the window's own click handlers.
struct ManagerWindow {
    test::TempFolder folder;
    std::string app = (folder.Path() / "").string();
    EventLog log;
    FakeControl ckEvery{"ckEvery", log}, cbInterval{"cbInterval", log}, ckSaveSettings{"ckSaveSettings", log};
    FakeControl ckCountDown{"ckCountDown", log}, lstShow{"lstShow", log}, lstSearch{"lstSearch", log};
    test::FakeEnvironment env;
    std::int16_t option1 = 0, option2 = 0;
    std::int32_t top = 77, left = 88;

    ManagerWindow() {
        cbInterval.OnClick = [this] {
            log.Add("cbInterval_Click");
            if (lstShow.Items.size() >= 2) {
                ckEvery.SetEnabled(true);
            } else if (ckEvery.ValueNow == 1) {
                ckEvery.SetValue(0);
            }
        };
        ckCountDown.OnClick = [this] { log.Add("ckCountDown_Click"); };
    }
    void WriteList(const std::vector<std::string>& entries) {
        std::vector<unsigned char> bytes;
        for (const std::string& entry : entries)
            for (char c : "\"" + entry + "\"\r\n")
                bytes.push_back(static_cast<unsigned char>(c));
        test::WriteBytes(app + kListFileName, bytes);
    }
    void WriteWindowRecord(const std::string& data, std::int32_t atTop, std::int32_t atLeft) {
        SettingsRecord record;
        record.Marker.Assign(kWindowSettingsMarker);
        record.Top = atTop;
        record.Left = atLeft;
        record.Data.Assign(data);
        FailureNote note;
        WriteSettingsRecord(app + kSettingsFileName, kWindowSettingsRecord, record, note);
    }
    void Load() {
        F12Load(5, kSettingsFileName, 0, 0, ckEvery, cbInterval, option1, &lstSearch, top, left,
                ckSaveSettings, lstShow, option2, app, ckCountDown, env);
    }
    void Save(std::int16_t random, std::int32_t atTop, std::int32_t atLeft) {
        cmdCloseRet(5, kSettingsFileName, ckSaveSettings, atTop, atLeft, ckEvery, random, cbInterval, app,
                    ckCountDown, env);
    }
};

// The events of a window joined by ", ".
std::string Joined(const Events& events) {
    std::string text;
    for (const std::string& event : events)
        text += (text.empty() ? "" : ", ") + event;
    return text;
}

// What F12Load leaves in its out arguments and the controls.
struct Outcome {
    std::int32_t top, left;
    std::int16_t option2;
    int interval, every, everyEnabled, countDown;
    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Outcome& o) {
        return out << o.top << ',' << o.left << " option2 " << o.option2 << " interval " << o.interval
                   << " every " << o.every << (o.everyEnabled ? " enabled" : " disabled") << " count down "
                   << o.countDown;
    }
};

TEST(F12Load, RestoresOptionsInTheOrderTheWindowSeesThem) {
    enum class Settings { None, OnlyUserFolder, Window };
    const struct Case {
        Settings settings;
        const char* data; // of the window-settings record
        std::size_t entries;
        std::string events;
        Outcome outcome;
        std::string message;
    } cases[] = {
        {Settings::None, "", 2, "", {77, 88, 0, 5, 0, 0, 0}, ""},
        {Settings::OnlyUserFolder, "", 2, "", {0, 0, 0, 5, 0, 0, 0}, ""},
        {Settings::Window,
         "Empty",
         2,
         "ckSaveSettings.Value=0, lstShow.AddItem a.bmp, lstShow.AddItem b.jpg_, cbInterval.Enabled=1",
         {1500, 2500, 0, 5, 0, 0, 0},
         ""},
        {Settings::Window,
         "Empty",
         1,
         "ckSaveSettings.Value=0, lstShow.AddItem a.bmp",
         {1500, 2500, 0, 5, 0, 0, 0},
         ""},
        {Settings::Window,
         "CheckCheckCheckPrior-1",
         2,
         "ckSaveSettings.Value=1, lstShow.AddItem a.bmp, lstShow.AddItem b.jpg_, cbInterval.ListIndex=-1, "
         "cbInterval_Click, ckEvery.Enabled=1, cbInterval.Enabled=1, ckEvery.Enabled=1, ckEvery.Value=1, "
         "ckCountDown.Value=1, ckCountDown_Click",
         {1500, 2500, 0, -1, 1, 1, 1},
         ""},
        {Settings::Window,
         "CheckCheckEmptyRando 2",
         1,
         "ckSaveSettings.Value=1, lstShow.AddItem a.bmp, cbInterval.ListIndex=2, cbInterval_Click, "
         "ckCountDown.Value=0",
         {1500, 2500, kTrue, 2, 0, 0, 0},
         ""},
        {Settings::Window,
         "CheckEmptyEmptyPrior 3",
         3,
         "ckSaveSettings.Value=1, lstShow.AddItem a.bmp, lstShow.AddItem b.jpg_, lstShow.AddItem c.gif, "
         "cbInterval.ListIndex=3, cbInterval_Click, ckEvery.Enabled=1, cbInterval.Enabled=1, "
         "ckCountDown.Value=0",
         {1500, 2500, 0, 3, 0, 1, 0},
         ""},
        {Settings::Window,
         "CheckCheckCheckRando 9",
         2,
         "ckSaveSettings.Value=1, lstShow.AddItem a.bmp, lstShow.AddItem b.jpg_, cbInterval.Enabled=1, "
         "ckEvery.Enabled=1, ckEvery.Value=1, ckCountDown.Value=1, ckCountDown_Click",
         {1500, 2500, kTrue, 5, 1, 1, 1},
         "Error occurred when loading settings back, Error #  380\rInvalid property value"},
    };
    const std::vector<std::string> entries = {"a.bmp", "b.jpg_", "c.gif"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        ManagerWindow w;
        w.WriteList({entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(c.entries)});
        FailureNote note;
        if (c.settings == Settings::OnlyUserFolder) WriteUserFolderRecord(w.app, "D:\\Pictures", note);
        if (c.settings == Settings::Window) w.WriteWindowRecord(c.data, 1500, 2500);
        w.cbInterval.Index = 5; // kept unless restored
        w.Load();

        EXPECT_EQ(Joined(w.log.Events),
                  "ckEvery.Enabled=0, cbInterval.Enabled=0" + (c.events.empty() ? "" : ", " + c.events));
        EXPECT_EQ((Outcome{w.top, w.left, w.option2, w.cbInterval.Index, w.ckEvery.ValueNow,
                           w.ckEvery.EnabledNow, w.ckCountDown.ValueNow}),
                  c.outcome);
        EXPECT_EQ(w.option1, kTrue);
        EXPECT_EQ(Joined(w.env.Messages), c.message);
    }

    ManagerWindow w; // a failure before the file is looked at is reported all the same
    w.ckEvery.Failing["Enabled"] = {438, "Object doesn't support this property"};
    w.Load();
    EXPECT_EQ(w.log.Events, Events{"cbInterval.Enabled=0"});
    EXPECT_EQ(
        w.env.Messages,
        Events{
            "Error occurred when loading settings back, Error #  438\rObject doesn't support this property"});
}

TEST(CmdCloseRet, ReadsTheControlsWritesRecordFiveAndReportsOnce) {
    const struct Case {
        int keep, every, countDown;
        std::int16_t random;
        std::string data;
    } cases[] = {{1, 2, 1, 1, "CheckEmptyCheckPrior 6"}, // grayed is not checked, only -1 is True
                 {2, 1, 1, kTrue, "Empty"},
                 {1, 1, 1, kTrue, "CheckCheckCheckRando 6"}};
    ManagerWindow saved;
    const std::string path = saved.app + kSettingsFileName;
    test::WriteBytes(path, std::vector<unsigned char>(55, 'u'));
    saved.cbInterval.Index = 6;
    for (const Case& c : cases) {
        saved.ckSaveSettings.ValueNow = c.keep;
        saved.ckEvery.ValueNow = c.every;
        saved.ckCountDown.ValueNow = c.countDown;
        saved.Save(c.random, 1200, -300);
        const auto bytes = test::ReadBytes(path);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
                  std::string(55, 'u') + std::string(165, '\0') +
                      "[WallpaperLoc]   \xB0\x04\0\0\xD4\xFE\xFF\xFF"s + c.data +
                      std::string(30 - c.data.size(), ' '));
    }
    EXPECT_TRUE(saved.env.Messages.empty());
    ManagerWindow restored;
    restored.app = saved.app;
    restored.Load();
    EXPECT_EQ(
        (Outcome{restored.top, restored.left, restored.option2, restored.cbInterval.Index,
                 restored.ckEvery.ValueNow, restored.ckEvery.EnabledNow, restored.ckCountDown.ValueNow}),
        (Outcome{1200, -300, kTrue, 6, 0, 0, 1}));
    EXPECT_EQ(restored.ckSaveSettings.ValueNow, 1);

    // A control that cannot be read leaves the stored record alone.
    const auto before = test::ReadBytes(path);
    saved.ckCountDown.Failing["Value"] = {438, "Object doesn't support this property"};
    saved.Save(0, 0, 0);
    EXPECT_EQ(test::ReadBytes(path), before);
    saved.app += "missing/";
    saved.ckCountDown.Failing.clear();
    saved.Save(0, 0, 0);
    EXPECT_EQ(
        saved.env.Messages,
        (Events{
            "Error occurred when saving settings to disk, Error #  438\rObject doesn't support this property",
            "Error occurred when saving settings to disk, Error #  76\rPath not found"}));
}

} // namespace
} // namespace brd
