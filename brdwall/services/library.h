// The program's binding to brdsave.dll: a fresh Class1 object for each call.
#pragma once

#include <string>

#include "brdsave.h" // generated: _Class1, CLSID_Class1, IID__Class1
#include "brdsave/version.h"
#include "brdwall/runtime/form.h"
#include "shared/win/handles.h"

#include <oleauto.h>

namespace brd {

// A string for the interface, from UTF-8 text; freed at the end of its scope.
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

// A Class1 object for one library call. The library may show its message box and wait for the
// user inside the call; while the object lives no other handler runs (ModalScope), so a tick or a
// tray click cannot change the windows under the call.
class LibraryObject {
  public:
    LibraryObject() = default;
    explicit LibraryObject(com_ptr<_Class1> object) noexcept : object_(std::move(object)) {}
    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(object_); }
    _Class1* operator->() const noexcept { return object_.get(); }
    [[nodiscard]] _Class1* get() const noexcept { return object_.get(); }

  private:
    ModalScope scope_;
    com_ptr<_Class1> object_;
};

// Creates a Class1 object right before one library call. When the library
// cannot be loaded, the object cannot be made, or the library is another copy
// (another major version of its type library), the user is told once per run
// (ShowWarning) and an empty object comes back: the caller then
// skips the call and the program keeps running.
LibraryObject NewClass1();

// Reports a failed status of a library operation as a warning (ShowWarning),
// with the sentence of the calling step. Returns true when the status is success.
bool LibraryCallSucceeded(HRESULT status, const std::string& sentence);

// The major version of the library's type library that this program calls: what comes before the
// point of the library's version.
inline constexpr unsigned kLibraryMajorVersion = [] {
    unsigned major = 0;
    for (const char* c = BRDSAVE_TEXT(BRDSAVE_TLB_VERSION); *c >= '0' && *c <= '9'; ++c)
        major = major * 10 + (*c - '0');
    return major;
}();

// The text shown when the library cannot be used.
inline constexpr char kLibraryMissingSentence[] =
    "The library brdsave.dll could not be loaded; settings and schedules are not available, ";

} // namespace brd
