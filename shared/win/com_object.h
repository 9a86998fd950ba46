// The IUnknown of a COM object of ours, written once.
#pragma once

#include <objbase.h>

#include <atomic>

namespace brd {

// Derive `Self` from this with the interfaces it implements: it gets the reference count (one reference
// at creation, deleted at none) and QueryInterface, which asks `Self::Interface(iid)` for the pointer to
// hand out (null for an interface it does not have).
template <typename Self, typename... Interfaces> class ComObject : public Interfaces... {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = static_cast<Self*>(this)->Interface(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const long n = --refs_;
        if (n == 0) delete static_cast<Self*>(this);
        return static_cast<ULONG>(n);
    }

  private:
    std::atomic<long> refs_{1};
};

} // namespace brd
