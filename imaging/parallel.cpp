#include "imaging/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace mv::imaging {

namespace {
std::atomic<int> g_threads{0};
std::atomic<bool> g_vector{true};
}

void setVectorCode(bool enabled) { g_vector = enabled; }
bool vectorCode() { return g_vector.load(); }

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
    const int parts = std::clamp(count / minPerPart, 1, threadCount());
    if (parts == 1) {
        body(0, count);
        return;
    }
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(parts - 1));
    auto bound = [&](int k) { return int((long long)count * k / parts); };
    for (int k = 1; k < parts; ++k)
        workers.emplace_back([&body, b = bound(k), e = bound(k + 1)] { body(b, e); });
    body(0, bound(1));
    for (auto &t : workers)
        t.join();
}

} // namespace mv::imaging
