// Times the program's picture conversion: a JPEG (or BMP, GIF) file opened with PictureRows and
// written band by band with SavePictureRowsAsBitmap as a 24-bit bitmap file.
//
//   convert_bench <picture> <out.bmp> <repetitions> [--phases | --preview-only]
//
// Prints the picture size, the best and median wall time of the whole conversion
// and the process's peak private bytes and peak working set after those runs.
// The peak private bytes are also sampled during one more conversion, as some
// systems report the current value as the peak. With --phases, then times the
// steps one by one (opening and decoding, allocating the 32-bit picture, the
// 32-bit conversion, the bitmap writing split into repacking and file output)
// and, for comparison, a conversion that decodes straight to 24-bit rows. With --preview-only, only
// compares a preview click (in the process, and through the manager window) with the decoder.
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "brdwall/services/core/bmp_writer.h"
#include "shared/win/handles.h"
#include "brdwall/manager/form12.h"
#include "brdwall/services/module1.h"
#include "brdwall/services/picture.h"
#include "brdwall/windows/form11.h"
#include "shared/win/text.h"

namespace {

using brd::com_ptr;

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Stats {
    double Best = 0;
    double Median = 0;
};

Stats Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    return {ms.front(), n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2};
}

// Keeps the compiler from dropping stores into a buffer nothing reads afterwards.
void Touch(const void* p) {
#if defined(__GNUC__)
    asm volatile("" : : "r"(p) : "memory");
#else
    static const void* volatile sink;
    sink = p;
#endif
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "convert_bench: %s\n", what.c_str());
    std::exit(1);
}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr))
        Fail(std::string(what) + " failed, HRESULT 0x" + [hr] {
            char b[16];
            std::snprintf(b, sizeof b, "%08lX", static_cast<unsigned long>(hr));
            return std::string(b);
        }());
}

std::wstring Wide(const std::string& s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    w.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
    return w;
}

// The first frame of a picture file, opened the way the program opens it.
struct OpenedFrame {
    com_ptr<IWICImagingFactory> Factory;
    com_ptr<IWICBitmapDecoder> Decoder;
    com_ptr<IWICBitmapFrameDecode> Frame;
    UINT Width = 0;
    UINT Height = 0;
};

OpenedFrame OpenFrame(const std::wstring& path) {
    OpenedFrame o;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           o.Factory.put_void()),
          "creating the imaging factory");
    Check(o.Factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand, o.Decoder.put()),
          "opening the picture");
    Check(o.Decoder->GetFrame(0, o.Frame.put()), "GetFrame");
    Check(o.Frame->GetSize(&o.Width, &o.Height), "GetSize");
    return o;
}

// The frame's own pixel format and its bits per pixel.
UINT NativeBitsPerPixel(OpenedFrame& o, std::string& name) {
    WICPixelFormatGUID format{};
    Check(o.Frame->GetPixelFormat(&format), "GetPixelFormat");
    name = format == GUID_WICPixelFormat24bppBGR    ? "24bppBGR"
           : format == GUID_WICPixelFormat8bppGray  ? "8bppGray"
           : format == GUID_WICPixelFormat32bppBGR  ? "32bppBGR"
           : format == GUID_WICPixelFormat32bppCMYK ? "32bppCMYK"
                                                    : "other";
    com_ptr<IWICComponentInfo> info;
    Check(o.Factory->CreateComponentInfo(format, info.put()), "CreateComponentInfo");
    com_ptr<IWICPixelFormatInfo> pixelInfo;
    Check(info->QueryInterface(IID_IWICPixelFormatInfo, pixelInfo.put_void()), "IWICPixelFormatInfo");
    UINT bits = 0;
    Check(pixelInfo->GetBitsPerPixel(&bits), "GetBitsPerPixel");
    return bits;
}

// Runs `step` `runs` times; `prepare`, untimed, runs before each.
Stats Time(int runs, const std::function<void()>& prepare, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        const double t0 = NowMs();
        step();
        ms.push_back(NowMs() - t0);
    }
    return Summarise(std::move(ms));
}

void PrintPhase(const char* name, Stats s) {
    std::printf("  %-50s best %8.1f ms   median %8.1f ms\n", name, s.Best, s.Median);
}

// Writes `height` rows of `stride` bytes, row `y` at rows + y * stride, bottom row first, through
// a 1 MiB stdio buffer as WriteBmp24 does; the file is removed afterwards.
void WriteRowsBottomUp(const std::string& path, const std::uint8_t* rows, std::size_t stride, UINT height,
                       const std::vector<std::uint8_t>& header) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) Fail("cannot write " + path);
    std::vector<char> buffer(std::size_t{1} << 20);
    std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    for (UINT y = height; ok && y-- > 0;)
        ok = std::fwrite(rows + stride * y, 1, stride, f) == stride;
    ok = std::fclose(f) == 0 && ok;
    std::remove(path.c_str());
    if (!ok) Fail("writing " + path + " failed");
}

void RunPhases(const std::string& picturePath, const std::string& outPath, int runs) {
    const std::wstring path = Wide(picturePath);
    const std::string scratch = outPath + ".phase";
    OpenedFrame o = OpenFrame(path);
    std::string nativeName;
    const UINT nativeBits = NativeBitsPerPixel(o, nativeName);
    const UINT w = o.Width, h = o.Height;
    o = OpenedFrame{};
    std::printf("phases (%d runs each; the decoder's own pixel format is %s):\n", runs, nativeName.c_str());

    // Some decoders decode the whole frame in GetFrame, others in CopyPixels; a fresh decoder
    // each time, as a decoder may keep the pixels of an earlier CopyPixels.
    const Stats open = Time(
        runs, [&] { o = OpenedFrame{}; }, [&] { o = OpenFrame(path); });
    PrintPhase("open file, GetFrame", open);
    std::vector<std::uint8_t> native;
    const UINT nativeStride = (w * nativeBits + 31) / 32 * 4;
    const Stats copyNative = Time(
        runs,
        [&] {
            o = OpenFrame(path);
            native.assign(static_cast<std::size_t>(nativeStride) * h, 0);
        },
        [&] {
            Check(o.Frame->CopyPixels(nullptr, nativeStride, static_cast<UINT>(native.size()), native.data()),
                  "CopyPixels (own format)");
        });
    PrintPhase("CopyPixels in the decoder's own format", copyNative);
    native = {};

    brd::DecodedPicture picture;
    picture.Width = w;
    picture.Height = h;
    const std::size_t bgrxSize = static_cast<std::size_t>(w) * h * 4;
    const Stats allocate = Time(
        runs, [&] { picture.Bgrx = {}; }, [&] { picture.Bgrx.resize(bgrxSize); });
    PrintPhase("allocate the 32-bit picture (zero-filled)", allocate);

    const Stats copy32 = Time(
        runs, [&] { o = OpenFrame(path); },
        [&] {
            com_ptr<IWICBitmapSource> bgrx;
            Check(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, o.Frame.get(), bgrx.put()),
                  "WICConvertBitmapSource");
            Check(bgrx->CopyPixels(nullptr, w * 4, static_cast<UINT>(bgrxSize), picture.Bgrx.data()),
                  "CopyPixels (32bppBGR)");
        });
    PrintPhase("CopyPixels through the 32bppBGR converter", copy32);
    std::printf("  %-50s ~%7.1f ms\n", "  of which the conversion (median difference)",
                copy32.Median - copyNative.Median);
    o = OpenedFrame{};

    const Stats save = Time(runs, nullptr, [&] {
        brd::FailureNote note;
        if (!brd::SavePictureAsBitmap(picture, scratch, note))
            Fail("SavePictureAsBitmap: " + note.Last().Description);
    });
    std::remove(scratch.c_str());
    PrintPhase("SavePictureAsBitmap", save);

    const std::size_t stride = static_cast<std::size_t>(brd::BmpRowStride(static_cast<int>(w)));
    const Stats repack = Time(runs, nullptr, [&] {
        std::vector<std::uint8_t> row(stride, 0);
        for (UINT y = h; y-- > 0;) {
            const std::uint8_t* s = picture.Bgrx.data() + static_cast<std::size_t>(w) * 4 * y;
            std::uint8_t* t = row.data();
            for (UINT x = 0; x < w; ++x, s += 4, t += 3) {
                t[0] = s[0];
                t[1] = s[1];
                t[2] = s[2];
            }
            Touch(row.data());
        }
    });
    PrintPhase("  repack 32 -> 24 bits, in memory", repack);

    const std::vector<std::uint8_t> header = brd::BmpHeader(static_cast<int>(w), static_cast<int>(h));
    std::vector<std::uint8_t> rows24(stride * h, 0);
    const Stats fileOut =
        Time(runs, nullptr, [&] { WriteRowsBottomUp(scratch, rows24.data(), stride, h, header); });
    PrintPhase("  file output of the 24-bit rows", fileOut);
    rows24 = {};
    picture = brd::DecodedPicture{};

    // The whole conversion without the 32-bit picture: the frame copied straight into 24-bit
    // rows padded as the bitmap's, which are written bottom-up as they are. Only for frames
    // that are 24-bit already (JPEG); other formats need not convert to 24 bits.
    if (nativeName != "24bppBGR") return;
    const Stats direct = Time(runs, nullptr, [&] {
        OpenedFrame d = OpenFrame(path);
        com_ptr<IWICBitmapSource> bgr;
        Check(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, d.Frame.get(), bgr.put()),
              "WICConvertBitmapSource (24bppBGR)");
        std::vector<std::uint8_t> rows(stride * h, 0);
        Check(
            bgr->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(rows.size()), rows.data()),
            "CopyPixels (24bppBGR)");
        WriteRowsBottomUp(scratch, rows.data(), stride, h, header);
    });
    PrintPhase("whole, straight to 24-bit rows (for comparison)", direct);
}

// The program's conversion, as the manager window does it: decoded band by band straight into
// the bitmap file. Returns the picture's size.
std::pair<UINT, UINT> Convert(const std::string& picturePath, const std::string& outPath) {
    brd::PictureRows picture;
    brd::FailureNote note;
    if (!picture.Open(picturePath, note)) Fail("PictureRows::Open: " + note.Last().Description);
    if (!brd::SavePictureRowsAsBitmap(picture, outPath, note))
        Fail("SavePictureRowsAsBitmap: " + note.Last().Description);
    return {picture.Width(), picture.Height()};
}

PROCESS_MEMORY_COUNTERS_EX MemoryCounters() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                              sizeof pmc))
        Fail("GetProcessMemoryInfo failed");
    return pmc;
}

constexpr double kMiB = 1024.0 * 1024.0;

// The private bytes now; some systems fill in only one of the two counters.
SIZE_T PrivateBytes() {
    const PROCESS_MEMORY_COUNTERS_EX pmc = MemoryCounters();
    return std::max(pmc.PrivateUsage, pmc.PagefileUsage);
}

// Samples the private bytes every millisecond while it lives and keeps the largest value. Some
// systems report the current private bytes as the peak.
class PrivateBytesSampler {
  public:
    PrivateBytesSampler()
        : thread_([this] {
              while (!stop_.load()) {
                  peak_ = std::max(peak_, PrivateBytes());
                  Sleep(1);
              }
          }) {}
    ~PrivateBytesSampler() { Stop(); }
    SIZE_T Stop() {
        if (thread_.joinable()) {
            stop_.store(true);
            thread_.join();
        }
        return peak_;
    }

  private:
    std::atomic<bool> stop_{false};
    SIZE_T peak_ = 0;
    std::thread thread_; // last: started once the members it uses exist
};

// A preview click against the platform's decoder alone, side by side in this process, `runs` times
// each, alternating: the best time of each, and the median rise of the private bytes above what
// they were before. The decoder alone decodes the whole frame into 24-bit rows a band at a time;
// the click reads the file (keeping its bytes, as the window does for "Change") and decodes the
// picture to the size of the manager window's preview at 96 DPI.
void ComparePreview(const std::string& path, int runs) {
    constexpr int kBoxWidth = 105, kBoxHeight = 89; // 1572 x 1332 twips
    const auto measure = [](auto&& op) {
        const SIZE_T before = PrivateBytes();
        PrivateBytesSampler sampler;
        const double t0 = NowMs();
        op();
        const double ms = NowMs() - t0;
        const SIZE_T peak = std::max(sampler.Stop(), PrivateBytes());
        return std::pair<double, double>{ms, peak > before ? static_cast<double>(peak - before) / kMiB : 0.0};
    };
    const auto bare = [&] {
        OpenedFrame o = OpenFrame(Wide(path));
        com_ptr<IWICBitmapSource> bgr;
        Check(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, o.Frame.get(), bgr.put()),
              "WICConvertBitmapSource (24bppBGR)");
        const UINT stride = o.Width * 3;
        const UINT band = std::max(1u, (1u << 20) / stride);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * band);
        for (UINT top = 0; top < o.Height; top += band) {
            const UINT n = std::min(band, o.Height - top);
            const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(o.Width), static_cast<INT>(n)};
            Check(bgr->CopyPixels(&rect, stride, stride * n, rows.data()), "CopyPixels (band)");
            Touch(rows.data());
        }
    };
    const auto click = [&] {
        brd::PictureData data;
        brd::DecodedPicture picture;
        brd::FailureNote note;
        if (!data.Read(path, note) || !brd::DecodePreview(data, kBoxWidth, kBoxHeight, picture, note))
            Fail("DecodePreview: " + note.Last().Description);
        brd::unique_hbitmap shown = brd::MakePreview(picture, kBoxWidth, kBoxHeight);
        if (!shown) Fail("MakePreview gave no bitmap");
    };
    std::vector<double> bareMs, clickMs, bareRise, clickRise;
    for (int i = 0; i < runs; ++i) {
        const auto [bt, bm] = measure(bare);
        const auto [ct, cm] = measure(click);
        bareMs.push_back(bt);
        bareRise.push_back(bm);
        clickMs.push_back(ct);
        clickRise.push_back(cm);
    }
    // The click as a user makes it: the picture's entry in the manager window's search list clicked
    // with the mouse, until the preview shows the picture, painted.
    std::vector<double> windowMs;
    {
        wchar_t full[MAX_PATH * 2] = {};
        GetFullPathNameW(Wide(path).c_str(), MAX_PATH * 2, full, nullptr);
        std::wstring folder = full;
        const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
        folder.resize(folder.size() - name.size());
        brd::G().AppFolder = brd::Utf8(folder);
        brd::Form12& f = brd::Forms().Get<brd::Form12>();
        f.txtPath.SetText(brd::Utf8(folder));
        f.cmdRefresh_Click();
        f.Show();
        brd::Application::DoEvents();
        const HWND list = f.lstSearch.hWnd();
        const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>((name + L"_").c_str()));
        if (index < 0) Fail("the picture is not in the search list");
        for (int i = 0; i < runs; ++i) {
            SendMessageW(list, LB_SETSEL, FALSE, -1);
            SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            RECT r{};
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            const HBITMAP before = f.imgShow.Picture();
            brd::Application::DoEvents();
            const double t0 = NowMs();
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(list, WM_LBUTTONUP, 0, at);
            while (f.imgShow.Picture() == before)
                brd::Application::DoEvents();
            RedrawWindow(f.imgShow.hWnd(), nullptr, nullptr, RDW_UPDATENOW);
            windowMs.push_back(NowMs() - t0);
        }
        f.Unload();
    }
    const Stats bareTime = Summarise(bareMs), clickTime = Summarise(clickMs);
    const Stats windowTime = Summarise(windowMs);
    const double bareMem = Summarise(bareRise).Median, clickMem = Summarise(clickRise).Median;
    std::printf("decoder alone, whole frame to 24-bit rows: best %.1f ms, memory rise %.1f MiB\n",
                bareTime.Best, bareMem);
    std::printf("preview click (%d x %d box): best %.1f ms, memory rise %.1f MiB\n", kBoxWidth, kBoxHeight,
                clickTime.Best, clickMem);
    std::printf("the same click through the manager window, up to the painted preview: best %.1f ms\n",
                windowTime.Best);
    std::printf(
        "preview / decoder: time %.2f (through the window %.2f), memory %.2f (goal: at most 1.1 each)\n",
        clickTime.Best / bareTime.Best, windowTime.Best / bareTime.Best,
        bareMem > 0 ? clickMem / bareMem : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    bool phases = false, previewOnly = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--phases") == 0)
            phases = true;
        else if (std::strcmp(argv[i], "--preview-only") == 0)
            previewOnly = true;
        else
            args.emplace_back(argv[i]);
    }
    const int runs = args.size() == 3 ? std::atoi(args[2].c_str()) : 0;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: convert_bench <picture> <out.bmp> <repetitions> [--phases]\n");
        return 2;
    }
    const std::string& picturePath = args[0];
    const std::string& outPath = args[1];

    brd::com_init_scope com;
    if (FAILED(com.result())) Fail("CoInitializeEx failed");
    brd::InstallWarningWindow();
    if (previewOnly) {
        ComparePreview(picturePath, runs);
        return 0;
    }

    std::vector<double> ms;
    UINT width = 0, height = 0;
    for (int i = 0; i < runs; ++i) {
        const double t0 = NowMs();
        std::tie(width, height) = Convert(picturePath, outPath);
        ms.push_back(NowMs() - t0);
    }
    const Stats whole = Summarise(ms);
    const PROCESS_MEMORY_COUNTERS_EX after = MemoryCounters();
    std::printf("picture: %u x %u (%.1f megapixels)\n", width, height,
                width * static_cast<double>(height) / 1e6);
    std::printf("conversion (%d runs): best %.1f ms, median %.1f ms\n", runs, whole.Best, whole.Median);
    std::printf("after the runs: peak private bytes %.1f MiB, peak working set %.1f MiB\n",
                after.PeakPagefileUsage / kMiB, after.PeakWorkingSetSize / kMiB);
    std::fflush(stdout);

    // One more, untimed, conversion to see the private bytes at their highest.
    SIZE_T sampled = 0;
    {
        PrivateBytesSampler sampler;
        Convert(picturePath, outPath);
        sampled = sampler.Stop();
    }
    std::printf("peak private bytes sampled during one conversion: %.1f MiB\n", sampled / kMiB);
    std::fflush(stdout);

    ComparePreview(picturePath, runs);
    if (phases) RunPhases(picturePath, outPath, runs);
    return 0;
}
