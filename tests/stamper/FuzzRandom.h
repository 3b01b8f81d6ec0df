// A small generator for the fuzz tests whose sequence is the same on every
// platform, so that a failing case can be run again.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stamptest {

class FuzzRandom {
public:
    explicit FuzzRandom(uint64_t seed) : mState(seed) {}
    uint32_t Next() {
        mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(mState >> 33);
    }
    // 0 when bound is 0.
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

private:
    uint64_t mState;
};

}  // namespace stamptest
