#include "brdwall/runtime/core/random.h"

#include <bit>
#include <chrono>
#include <random>

namespace brd {

namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
    x += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = x;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t VaryingStart() {
    std::uint64_t start =
        static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        start ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (...) {
        // No random device here: the time alone has to do.
    }
    return start;
}

} // namespace

StirringRandom::StirringRandom() : StirringRandom(VaryingStart()) {}

StirringRandom::StirringRandom(std::uint64_t start) {
    // splitmix64 output is a bijection of its counter, so four consecutive outputs are never all zero.
    for (auto& word : state_) {
        word = SplitMix64(start);
    }
}

std::uint64_t StirringRandom::NextBits() {
    const std::uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = std::rotl(state_[3], 45);
    return result;
}

void StirringRandom::Reseed(double value) {
    // The value is mixed with a fresh draw, so the new state depends on the old one as well: the
    // same value never leads back to the same point.
    std::uint64_t mix = std::bit_cast<std::uint64_t>(value) ^ NextBits();
    for (auto& word : state_) {
        word += SplitMix64(mix);
    }
    if (state_[0] == 0 && state_[1] == 0 && state_[2] == 0 && state_[3] == 0) state_[0] = 1;
}

double StirringRandom::Next() {
    return static_cast<double>(NextBits() >> 11) * 0x1.0p-53;
}

} // namespace brd
