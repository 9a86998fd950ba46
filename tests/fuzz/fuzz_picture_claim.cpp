// Fuzz target: the input is a picture file. Checks that the header reader keeps to the file's
// bounds and that what it claims is consistent.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brdwall/services/core/picture_claim.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint64_t asked = 0;
    const auto claim =
        brd::ReadPictureClaim([&](std::uint64_t offset, std::uint8_t* into, std::size_t count) {
            ++asked;
            if (offset >= size) return std::size_t{0};
            const std::size_t n = std::min<std::uint64_t>(count, size - offset);
            std::memcpy(into, data + offset, n);
            return n;
        });
    // Each read but the last brings new bytes of the file.
    FUZZ_CHECK(asked <= size / 2 + 2);
    if (!claim) return 0;
    FUZZ_CHECK(claim->Frames >= 1);
    FUZZ_CHECK(claim->Orientation >= 1 && claim->Orientation <= 8);
    FUZZ_CHECK(claim->Pixels >= std::uint64_t{claim->Width} * claim->Height || claim->Frames == 1);
    if (claim->Frames == 1) FUZZ_CHECK(claim->Pixels == std::uint64_t{claim->Width} * claim->Height);
    return 0;
}
