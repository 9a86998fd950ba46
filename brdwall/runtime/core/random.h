#pragma once

#include <array>
#include <cstdint>

namespace brd {

// A source of pseudo-random numbers, replaceable in tests.
class IRandom {
  public:
    virtual ~IRandom() = default;
    // Stirs `value` into the generator's state. The sequence continues from a new point; it does
    // not restart, so the same value given twice in a row leads to different draws.
    virtual void Reseed(double value) = 0;
    // A draw uniform in [0, 1).
    virtual double Next() = 0;
};

// xoshiro256** with splitmix64 used to spread seeds over its state.
class StirringRandom final : public IRandom {
  public:
    // Starts from a state that differs from run to run.
    StirringRandom();
    // Starts from a state derived from `start`, for a reproducible sequence.
    explicit StirringRandom(std::uint64_t start);

    void Reseed(double value) override;
    double Next() override; // 53 random bits

  private:
    std::uint64_t NextBits();

    std::array<std::uint64_t, 4> state_{};
};

} // namespace brd
