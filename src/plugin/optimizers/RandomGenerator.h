// The pseudo-random generator of the iterative optimiser: the classic 32-bit linear
// congruential generator (seed * 134775813 + 1), so that a fixed seed repeats a run draw for
// draw.
#pragma once

#include <cstdint>

namespace tessaro {

class TRandomGenerator {
  public:
    void Seed(std::uint32_t seed) { seed_ = seed; }
    std::uint32_t CurrentSeed() const { return seed_; }

    // A uniform integer in 0 .. range-1 (0 when range is not positive).
    std::int32_t Below(std::int32_t range) {
        seed_ = seed_ * 134775813u + 1u;
        if (range <= 0) return 0;
        return static_cast<std::int32_t>(
            (static_cast<std::uint64_t>(seed_) * static_cast<std::uint32_t>(range)) >> 32);
    }

  private:
    std::uint32_t seed_ = 0;
};

}  // namespace tessaro
