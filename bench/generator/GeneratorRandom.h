// The generator's own random numbers. Standard-library engines are fixed, but their
// distributions differ between libraries; a design must be the same wherever it is generated.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace generator {

// splitmix64: one 64-bit state, every seed gives a full-quality sequence.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A number in [0, bound), bound > 0, by multiplication rather than a biased modulo.
    std::uint64_t Below(std::uint64_t bound) {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(Next()) * bound) >> 64);
    }

  private:
    std::uint64_t state_;
};

// Fisher-Yates from the back.
template <typename T>
void Shuffle(std::vector<T>& items, SplitMix64& random) {
    for (std::size_t i = items.size(); i > 1; --i) {
        const std::size_t j = static_cast<std::size_t>(random.Below(i));
        std::swap(items[i - 1], items[j]);
    }
}

}  // namespace generator
