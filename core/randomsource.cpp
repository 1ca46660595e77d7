#include "core/randomsource.h"

namespace level {

// x' = (x * 0x43FD43FD + 0xC39EC3) mod 2^24, starting from 0x50000; r = x' / 2^24.
// Every value is a multiple of 2^-24 below 1, so it is exact as a float.
float RandomSource::NextRandom() {
    m_state = (m_state * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<float>(m_state) / 16777216.0f;
}

} // namespace level
