#pragma once
// Shared fixtures of the imaging tests.

#include "imaging/imaging.h"
#include "tests/imaging/reference.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mv::test {

using namespace mv::imaging;

// Awkward sizes: single pixels, single rows and columns, odd widths, widths
// around vector lengths (64 bytes = 21.3 pixels) and tall enough to split.
inline std::vector<std::pair<int, int>> awkwardSizes()
{
    return {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {5, 3}, {1, 130}, {130, 1}, {21, 4}, {22, 3},
            {43, 5}, {64, 3}, {65, 9}, {17, 11}, {101, 7}, {33, 260}, {257, 131}};
}

// The configurations every fast function must agree in: each instruction
// set of the vector code (where the processor has it) and the portable code.
struct ExecConfig {
    int threads;
    VectorIsa vector;
    std::string name() const
    {
        static const char *const isa[] = {"", "+avx2", "+avx512"};
        return std::to_string(threads) + "t" + isa[int(vector)];
    }
};
inline std::vector<ExecConfig> execConfigs()
{
    return {{1, VectorIsa::None}, {1, VectorIsa::Avx2}, {1, VectorIsa::Avx512},
            {2, VectorIsa::Avx512}, {3, VectorIsa::None}, {8, VectorIsa::Avx2}};
}

// Restores the default thread count and vector limit.
struct ExecGuard {
    ExecGuard(const ExecConfig &c)
    {
        setThreadCount(c.threads);
        setVectorLimit(c.vector);
    }
    ~ExecGuard()
    {
        setThreadCount(0);
        setVectorCode(true);
    }
};

inline std::string describe(int w, int h, const ExecConfig &c)
{
    return std::to_string(w) + "x" + std::to_string(h) + " " + c.name();
}

inline Bitmap solidBitmap(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    Bitmap bm(w, h);
    bm.fill(b, g, r);
    return bm;
}

inline void setRgb(Bitmap &bm, int x, int y, int r, int g, int b)
{
    uint8_t *p = bm.pixel(x, y);
    p[0] = uint8_t(b);
    p[1] = uint8_t(g);
    p[2] = uint8_t(r);
}
inline std::vector<int> rgb(const Bitmap &bm, int x, int y)
{
    const uint8_t *p = bm.pixel(x, y);
    return {p[2], p[1], p[0]};
}

} // namespace mv::test
