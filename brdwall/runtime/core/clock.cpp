#include "brdwall/runtime/core/clock.h"

namespace brd {

namespace {

constexpr long long kSecondsPerDay = 24 * 60 * 60;

char Digit(int value) {
    return static_cast<char>('0' + value % 10);
}

} // namespace

std::string TimeText(const LocalTime& time) {
    const int parts[] = {time.Hour, time.Minute, time.Second};
    std::string text;
    for (int part : parts) {
        if (!text.empty()) text += ':';
        const int value = part < 0 ? 0 : part % 100;
        text += Digit(value / 10);
        text += Digit(value);
    }
    return text;
}

void ManualClock::Set(int hour, int minute, int second) {
    now_ = LocalTime{};
    Advance(static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second);
}

void ManualClock::Advance(long long seconds) {
    const long long current = now_.Hour * 3600LL + now_.Minute * 60LL + now_.Second;
    long long total = (current + seconds % kSecondsPerDay) % kSecondsPerDay;
    if (total < 0) total += kSecondsPerDay;
    now_.Hour = static_cast<int>(total / 3600);
    now_.Minute = static_cast<int>(total / 60 % 60);
    now_.Second = static_cast<int>(total % 60);
}

} // namespace brd
