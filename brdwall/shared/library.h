// The program's binding to brdsave.dll: a fresh Class1 object for each call.
#pragma once

#include <string>

#include "brdsave.h" // generated: _Class1, CLSID_Class1, IID__Class1
#include "brdwall/shared/handles.h"

#include <oleauto.h>

namespace brd {

// A string for the interface, from text in the ANSI code page; freed at the end of its scope.
class Bstr {
public:
    explicit Bstr(const std::string& text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    [[nodiscard]] BSTR get() const noexcept { return b_; }

private:
    BSTR b_ = nullptr;
};

// Creates a Class1 object right before one library call. When the library
// cannot be loaded, the object cannot be made, or the library is another copy
// (another major version of its type library), the user is told once per run
// (through the warning window) and null comes back: the caller then skips the
// call and the program keeps running.
com_ptr<_Class1> NewClass1();

// Reports a failed status of a library operation through the warning window,
// with the sentence of the calling step. Returns true when the status is success.
bool LibraryCallSucceeded(HRESULT status, const std::string& sentence);

// The major version of the library's type library that this program calls.
inline constexpr unsigned kLibraryMajorVersion = 14;

// The text shown when the library cannot be used.
inline constexpr char kLibraryMissingSentence[] =
    "The library brdsave.dll could not be loaded; settings and schedules are not available, ";

} // namespace brd
