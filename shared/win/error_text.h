// The system's words for an error, as both deliverables report it.
#pragma once

#include <cstdint>
#include <string>

namespace brd {

// The system's description of an error (a Win32 error code or an HRESULT) without its line end,
// or `fallback` when the system has none.
[[nodiscard]] std::string SystemErrorText(std::uint32_t code, const char* fallback);

} // namespace brd
