#include "animate/OnThreads.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace fenra::animate {

void onThreads(int count, int threads, const std::function<void(int index)>& work)
{
    std::atomic<int> next{0};
    auto take = [&] {
        for (int i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::jthread> pool;
    for (int t = 1; t < std::min(count, threads); ++t)
        pool.emplace_back(take);
    take();
}

}   // namespace fenra::animate
