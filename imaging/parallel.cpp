#include "imaging/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace mv::imaging {

namespace {
std::atomic<int> g_threads{0};
std::atomic<VectorIsa> g_vectorLimit{VectorIsa::Avx512};
}

void setVectorLimit(VectorIsa highest) { g_vectorLimit = highest; }
VectorIsa vectorLimit() { return g_vectorLimit.load(); }
bool vectorCodeFor(VectorIsa isa) { return isa != VectorIsa::None && int(isa) <= int(g_vectorLimit.load()); }

void setVectorCode(bool enabled) { g_vectorLimit = enabled ? VectorIsa::Avx512 : VectorIsa::None; }
bool vectorCode() { return g_vectorLimit.load() != VectorIsa::None; }

void setThreadCount(int count) { g_threads = std::max(0, count); }

int threadCount()
{
    const int n = g_threads.load();
    if (n > 0)
        return n;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void parallelFor(int count, const std::function<void(int, int)> &body, int minPerPart)
{
    if (count <= 0)
        return;
    minPerPart = std::max(1, minPerPart);
    const int threads = threadCount();
    // Several chunks a thread, taken in turn: when another program keeps one
    // core busy, the other thread takes over the rest instead of waiting.
    const int chunks = std::clamp(count / minPerPart, 1, threads * 8);
    const int workers = std::min(threads, chunks);
    if (workers == 1) {
        body(0, count);
        return;
    }
    std::atomic<int> next{0};
    auto bound = [&](int k) { return int((long long)count * k / chunks); };
    auto run = [&] {
        for (int c; (c = next.fetch_add(1)) < chunks;)
            body(bound(c), bound(c + 1));
    };
    std::vector<std::thread> pool;
    pool.reserve(std::size_t(workers - 1));
    for (int k = 1; k < workers; ++k)
        pool.emplace_back(run);
    run();
    for (auto &t : pool)
        t.join();
}

} // namespace mv::imaging
