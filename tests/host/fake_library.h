#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "brdsave/core/control_port.h"

namespace brd::test {

// The property changes of several controls, in the order they happened.
struct EventLog {
    std::vector<std::string> Events;
    void Add(std::string event) { Events.push_back(std::move(event)); }
};

// A check box, combo box or list box that logs every change as "name.Property=value" and raises
// OnClick as the forms runtime does: on a changed Value, on every applied ListIndex.
class FakeControl : public IControlPort {
  public:
    FakeControl(std::string name, EventLog& log) : name_(std::move(name)), log_(log) {}

    int ValueNow = 0;
    bool EnabledNow = true;
    int Index = -1;
    int Choices = 8; // ListIndex accepts -1 to Choices - 1
    std::vector<std::string> Items;
    bool LogItems = true;
    std::string RefusedItem = "\x01"; // an item that AddItem refuses
    std::function<void()> OnClick;
    std::map<std::string, Failure> Failing; // members that fail, by name

    int Value() override {
        Check("Value");
        return ValueNow;
    }
    void SetValue(int v) override {
        Check("Value");
        log_.Add(name_ + ".Value=" + std::to_string(v));
        const bool changed = v != ValueNow;
        ValueNow = v;
        if (changed && OnClick) OnClick();
    }
    void SetEnabled(bool e) override {
        Check("Enabled");
        log_.Add(name_ + ".Enabled=" + (e ? "1" : "0"));
        EnabledNow = e;
    }
    int ListIndex() override {
        Check("ListIndex");
        return Index;
    }
    void SetListIndex(int i) override {
        Check("ListIndex");
        if (i < -1 || i >= Choices) throw FailureException({kInvalidPropertyValue, "Invalid property value"});
        log_.Add(name_ + ".ListIndex=" + std::to_string(i));
        Index = i;
        if (OnClick) OnClick();
    }
    int ListCount() override {
        Check("ListCount");
        return static_cast<int>(Items.size());
    }
    void AddItem(const std::string& item) override {
        Check("AddItem");
        if (item == RefusedItem) throw FailureException({7, "Out of memory"});
        if (LogItems) log_.Add(name_ + ".AddItem " + item);
        Items.push_back(item);
    }

  private:
    void Check(const std::string& member) {
        const auto failing = Failing.find(member);
        if (failing != Failing.end()) throw FailureException(failing->second);
    }

    std::string name_;
    EventLog& log_;
};

// A fixed clock, recorded messages, and files that exist when they are regular files.
class FakeEnvironment : public ILibraryEnvironment {
  public:
    std::string Time = "10:07:20";
    int Hour = 10;
    bool EveryFileExists = false; // claim that every file exists
    std::vector<std::string> Messages;

    bool FileExists(const std::string& path) override {
        return EveryFileExists || std::filesystem::is_regular_file(path);
    }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    std::string TimeOfDayText() override { return Time; }
    int CurrentHour() override { return Hour; }
};

} // namespace brd::test
