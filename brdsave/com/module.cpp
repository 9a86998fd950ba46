// The library's four exports: class object, unload test, registration.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "brdsave/com/class1.h"
#include "brdsave/version.h"
#include "brdsave/win/handles.h"

namespace {

constexpr wchar_t kProgId[] = L"brdsave.Class1";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[64];
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

bool SetValue(HKEY root, const std::wstring& subkey, const wchar_t* name, const std::wstring& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const brd::unique_hkey key(raw);
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(brd::LibraryInstance(), path, static_cast<DWORD>(std::size(path)));
    return std::wstring(path, n);
}

void RemoveKeys() {
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Class1);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, clsid.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, clsid.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        brd::SetLibraryInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Class1) return CLASS_E_CLASSNOTAVAILABLE;
    return brd::Class1Factory()->QueryInterface(riid, out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
    return brd::LiveObjects() == 0 && brd::ServerLocks() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::wstring path = ModulePath();
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Class1);
    const std::wstring libid = GuidText(LIBID_brdsave);
    bool ok =
        SetValue(HKEY_CLASSES_ROOT, clsid, nullptr, kProgId) &&
        SetValue(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", nullptr, path) &&
        SetValue(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
        SetValue(HKEY_CLASSES_ROOT, clsid + L"\\ProgID", nullptr, kProgId) &&
        SetValue(HKEY_CLASSES_ROOT, clsid + L"\\TypeLib", nullptr, libid) &&
        SetValue(HKEY_CLASSES_ROOT, clsid + L"\\VERSION", nullptr, L"" BRDSAVE_TEXT(BRDSAVE_TLB_VERSION)) &&
        SetValue(HKEY_CLASSES_ROOT, kProgId, nullptr, kProgId) &&
        SetValue(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(CLSID_Class1));
    if (!ok) {
        RemoveKeys();
        return SELFREG_E_CLASS;
    }
    // The type library and, through it, the interface.
    brd::com_ptr<ITypeLib> lib;
    HRESULT hr = brd::EmbeddedTypeLibrary(lib.put());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
    if (FAILED(hr)) {
        RemoveKeys();
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    RemoveKeys();
    brd::com_ptr<ITypeLib> lib;
    if (SUCCEEDED(brd::EmbeddedTypeLibrary(lib.put()))) {
        TLIBATTR* attr = nullptr;
        if (SUCCEEDED(lib->GetLibAttr(&attr))) {
            UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
            lib->ReleaseTLibAttr(attr);
        }
    }
    return S_OK;
}
