// Questions both deliverables ask of the system, and the one registry writer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace brd {

// Text a system call writes into a buffer, the buffer grown until it fits: `get(buffer, size)` returns
// the length written, and when the buffer is too small either the size it needs or the size it was
// given (both conventions exist); 0 on failure, which gives "".
[[nodiscard]] std::wstring GrownText(const std::function<DWORD(wchar_t* buffer, DWORD size)>& get);

// The full path of a module's file; null for the program's own.
[[nodiscard]] std::wstring ModuleFilePath(HMODULE module);

// Writes a string value (REG_SZ, its terminating NUL counted) under `subkey` of `root`, making the
// key when it is missing. True when written.
bool WriteRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                         const std::wstring& value);

} // namespace brd
