#include "brdwall/shared/library.h"

#include <oleauto.h>

#include "brdsave/core/failure.h"
#include "brdwall/windows/form11.h"

namespace brd {

namespace {

// The description of a failed status: the object's error information when it set one.
Failure StatusFailure(HRESULT status) {
    Failure f;
    f.Number = HRESULT_FACILITY(status) == FACILITY_CONTROL ? HRESULT_CODE(status) : static_cast<std::int32_t>(status);
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR text = nullptr;
        if (SUCCEEDED(info->GetDescription(&text)) && text) {
            const int len = static_cast<int>(SysStringLen(text));
            const int n = WideCharToMultiByte(CP_ACP, 0, text, len, nullptr, 0, nullptr, nullptr);
            f.Description.resize(static_cast<std::size_t>(n));
            WideCharToMultiByte(CP_ACP, 0, text, len, f.Description.data(), n, nullptr, nullptr);
        }
        SysFreeString(text);
        info->Release();
    }
    if (f.Description.empty()) {
        char* text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<char*>(&text), 0, nullptr);
        f.Description = text ? text : "Unknown error";
        if (text) LocalFree(text);
        while (!f.Description.empty() && (f.Description.back() == '\n' || f.Description.back() == '\r'))
            f.Description.pop_back();
    }
    return f;
}

} // namespace

Bstr::Bstr(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (b_) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), b_, n);
}

com_ptr<_Class1> NewClass1() {
    com_ptr<_Class1> object;
    const HRESULT hr =
        CoCreateInstance(CLSID_Class1, nullptr, CLSCTX_INPROC_SERVER, IID__Class1, object.put_void());
    if (SUCCEEDED(hr) && object) return object;
    static bool told = false;
    if (!told) {
        told = true;
        Form11::AnswerOk(FailureReportText(kLibraryMissingSentence, StatusFailure(hr)));
    }
    return nullptr;
}

bool LibraryCallSucceeded(HRESULT status, const std::string& sentence) {
    if (SUCCEEDED(status)) return true;
    Form11::AnswerOk(FailureReportText(sentence, StatusFailure(status)));
    return false;
}

} // namespace brd
