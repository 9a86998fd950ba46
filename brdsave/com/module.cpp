// The library's four exports: class object, unload test, registration.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "brdsave/com/class1.h"
#include "brdsave/version.h"
#include "shared/win/handles.h"
#include "shared/win/system.h"

namespace {

constexpr wchar_t kProgId[] = L"brdsave.Class1";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[64];
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
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
    const std::wstring path = brd::ModuleFilePath(brd::LibraryInstance());
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Class1);
    const std::wstring libid = GuidText(LIBID_brdsave);
    bool ok = brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid, L"", kProgId) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"", path) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel",
                                       L"Apartment") &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid + L"\\ProgID", L"", kProgId) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid + L"\\TypeLib", L"", libid) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, clsid + L"\\VERSION", L"",
                                       L"" BRDSAVE_TEXT(BRDSAVE_TLB_VERSION)) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, kProgId, L"", kProgId) &&
              brd::WriteRegistryString(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", L"",
                                       GuidText(CLSID_Class1));
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
