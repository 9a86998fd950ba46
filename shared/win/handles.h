// Move-only owners for Win32 and COM handles, for both deliverables.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace brd {

// One owner type per handle kind: unique_handle<HKEY, &detail::close_key>. `Invalid` is the kind's
// "no handle" value as a number (0, or -1 for INVALID_HANDLE_VALUE).
template <typename H, auto Close, std::intptr_t Invalid = 0> class unique_handle {
  public:
    unique_handle() noexcept = default;
    explicit unique_handle(H h) noexcept : h_(h) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : h_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { reset(); }

    [[nodiscard]] H get() const noexcept { return h_; }
    [[nodiscard]] explicit operator bool() const noexcept { return h_ != None(); }
    [[nodiscard]] H release() noexcept { return std::exchange(h_, None()); }
    void reset(H h = None()) noexcept {
        H old = std::exchange(h_, h);
        if (old != None()) Close(old);
    }

  private:
    static H None() noexcept { return reinterpret_cast<H>(Invalid); }
    H h_ = None();
};

namespace detail {
inline void close_handle(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline void close_key(HKEY h) noexcept {
    ::RegCloseKey(h);
}
inline void destroy_icon(HICON h) noexcept {
    ::DestroyIcon(h);
}
inline void destroy_menu(HMENU h) noexcept {
    ::DestroyMenu(h);
}
inline void delete_object(HGDIOBJ h) noexcept {
    ::DeleteObject(h);
}
inline void destroy_window(HWND h) noexcept {
    ::DestroyWindow(h);
}
inline void find_close(HANDLE h) noexcept {
    ::FindClose(h);
}
inline void delete_dc(HDC h) noexcept {
    ::DeleteDC(h);
}
inline void free_bstr(BSTR b) noexcept {
    ::SysFreeString(b);
}
} // namespace detail

using unique_kernel_handle = unique_handle<HANDLE, &detail::close_handle>;
using unique_hkey = unique_handle<HKEY, &detail::close_key>;
using unique_hicon = unique_handle<HICON, &detail::destroy_icon>;
using unique_hmenu = unique_handle<HMENU, &detail::destroy_menu>;
using unique_hfont = unique_handle<HFONT, &detail::delete_object>;
using unique_hbrush = unique_handle<HBRUSH, &detail::delete_object>;
using unique_hbitmap = unique_handle<HBITMAP, &detail::delete_object>;
using unique_hwnd = unique_handle<HWND, &detail::destroy_window>;
// A memory device context (CreateCompatibleDC).
using unique_hdc = unique_handle<HDC, &detail::delete_dc>;
using unique_bstr = unique_handle<BSTR, &detail::free_bstr>;
// A FindFirstFile search; its "no handle" value is INVALID_HANDLE_VALUE, not null.
using unique_find = unique_handle<HANDLE, &detail::find_close, -1>;
// An opened file (CreateFile), whose "no handle" value is INVALID_HANDLE_VALUE too.
using unique_file = unique_handle<HANDLE, &detail::close_handle, -1>;

// A VARIANT cleared at the end of its scope.
class unique_variant {
  public:
    unique_variant() noexcept { ::VariantInit(&v_); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;
    ~unique_variant() { ::VariantClear(&v_); }
    [[nodiscard]] VARIANT* get() noexcept { return &v_; }
    VARIANT* operator->() noexcept { return &v_; }

  private:
    VARIANT v_;
};

// A window's device context (GetDC), released at the end of the scope; null for the screen's.
class window_dc {
  public:
    explicit window_dc(HWND window = nullptr) noexcept : window_(window), dc_(::GetDC(window)) {}
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    ~window_dc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    [[nodiscard]] HDC get() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for the scope; the one it replaced goes back at the end.
class selected_object {
  public:
    selected_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;
    ~selected_object() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Owning COM interface pointer.
template <typename T> class com_ptr {
  public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    com_ptr(const com_ptr& o) noexcept : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    com_ptr(com_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    // The same object through an interface it derives from, with a reference of its own.
    template <typename U>
    requires std::is_base_of_v<T, U> com_ptr(const com_ptr<U>& o)
    noexcept : p_(o.get()) {
        if (p_) p_->AddRef();
    }
    com_ptr& operator=(com_ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~com_ptr() { reset(); }

    static com_ptr attach(T* p) noexcept {
        com_ptr c;
        c.p_ = p;
        return c;
    }
    [[nodiscard]] T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    [[nodiscard]] explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // For out-parameters: releases what is held and returns the slot.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  private:
    T* p_ = nullptr;
};

// COM initialised for the lifetime of the scope (apartment threaded).
class com_init_scope {
  public:
    com_init_scope() noexcept : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    com_init_scope(const com_init_scope&) = delete;
    com_init_scope& operator=(const com_init_scope&) = delete;
    ~com_init_scope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    [[nodiscard]] HRESULT result() const noexcept { return hr_; }

  private:
    HRESULT hr_;
};

} // namespace brd
