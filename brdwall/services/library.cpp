#include "brdwall/services/library.h"

#include <oleauto.h>

#include "shared/core/failure.h"
#include "shared/win/error_text.h"
#include "shared/win/text.h"
#include "brdwall/services/warnings.h"

namespace brd {

namespace {

// The description of a failed status: the object's error information when it set one.
Failure StatusFailure(HRESULT status) {
    Failure f;
    f.Number = HRESULT_FACILITY(status) == FACILITY_CONTROL ? HRESULT_CODE(status)
                                                            : static_cast<std::int32_t>(status);
    com_ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        BSTR raw = nullptr;
        const unique_bstr text(SUCCEEDED(info->GetDescription(&raw)) ? raw : nullptr);
        if (text) f.Description = Utf8(std::wstring_view(text.get(), SysStringLen(text.get())));
    }
    if (f.Description.empty())
        f.Description = SystemErrorText(static_cast<std::uint32_t>(status), "Unknown error");
    return f;
}

} // namespace

Bstr::Bstr(const std::string& text) {
    const std::wstring wide = Wide(text);
    b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

namespace {

// Whether the object comes with our type library in the major version this program was built
// against: an older copy of the library may lack operations that the program would call.
bool IsOurLibraryVersion(_Class1& object, Failure& refused) {
    com_ptr<ITypeInfo> info;
    com_ptr<ITypeLib> library;
    UINT index = 0;
    TLIBATTR* attributes = nullptr;
    if (FAILED(object.GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) || !info ||
        FAILED(info->GetContainingTypeLib(library.put(), &index)) || !library ||
        FAILED(library->GetLibAttr(&attributes)) || !attributes) {
        refused = KnownFailure(kNoAutomation, "brdsave.dll describes no type library");
        return false;
    }
    const bool ours = attributes->guid == LIBID_brdsave && attributes->wMajorVerNum == kLibraryMajorVersion;
    if (!ours) {
        refused =
            KnownFailure(kNoAutomation, "brdsave.dll is another copy of the library (type library version " +
                                            std::to_string(attributes->wMajorVerNum) + "." +
                                            std::to_string(attributes->wMinorVerNum) + ", " +
                                            std::to_string(kLibraryMajorVersion) + ".0 wanted)");
    }
    library->ReleaseTLibAttr(attributes);
    return ours;
}

} // namespace

LibraryObject NewClass1() {
    // The library stays loaded once it is, so its version is looked at once.
    enum class Verdict { Unknown, Ours, Refused };
    static Verdict verdict = Verdict::Unknown;
    static bool told = false;
    Failure failure;
    if (verdict != Verdict::Refused) {
        com_ptr<_Class1> object;
        const HRESULT hr =
            CoCreateInstance(CLSID_Class1, nullptr, CLSCTX_INPROC_SERVER, IID__Class1, object.put_void());
        if (SUCCEEDED(hr) && object) {
            if (verdict == Verdict::Unknown)
                verdict = IsOurLibraryVersion(*object.get(), failure) ? Verdict::Ours : Verdict::Refused;
            if (verdict == Verdict::Ours) return LibraryObject(std::move(object));
        } else {
            failure = StatusFailure(hr);
        }
    }
    if (!told) {
        told = true;
        ShowWarning(FailureReportText(kLibraryMissingSentence, failure));
    }
    return LibraryObject();
}

bool LibraryCallSucceeded(HRESULT status, const std::string& sentence) {
    if (SUCCEEDED(status)) return true;
    ShowWarning(FailureReportText(sentence, StatusFailure(status)));
    return false;
}

} // namespace brd
