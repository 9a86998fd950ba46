#include "brdwall/services/core/picture_claim.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "brdwall/services/core/orientation.h"
#include "brdwall/services/core/picture_formats.h"

namespace brd {

namespace {

// Sequential reads through a window of the file, with forward skips that cost nothing.
class Cursor {
  public:
    explicit Cursor(const ByteReader& read) : read_(read), window_(kWindow) {}

    void Skip(std::uint64_t count) noexcept { offset_ += count; }
    void Rewind() noexcept { offset_ = 0; }

    // The next `count` bytes (at most kWindow), or nullptr past the end of the file.
    const std::uint8_t* Take(std::size_t count) {
        if (offset_ < start_ || offset_ + count > start_ + filled_) {
            start_ = offset_;
            filled_ = read_(offset_, window_.data(), window_.size());
            if (count > filled_) return nullptr;
        }
        const std::uint8_t* p = window_.data() + (offset_ - start_);
        offset_ += count;
        return p;
    }
    std::optional<std::uint8_t> Byte() {
        const std::uint8_t* p = Take(1);
        return p ? std::optional<std::uint8_t>(*p) : std::nullopt;
    }

  private:
    static constexpr std::size_t kWindow = 64 * 1024;
    const ByteReader& read_;
    std::vector<std::uint8_t> window_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
    std::uint64_t offset_ = 0;
};

std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t Be16(const std::uint8_t* p) {
    return (p[0] << 8) | p[1];
}
std::int64_t Le32s(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

PictureClaim OneFrame(std::uint64_t width, std::uint64_t height) {
    return PictureClaim{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1,
                        width * height};
}

std::optional<PictureClaim> BitmapClaim(Cursor& in) {
    const std::uint8_t* h = in.Take(26);
    if (!h) return std::nullopt;
    const std::uint32_t infoSize = static_cast<std::uint32_t>(Le32s(h + 14));
    if (infoSize == 12) return OneFrame(Le16(h + 18), Le16(h + 20)); // the OS/2 core header
    if (infoSize < 40) return std::nullopt;
    // A negative height is a top-down bitmap; a negative width is damage.
    const std::int64_t width = Le32s(h + 18);
    const std::int64_t height = Le32s(h + 22);
    if (width < 0) return std::nullopt;
    return OneFrame(static_cast<std::uint64_t>(width),
                    static_cast<std::uint64_t>(height < 0 ? -height : height));
}

// The orientation tag (0x0112) of IFD 0 of an Exif segment's TIFF structure, or 1 (as stored)
// when there is none or the structure is damaged. `exif` is the segment after its marker and length.
int ExifOrientation(const std::uint8_t* exif, std::size_t size) {
    constexpr std::size_t kTiff = 6; // after "Exif\0\0"
    if (size < kTiff + 8 || std::memcmp(exif, "Exif\0\0", kTiff) != 0) return kAsStored;
    const std::uint8_t* tiff = exif + kTiff;
    const std::size_t length = size - kTiff;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return kAsStored;
    const auto u16 = [&](std::size_t at) { return little ? Le16(tiff + at) : Be16(tiff + at); };
    const auto u32 = [&](std::size_t at) {
        return little ? Le16(tiff + at) | (Le16(tiff + at + 2) << 16)
                      : (Be16(tiff + at) << 16) | Be16(tiff + at + 2);
    };
    if (u16(2) != 42) return kAsStored;
    const std::size_t ifd = u32(4);
    if (ifd < 8 || ifd > length - 2) return kAsStored;
    const std::size_t entries = u16(ifd);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = ifd + 2 + 12 * i;
        if (at + 12 > length) break;
        // Tag 0x0112, type SHORT (3), one value: held in the entry itself.
        if (u16(at) == 0x0112)
            return u16(at + 2) == 3 && u32(at + 4) == 1 ? OrientationOf(u16(at + 8)) : kAsStored;
    }
    return kAsStored;
}

// Walks the segments up to the first frame header. Scan data comes only after it.
std::optional<PictureClaim> JpegClaim(Cursor& in) {
    in.Skip(2); // start of image
    int orientation = kAsStored;
    bool exifSeen = false;
    for (;;) {
        auto marker = in.Byte();
        if (!marker || *marker != 0xFF) return std::nullopt;
        while (marker && *marker == 0xFF)
            marker = in.Byte(); // fill bytes
        if (!marker) return std::nullopt;
        const std::uint8_t m = *marker;
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) continue; // markers without a segment
        if (m == 0xD9 || m == 0xDA) return std::nullopt;     // end of image or scan data before any frame
        const std::uint8_t* len = in.Take(2);
        if (!len || Be16(len) < 2) return std::nullopt;
        const std::uint32_t length = Be16(len) - 2;
        const bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (m == 0xE1 && !exifSeen) {
            // APP1: the first Exif segment gives the orientation (a segment is at most 64 KB).
            exifSeen = true;
            if (const std::uint8_t* segment = in.Take(length)) {
                orientation = ExifOrientation(segment, length);
            } else {
                in.Skip(length);
            }
            continue;
        }
        if (!frame) {
            in.Skip(length);
            continue;
        }
        const std::uint8_t* f = length >= 5 ? in.Take(5) : nullptr;
        if (!f) return std::nullopt;
        const std::uint32_t height = Be16(f + 1);
        const std::uint32_t width = Be16(f + 3);
        // A height of 0 is given later in the scan data.
        if (height == 0 || width == 0) return std::nullopt;
        PictureClaim claim = OneFrame(width, height);
        claim.Orientation = orientation;
        return claim;
    }
}

// Skips a chain of data sub-blocks; false at the end of the file.
bool SkipSubBlocks(Cursor& in) {
    for (;;) {
        const auto size = in.Byte();
        if (!size) return false;
        if (*size == 0) return true;
        in.Skip(*size);
    }
}

// The first frame's size and the pixels of every frame, as far as the file can be walked; at
// least the logical screen.
std::optional<PictureClaim> GifClaim(Cursor& in) {
    const std::uint8_t* h = in.Take(13);
    // "GIF87a" or "GIF89a".
    if (!h || std::memcmp(h, "GIF8", 4) != 0 || (h[4] != '7' && h[4] != '9') || h[5] != 'a')
        return std::nullopt;
    PictureClaim claim{Le16(h + 6), Le16(h + 8), 0, 0};
    if (h[10] & 0x80) in.Skip(3u << ((h[10] & 7) + 1)); // global colour table
    for (;;) {
        const auto block = in.Byte();
        if (!block || *block == 0x3B) break; // end of the file or trailer
        if (*block == 0x21) {                // extension: label, then sub-blocks
            if (!in.Byte() || !SkipSubBlocks(in)) break;
        } else if (*block == 0x2C) { // image descriptor
            const std::uint8_t* d = in.Take(9);
            if (!d) break;
            const std::uint32_t width = Le16(d + 4), height = Le16(d + 6);
            if (claim.Frames++ == 0) {
                claim.Width = width;
                claim.Height = height;
            }
            claim.Pixels += std::uint64_t{width} * height;
            if (d[8] & 0x80) in.Skip(3u << ((d[8] & 7) + 1)); // local colour table
            if (!in.Byte() || !SkipSubBlocks(in)) break;      // code size, then the image data
        } else {
            break; // damaged: what was read so far stands
        }
    }
    if (claim.Frames == 0) claim = OneFrame(claim.Width, claim.Height);
    return claim;
}

} // namespace

std::optional<PictureClaim> ReadBitmapClaim(const ByteReader& read) {
    Cursor in(read);
    return BitmapClaim(in);
}

std::optional<PictureClaim> ReadGifClaim(const ByteReader& read) {
    Cursor in(read);
    return GifClaim(in);
}

std::optional<PictureClaim> ReadJpegClaim(const ByteReader& read) {
    Cursor in(read);
    return JpegClaim(in);
}

std::optional<PictureClaim> ReadPictureClaim(const ByteReader& read) {
    // The file's start tells its format; the format's reader gets those bytes again from here, so
    // that the file is still read only once.
    constexpr std::size_t kStart = 64 * 1024;
    std::vector<std::uint8_t> start(kStart);
    start.resize(read(0, start.data(), start.size()));
    const PictureFormat* format =
        FormatOfContent(std::string_view(reinterpret_cast<const char*>(start.data()), start.size()));
    if (!format) return std::nullopt;
    const bool whole = start.size() < kStart; // the file ends inside its start
    return format->ReadClaim([&](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
        if (offset < start.size() && (whole || offset + count <= start.size())) {
            const std::size_t n =
                std::min<std::size_t>(count, start.size() - static_cast<std::size_t>(offset));
            std::memcpy(into, start.data() + offset, n);
            return n;
        }
        return whole ? 0 : read(offset, into, count);
    });
}

} // namespace brd
