// A control of the caller's, reached only by name through IDispatch.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "brdsave/core/control_port.h"
#include "shared/core/failure.h"

namespace brd {

// The characters of a BSTR (which may hold zeros and may be null), for Utf8().
inline std::wstring_view BstrText(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

// The IDispatch held by a control argument (by value, by reference, or nested), or null.
IDispatch* DispatchOf(const VARIANT* v) noexcept;

// A failure number and description for a failed call, as a caller of this kind reports it.
Failure FailureFromHresult(HRESULT hr, const EXCEPINFO* info);

class DispatchControlPort final : public IControlPort {
  public:
    explicit DispatchControlPort(IDispatch* control) noexcept : control_(control) {}
    explicit DispatchControlPort(const VARIANT* control) noexcept : control_(DispatchOf(control)) {}

    int Value() override;
    void SetValue(int v) override;
    void SetEnabled(bool e) override;
    int ListIndex() override;
    void SetListIndex(int i) override;
    int ListCount() override;
    void AddItem(const std::string& item) override;

  private:
    DISPID Id(const wchar_t* name);
    int GetInt(const wchar_t* name);
    void Put(const wchar_t* name, VARIANT value);
    IDispatch* control_;
};

// Reads a 16-bit value from an in/out variant (an empty variant is 0).
HRESULT ReadInt16(const VARIANT* v, short& out) noexcept;
// Stores a 16-bit value into an in/out variant, through its reference when it holds one.
void StoreInt16(VARIANT* v, short value) noexcept;

} // namespace brd
