#pragma once
// Row splitting over the processor's cores. Every operation of this library
// that splits its rows computes each row exactly as it would alone, so the
// result never depends on the number of threads (tests compare 1 and N).

#include <functional>

namespace mv::imaging {

// Number of threads the operations may use; 0 (the default) means one per
// hardware core. Tests set 1 to get the single-threaded result.
void setThreadCount(int count);
int threadCount(); // the effective count, at least 1

// Hand-written vector code (AVX2, AVX-512, chosen at run time from the
// processor's features) is used when available and enabled; tests switch it
// off, or limit it to the lower instruction set, to compare every path with
// the portable code. Default: enabled up to the highest set.
enum class VectorIsa { None, Avx2, Avx512 };
void setVectorLimit(VectorIsa highest);
VectorIsa vectorLimit();
// Whether code written for `isa` may run, as far as the limit goes; the
// processor's support for it is checked by the code itself.
bool vectorCodeFor(VectorIsa isa);
// setVectorCode(true) allows every set, false none; vectorCode() tells
// whether any is allowed.
void setVectorCode(bool enabled);
bool vectorCode();

// Calls body(begin, end) on contiguous, disjoint parts of [0, count) that
// together cover it, on up to threadCount() threads (the calling thread is
// one of them; parts are handed out in turn, a few per thread), and returns
// when all are done. Parts hold at least minPerPart items, so tiny jobs run
// on the calling thread alone. body must give the same result for any split.
void parallelFor(int count, const std::function<void(int begin, int end)> &body, int minPerPart = 16);

} // namespace mv::imaging
