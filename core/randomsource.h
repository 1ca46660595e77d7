#pragma once

#include <cstdint>

namespace level {

// The editor's pseudo-random generator. It is never seeded: every run draws the same sequence,
// and the arithmetic is our own (a 24-bit linear congruential generator), so that sequence is
// the same on every platform and compiler.
class RandomSource {
public:
    // The next number r with 0 <= r < 1, uniformly distributed in steps of 2^-24.
    float NextRandom();

private:
    std::uint32_t m_state = 0x50000;
};

} // namespace level
