#include "brdsave/com/dispatch_port.h"

#include <dispex.h>
#include <oleauto.h>

#include "shared/win/error_text.h"
#include "shared/win/handles.h"
#include "shared/win/text.h"

namespace brd {

namespace {

[[noreturn]] void Fail(HRESULT hr, const EXCEPINFO* info = nullptr) {
    throw FailureException(FailureFromHresult(hr, info));
}

// Frees what the callee put into the exception record and throws its failure.
[[noreturn]] void ThrowInvokeFailure(HRESULT hr, EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    const unique_bstr source(info.bstrSource), description(info.bstrDescription), helpFile(info.bstrHelpFile);
    throw FailureException(FailureFromHresult(hr, hr == DISP_E_EXCEPTION ? &info : nullptr));
}

} // namespace

IDispatch* DispatchOf(const VARIANT* v) noexcept {
    for (int depth = 0; v && depth < 4; ++depth) {
        switch (v->vt) {
        case VT_DISPATCH:
            return v->pdispVal;
        case VT_DISPATCH | VT_BYREF:
            return v->ppdispVal ? *v->ppdispVal : nullptr;
        case VT_VARIANT | VT_BYREF:
            v = v->pvarVal;
            break;
        default:
            return nullptr;
        }
    }
    return nullptr;
}

Failure FailureFromHresult(HRESULT hr, const EXCEPINFO* info) {
    if (info && (info->wCode || info->scode)) {
        Failure f;
        f.Number = info->wCode ? info->wCode : static_cast<std::int32_t>(info->scode);
        if (!info->wCode && HRESULT_FACILITY(info->scode) == FACILITY_CONTROL)
            f.Number = HRESULT_CODE(info->scode);
        f.Description = Utf8(BstrText(info->bstrDescription));
        if (f.Description.empty()) f.Description = "Automation error";
        return f;
    }
    switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
        return KnownFailure(kNoSuchPropertyOrMethod);
    case DISP_E_TYPEMISMATCH:
        return KnownFailure(kTypeMismatch);
    case DISP_E_OVERFLOW:
        return KnownFailure(kOverflow);
    case E_POINTER:
        return KnownFailure(kObjectNotSet);
    default:
        break;
    }
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return Failure{HRESULT_CODE(hr), "Automation error"};
    return Failure{static_cast<std::int32_t>(hr),
                   SystemErrorText(static_cast<std::uint32_t>(hr), "Automation error")};
}

DISPID DispatchControlPort::Id(const wchar_t* name) {
    if (!control_) Fail(E_POINTER);
    DISPID id = DISPID_UNKNOWN;
    auto* n = const_cast<LPOLESTR>(name);
    HRESULT hr = control_->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        // Some script engines' objects answer only through IDispatchEx.
        // {A6EF9860-C720-11D0-9337-00A0C90DCAA9}: not every import library has it.
        constexpr IID kIidDispatchEx = {
            0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};
        com_ptr<IDispatchEx> ex;
        if (SUCCEEDED(control_->QueryInterface(kIidDispatchEx, ex.put_void())) && ex) {
            const unique_bstr text(SysAllocString(name));
            if (text && SUCCEEDED(ex->GetDispID(text.get(), fdexNameCaseInsensitive, &id))) return id;
        }
        Fail(hr);
    }
    return id;
}

int DispatchControlPort::GetInt(const wchar_t* name) {
    const DISPID id = Id(name);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    unique_variant result;
    EXCEPINFO info{};
    HRESULT hr = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  result.get(), &info, nullptr);
    if (FAILED(hr)) ThrowInvokeFailure(hr, info);
    hr = VariantChangeType(result.get(), result.get(), 0, VT_I4);
    if (FAILED(hr)) Fail(hr);
    return result->lVal;
}

void DispatchControlPort::Put(const wchar_t* name, VARIANT value) {
    const DISPID id = Id(name);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXCEPINFO info{};
    const HRESULT hr = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                        nullptr, &info, nullptr);
    if (FAILED(hr)) ThrowInvokeFailure(hr, info);
}

int DispatchControlPort::Value() {
    return GetInt(L"Value");
}

void DispatchControlPort::SetValue(int v) {
    VARIANT value;
    value.vt = VT_I2;
    value.iVal = static_cast<SHORT>(v);
    Put(L"Value", value);
}

void DispatchControlPort::SetEnabled(bool e) {
    VARIANT value;
    value.vt = VT_BOOL;
    value.boolVal = e ? VARIANT_TRUE : VARIANT_FALSE;
    Put(L"Enabled", value);
}

int DispatchControlPort::ListIndex() {
    return GetInt(L"ListIndex");
}

void DispatchControlPort::SetListIndex(int i) {
    VARIANT value;
    value.vt = VT_I2;
    value.iVal = static_cast<SHORT>(i);
    Put(L"ListIndex", value);
}

int DispatchControlPort::ListCount() {
    return GetInt(L"ListCount");
}

void DispatchControlPort::AddItem(const std::string& item) {
    const DISPID id = Id(L"AddItem");
    unique_variant arg;
    const std::wstring w = Wide(item);
    arg->vt = VT_BSTR;
    arg->bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
    if (!arg->bstrVal) Fail(E_OUTOFMEMORY);
    DISPPARAMS params{arg.get(), nullptr, 1, 0};
    EXCEPINFO info{};
    const HRESULT hr = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                        &info, nullptr);
    if (FAILED(hr)) ThrowInvokeFailure(hr, info);
}

HRESULT ReadInt16(const VARIANT* v, short& out) noexcept {
    if (!v) return E_POINTER;
    unique_variant copy;
    const HRESULT hr = VariantChangeType(copy.get(), const_cast<VARIANT*>(v), 0, VT_I2);
    if (SUCCEEDED(hr)) out = copy->iVal;
    return hr;
}

void StoreInt16(VARIANT* v, short value) noexcept {
    for (int depth = 0; v && depth < 4; ++depth) {
        if (v->vt == (VT_I2 | VT_BYREF) && v->piVal) {
            *v->piVal = value;
            return;
        }
        if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) {
            v = v->pvarVal;
            continue;
        }
        VariantClear(v);
        v->vt = VT_I2;
        v->iVal = value;
        return;
    }
}

} // namespace brd
