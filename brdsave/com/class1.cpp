#include "brdsave/com/class1.h"

#include <oleauto.h>

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "brdsave/com/dispatch_port.h"
#include "shared/win/com_object.h"
#include "shared/win/handles.h"
#include "shared/win/system.h"
#include "shared/win/text.h"
#include "brdsave/com/environment.h"
#include "brdsave/core/class1_ops.h"

namespace brd {

namespace {

HINSTANCE g_instance = nullptr;

// A script can pass a variable only as a reference to a variant. For an operation's parameters
// declared as a pointer to a 16-bit or 32-bit integer or a boolean, such a reference is replaced
// for the call by a reference to a value of the declared type, converted from the variant, and
// the value comes back into the variant afterwards (as the declared type).
class ScriptArguments {
  public:
    ScriptArguments(ITypeInfo* info, DISPID id, DISPPARAMS* params) : params_(params) {
        if (!info || !params || params->cArgs == 0 || params->cNamedArgs != 0) return;
        TYPEATTR* type = nullptr;
        if (FAILED(info->GetTypeAttr(&type)) || !type) return;
        const UINT functions = type->cFuncs;
        info->ReleaseTypeAttr(type);
        for (UINT f = 0; f < functions; ++f) {
            FUNCDESC* func = nullptr;
            if (FAILED(info->GetFuncDesc(f, &func)) || !func) continue;
            if (func->memid == id) Adapt(*func);
            info->ReleaseFuncDesc(func);
        }
    }
    ScriptArguments(const ScriptArguments&) = delete;
    ScriptArguments& operator=(const ScriptArguments&) = delete;
    ~ScriptArguments() {
        for (Swap& s : swaps_) {
            VARIANT& arg = params_->rgvarg[s.Position];
            VariantClear(s.Variable);
            s.Variable->vt = s.Value.vt;
            s.Variable->llVal = s.Value.llVal; // the value, whichever of the three types
            arg = s.Original;
        }
    }

  private:
    struct Swap {
        UINT Position;      // in rgvarg, which holds the arguments last to first
        VARIANT Original{}; // the reference to the script's variant
        VARIANT* Variable = nullptr;
        VARIANT Value{}; // of the declared type
    };

    void Adapt(const FUNCDESC& func) {
        const UINT count = std::min<UINT>(params_->cArgs, static_cast<UINT>(func.cParams));
        swaps_.reserve(count);
        for (UINT i = 0; i < count; ++i) {
            const TYPEDESC& declared = func.lprgelemdescParam[i].tdesc;
            if (declared.vt != VT_PTR || !declared.lptdesc) continue;
            const VARTYPE pointee = declared.lptdesc->vt;
            if (pointee != VT_I2 && pointee != VT_I4 && pointee != VT_BOOL) continue;
            const UINT position = params_->cArgs - 1 - i;
            VARIANT& arg = params_->rgvarg[position];
            if (arg.vt != (VT_BYREF | VT_VARIANT) || !arg.pvarVal) continue;
            Swap& s = swaps_.emplace_back();
            s.Position = position;
            s.Original = arg;
            s.Variable = arg.pvarVal;
            s.Value = VARIANT{}; // every byte of the value zero
            // An empty variable starts as zero; one that does not convert is refused by the call as before.
            if (s.Variable->vt == VT_EMPTY || FAILED(VariantChangeType(&s.Value, s.Variable, 0, pointee))) {
                if (s.Variable->vt != VT_EMPTY) {
                    swaps_.pop_back();
                    continue;
                }
                s.Value.vt = pointee;
                s.Value.llVal = 0;
            }
            arg.vt = static_cast<VARTYPE>(VT_BYREF | pointee);
            arg.byref = &s.Value.llVal;
        }
    }

    DISPPARAMS* params_;
    std::vector<Swap> swaps_;
};

// Reports a failure to the caller as a failed status with its error information set.
HRESULT ReportFailure(const Failure& f) noexcept {
    const HRESULT hr = f.Number > 0 && f.Number <= 0xFFFF
                           ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, f.Number)
                           : (f.Number < 0 ? static_cast<HRESULT>(f.Number) : E_FAIL);
    com_ptr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        const std::wstring description = Wide(f.Description);
        create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"brdsave.Class1"));
        create->SetGUID(IID__Class1);
        com_ptr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.put_void()))) SetErrorInfo(0, info.get());
    }
    return hr;
}

// Runs an operation that passes its failures back to the caller.
template <typename F> HRESULT Guarded(F&& f) noexcept {
    try {
        f();
        return S_OK;
    } catch (const FailureException& e) {
        return ReportFailure(e.failure());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

class Class1Object final : public ComObject<Class1Object, _Class1, ISupportErrorInfo> {
  public:
    Class1Object() noexcept { ++LiveObjects(); }
    Class1Object(const Class1Object&) = delete;
    Class1Object& operator=(const Class1Object&) = delete;
    ~Class1Object() { --LiveObjects(); }

    HRESULT Init() noexcept {
        com_ptr<ITypeLib> lib;
        const HRESULT hr = EmbeddedTypeLibrary(lib.put());
        return FAILED(hr) ? hr : lib->GetTypeInfoOfGuid(IID__Class1, typeInfo_.put());
    }

    void* Interface(REFIID riid) {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__Class1)
            return static_cast<_Class1*>(this);
        if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
        return nullptr;
    }

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == IID__Class1 ? S_OK : S_FALSE;
    }

    // IDispatch, from the type library.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        typeInfo_->AddRef();
        *out = typeInfo_.get();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override {
        SetErrorInfo(0, nullptr);
        HRESULT hr = E_FAIL;
        {
            const ScriptArguments scriptable(typeInfo_.get(), id, params);
            hr = DispInvoke(static_cast<_Class1*>(this), typeInfo_.get(), id, flags, params, result,
                            excepInfo, argErr);
        }
        // A failure of the operation itself reaches a late-bound caller as an exception with its description.
        if (FAILED(hr) && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && excepInfo) {
            com_ptr<IErrorInfo> info;
            if (GetErrorInfo(0, info.put()) == S_OK && info) {
                *excepInfo = EXCEPINFO{};
                info->GetSource(&excepInfo->bstrSource);
                info->GetDescription(&excepInfo->bstrDescription);
                excepInfo->scode = hr;
                hr = DISP_E_EXCEPTION;
            }
        }
        return hr;
    }

    // _Class1
    STDMETHODIMP cmdCloseRet(short FilePointer, BSTR InitialFileName, VARIANT chkKeepSet, LONG MeTop,
                             LONG MeLeft, VARIANT chkChange, VARIANT_BOOL optOption, VARIANT cbChange,
                             BSTR aApplicationPath, VARIANT chkCountDown) override {
        return Caught([&] {
            DispatchControlPort keep(&chkKeepSet), every(&chkChange), interval(&cbChange),
                countDown(&chkCountDown);
            WindowsLibraryEnvironment env;
            brd::cmdCloseRet(FilePointer, Utf8(BstrText(InitialFileName)), keep, MeTop, MeLeft, every,
                             optOption, interval, Utf8(BstrText(aApplicationPath)), countDown, env);
        });
    }

    STDMETHODIMP F12Load(short FilePointer, BSTR InitialFileName, short iMe, short iA, VARIANT* chkChange,
                         VARIANT* cbChange, VARIANT_BOOL* FromLibOption1, VARIANT* lstSearch, LONG* MeTop,
                         LONG* MeLeft, VARIANT* chkKeepSet, VARIANT* lstShow, VARIANT_BOOL* FromLibOption2,
                         BSTR aApplicationPath, VARIANT* chkCountDown) override {
        if (!FromLibOption1 || !FromLibOption2 || !MeTop || !MeLeft) return E_POINTER;
        return Caught([&] {
            DispatchControlPort every(chkChange), interval(cbChange), search(lstSearch), keep(chkKeepSet),
                show(lstShow), countDown(chkCountDown);
            WindowsLibraryEnvironment env;
            std::int16_t option1 = *FromLibOption1, option2 = *FromLibOption2;
            std::int32_t top = *MeTop, left = *MeLeft;
            brd::F12Load(FilePointer, Utf8(BstrText(InitialFileName)), iMe, iA, every, interval, option1,
                         &search, top, left, keep, show, option2, Utf8(BstrText(aApplicationPath)), countDown,
                         env);
            *FromLibOption1 = option1;
            *FromLibOption2 = option2;
            *MeTop = top;
            *MeLeft = left;
        });
    }

    STDMETHODIMP LoadWallpaperList(VARIANT* lstShow, BSTR aApplicationPath) override {
        return Caught([&] {
            DispatchControlPort show(lstShow);
            WindowsLibraryEnvironment env;
            brd::LoadWallpaperList(show, Utf8(BstrText(aApplicationPath)), env);
        });
    }

    STDMETHODIMP NewShowTimeIs(VARIANT chkChange, VARIANT* cbChange, VARIANT_BOOL* eEvent, VARIANT* iInterval,
                               short* iShowTime) override {
        if (!eEvent || !iInterval || !iShowTime) return E_POINTER;
        return Guarded([&] {
            DispatchControlPort every(&chkChange), interval(cbChange);
            WindowsLibraryEnvironment env;
            VariantInt16 minutes = ToVariantInt16(iInterval);
            std::int16_t event = *eEvent, showTime = *iShowTime;
            brd::NewShowTimeIs(every, interval, event, minutes, showTime, env);
            *eEvent = event;
            *iShowTime = showTime;
            if (!minutes.Empty) StoreInt16(iInterval, minutes.Value);
        });
    }

    STDMETHODIMP GetInterval(VARIANT cbChange, VARIANT* iIntervalValue) override {
        if (!iIntervalValue) return E_POINTER;
        return Guarded([&] {
            DispatchControlPort interval(&cbChange);
            VariantInt16 minutes = ToVariantInt16(iIntervalValue);
            const VariantInt16 before = minutes;
            brd::GetInterval(interval, minutes);
            // An index outside the table leaves the variant as it was.
            if (!minutes.Empty && (before.Empty || minutes.Value != before.Value))
                StoreInt16(iIntervalValue, minutes.Value);
        });
    }

    STDMETHODIMP CountNextNow(short iIntervalIs, short* iShowTime) override {
        if (!iShowTime) return E_POINTER;
        return Guarded([&] {
            WindowsLibraryEnvironment env;
            std::int16_t showTime = *iShowTime;
            brd::CountNextNow(iIntervalIs, showTime, env);
            *iShowTime = showTime;
        });
    }

  private:
    static VariantInt16 ToVariantInt16(const VARIANT* v) {
        VariantInt16 out;
        short value = 0;
        const VARIANT* inner = v;
        while (inner && inner->vt == (VT_VARIANT | VT_BYREF))
            inner = inner->pvarVal;
        if (inner && inner->vt != VT_EMPTY && SUCCEEDED(ReadInt16(v, value))) {
            out.Empty = false;
            out.Value = value;
        }
        return out;
    }

    // Operations that report their own failures: nothing but a crash-proof status comes back.
    template <typename F> static HRESULT Caught(F&& f) noexcept {
        try {
            f();
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

    com_ptr<ITypeInfo> typeInfo_;
};

class Class1FactoryObject final : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is one static object; its references keep the module loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++ServerLocks() + 1); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--ServerLocks() + 1); }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreateClass1(riid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            ++ServerLocks();
        } else {
            --ServerLocks();
        }
        return S_OK;
    }
};

} // namespace

std::atomic<long>& LiveObjects() noexcept {
    static std::atomic<long> count{0};
    return count;
}

std::atomic<long>& ServerLocks() noexcept {
    static std::atomic<long> count{0};
    return count;
}

HINSTANCE LibraryInstance() noexcept {
    return g_instance;
}

void SetLibraryInstance(HINSTANCE instance) noexcept {
    g_instance = instance;
}

HRESULT EmbeddedTypeLibrary(ITypeLib** out) noexcept {
    if (!out) return E_POINTER;
    const std::wstring path = ModuleFilePath(g_instance);
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, out);
}

HRESULT CreateClass1(REFIID riid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    // The new object's own reference is the owner's; the caller's comes from QueryInterface.
    const auto object = com_ptr<Class1Object>::attach(new (std::nothrow) Class1Object());
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->Init();
    if (SUCCEEDED(hr)) hr = object->QueryInterface(riid, out);
    return hr;
}

IClassFactory* Class1Factory() noexcept {
    static Class1FactoryObject factory;
    return &factory;
}

} // namespace brd
