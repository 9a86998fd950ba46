// A control of the test's own: a plain IDispatch answering to "Value",
// "Enabled", "ListIndex", "ListCount" and "AddItem", logging what it is told.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace brd::test {

class FakeControl final : public IDispatch {
  public:
    explicit FakeControl(std::string name, std::vector<std::string>* log)
        : name_(std::move(name)), log_(log) {}

    int value = 0;
    bool enabled = true;
    int listIndex = -1;
    int listSize = 8; // items a list index may choose from
    std::vector<std::string> items;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; } // owned by the test
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        static const wchar_t* known[] = {L"Value", L"Enabled", L"ListIndex", L"ListCount", L"AddItem"};
        for (DISPID i = 0; i < 5; ++i) {
            if (lstrcmpiW(names[0], known[i]) == 0) {
                ids[0] = i + 1;
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info,
                        UINT*) override {
        const bool put = flags & DISPATCH_PROPERTYPUT;
        VARIANT v;
        VariantInit(&v);
        if (put || id == 5) VariantChangeType(&v, &p->rgvarg[0], 0, id == 5 ? VT_BSTR : VT_I4);
        auto ret = [&](int n) {
            if (result) {
                result->vt = VT_I4;
                result->lVal = n;
            }
            return S_OK;
        };
        switch (id) {
        case 1:
            if (!put) return ret(value);
            value = v.lVal;
            Log(".Value=" + std::to_string(value));
            return S_OK;
        case 2:
            if (!put) return ret(enabled ? -1 : 0);
            enabled = v.lVal != 0;
            Log(std::string(".Enabled=") + (enabled ? "True" : "False"));
            return S_OK;
        case 3:
            if (!put) return ret(listIndex);
            if (v.lVal < -1 || v.lVal >= listSize) {
                if (info) {
                    *info = EXCEPINFO{};
                    info->wCode = 380;
                    info->bstrDescription = SysAllocString(L"Invalid property value");
                }
                return DISP_E_EXCEPTION;
            }
            listIndex = v.lVal;
            Log(".ListIndex=" + std::to_string(listIndex));
            return S_OK;
        case 4:
            return ret(static_cast<int>(items.size()));
        case 5: {
            std::wstring w(v.bstrVal, SysStringLen(v.bstrVal));
            items.emplace_back(w.begin(), w.end());
            VariantClear(&v);
            Log(".AddItem " + items.back());
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    VARIANT Arg() {
        VARIANT v;
        v.vt = VT_DISPATCH;
        v.pdispVal = this;
        return v;
    }

  private:
    void Log(const std::string& what) {
        if (log_) log_->push_back(name_ + what);
    }
    ULONG refs_ = 1;
    std::string name_;
    std::vector<std::string>* log_;
};

} // namespace brd::test
