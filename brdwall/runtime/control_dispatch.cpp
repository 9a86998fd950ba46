#include "brdwall/runtime/control_dispatch.h"

#include <oleauto.h>

#include <atomic>
#include <string>

#include "shared/win/com_object.h"
#include "shared/win/text.h"

namespace brd {

namespace {

enum Member : DISPID { kValue = 1, kEnabled = 2, kListIndex = 3, kListCount = 4, kAddItem = 5 };

struct NameId {
    const wchar_t* name;
    DISPID id;
};
constexpr NameId kNames[] = {
    {L"Value", kValue},         {L"Enabled", kEnabled}, {L"ListIndex", kListIndex},
    {L"ListCount", kListCount}, {L"AddItem", kAddItem},
};

HRESULT Raise(EXCEPINFO* info, WORD code, const wchar_t* description) {
    if (info) {
        *info = EXCEPINFO{};
        info->wCode = code;
        info->bstrSource = SysAllocString(L"brdwall");
        info->bstrDescription = SysAllocString(description);
    }
    return DISP_E_EXCEPTION;
}

std::string ArgText(const VARIANT& v, HRESULT& hr) {
    unique_variant s;
    hr = VariantChangeType(s.get(), const_cast<VARIANT*>(&v), 0, VT_BSTR);
    if (FAILED(hr) || !s->bstrVal) return {};
    return Utf8(std::wstring_view(s->bstrVal, SysStringLen(s->bstrVal)));
}

class ControlDispatch final : public ComObject<ControlDispatch, IDispatch> {
  public:
    ControlDispatch(CheckBox* check, ComboBox* combo, ListBox* list) noexcept
        : check_(check), combo_(combo), list_(list) {}

    void* Interface(REFIID riid) {
        return riid == IID_IUnknown || riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (i > 0) {
                hr = DISP_E_UNKNOWNNAME; // no named arguments
                continue;
            }
            for (const NameId& n : kNames)
                if (names[i] && lstrcmpiW(names[i], n.name) == 0) ids[i] = n.id;
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* argErr) override {
        if (!params) return E_POINTER;
        const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        const bool call = (flags & DISPATCH_METHOD) != 0;
        // Arguments arrive in reverse order; a property put carries its value as the named argument.
        auto arg = [&](VARIANT& out) -> HRESULT {
            if (params->cArgs < 1) return DISP_E_BADPARAMCOUNT;
            out = params->rgvarg[params->cArgs - 1];
            if (put) out = params->rgvarg[0];
            return S_OK;
        };
        if (result) VariantInit(result);

        switch (id) {
        case kValue:
            if (!check_) return DISP_E_MEMBERNOTFOUND;
            if (put)
                return PutInt(params, info, argErr, [this](int v) -> bool {
                    if (v < 0 || v > 2) return false;
                    check_->SetValue(v);
                    return true;
                });
            if (get) return ReturnInt(result, check_->Value());
            return DISP_E_MEMBERNOTFOUND;
        case kEnabled: {
            Control* c = Target();
            if (put) {
                VARIANT v;
                VariantInit(&v);
                if (HRESULT hr = arg(v); FAILED(hr)) return hr;
                VARIANT b;
                VariantInit(&b);
                if (FAILED(VariantChangeType(&b, &v, 0, VT_BOOL))) {
                    if (argErr) *argErr = 0;
                    return DISP_E_TYPEMISMATCH;
                }
                c->SetEnabled(b.boolVal != VARIANT_FALSE);
                return S_OK;
            }
            if (get && result) {
                result->vt = VT_BOOL;
                result->boolVal = c->Enabled() ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
            return DISP_E_MEMBERNOTFOUND;
        }
        case kListIndex:
            if (!combo_ && !list_) return DISP_E_MEMBERNOTFOUND;
            if (put)
                return PutInt(params, info, argErr, [this](int v) -> bool {
                    const int count = combo_ ? combo_->ListCount() : list_->ListCount();
                    if (v < -1 || v >= count) return false;
                    if (combo_) {
                        combo_->SetListIndex(v);
                    } else {
                        list_->SetListIndex(v);
                    }
                    return true;
                });
            if (get) return ReturnInt(result, combo_ ? combo_->ListIndex() : list_->ListIndex());
            return DISP_E_MEMBERNOTFOUND;
        case kListCount:
            if (!combo_ && !list_) return DISP_E_MEMBERNOTFOUND;
            if (get) return ReturnInt(result, combo_ ? combo_->ListCount() : list_->ListCount());
            return Raise(info, 383, L"'ListCount' property is read-only");
        case kAddItem: {
            if (!combo_ && !list_) return DISP_E_MEMBERNOTFOUND;
            if (!call) return DISP_E_MEMBERNOTFOUND;
            if (params->cArgs < 1 || params->cArgs > 2) return DISP_E_BADPARAMCOUNT;
            HRESULT hr = S_OK;
            const std::string text = ArgText(params->rgvarg[params->cArgs - 1], hr);
            if (FAILED(hr)) {
                if (argErr) *argErr = params->cArgs - 1;
                return DISP_E_TYPEMISMATCH;
            }
            if (combo_) {
                combo_->AddItem(text);
            } else {
                list_->AddItem(text);
            }
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    Control* Target() const noexcept {
        if (check_) return check_;
        if (combo_) return combo_;
        return list_;
    }

    static HRESULT ReturnInt(VARIANT* result, int value) {
        if (result) {
            result->vt = VT_I2;
            result->iVal = static_cast<SHORT>(value);
        }
        return S_OK;
    }

    template <typename Apply>
    static HRESULT PutInt(DISPPARAMS* params, EXCEPINFO* info, UINT* argErr, Apply apply) {
        if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT v;
        VariantInit(&v);
        if (FAILED(VariantChangeType(&v, &params->rgvarg[0], 0, VT_I4))) {
            if (argErr) *argErr = 0;
            return DISP_E_TYPEMISMATCH;
        }
        if (!apply(static_cast<int>(v.lVal))) return Raise(info, 380, L"Invalid property value");
        return S_OK;
    }

    CheckBox* check_;
    ComboBox* combo_;
    ListBox* list_;
};

com_ptr<IDispatch> Make(CheckBox* check, ComboBox* combo, ListBox* list) {
    return com_ptr<IDispatch>::attach(new ControlDispatch(check, combo, list));
}

} // namespace

com_ptr<IDispatch> DispatchFor(CheckBox& control) {
    return Make(&control, nullptr, nullptr);
}
com_ptr<IDispatch> DispatchFor(ComboBox& control) {
    return Make(nullptr, &control, nullptr);
}
com_ptr<IDispatch> DispatchFor(ListBox& control) {
    return Make(nullptr, nullptr, &control);
}

} // namespace brd
