#pragma once

#include <cstdint>

namespace ocuvis {

// The linear congruential generator behind random sub-sampling: 64-bit state, multiplier
// 22695477, increment 1. A fixed seed always selects the same lines of the same file.
class SampleGenerator {
  public:
    static constexpr std::uint64_t kMultiplier = 22695477u;
    static constexpr double kRange = 2147483648.0;  // 2^31 draw values

    void Seed(std::uint32_t seed) {
        // Seeding steps the lower 32 bits alone once; the upper bits stay 0.
        state_ = static_cast<std::uint32_t>(seed * static_cast<std::uint32_t>(kMultiplier) + 1u);
    }

    // A value 0 .. 2^31 - 1: bits 32..62 of the next state.
    std::uint32_t Draw() {
        state_ = state_ * kMultiplier + 1u;
        return static_cast<std::uint32_t>(state_ >> 32) & 0x7FFFFFFFu;
    }

    // One draw: true when it falls in the lowest percent of the draws' range. Scaled, not taken
    // modulo 10^9: 2^31 is no multiple of that, and the remainders would keep about 1.4 times the
    // share asked for.
    bool DrawKeeps(double percent) { return static_cast<double>(Draw()) < kRange * 0.01 * percent; }

    std::uint64_t state() const { return state_; }

  private:
    std::uint64_t state_ = 0;
};

}  // namespace ocuvis
