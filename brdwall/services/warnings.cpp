#include "brdwall/services/warnings.h"

namespace brd {

namespace {

WarningSink& Sink() {
    static WarningSink sink;
    return sink;
}

} // namespace

void SetWarningSink(WarningSink sink) {
    Sink() = std::move(sink);
}

void ShowWarning(const std::string& text) {
    if (Sink()) Sink()(text);
}

} // namespace brd
