#include "render/Runs.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace fenra::render {

void forEachRun(std::size_t count, int threads,
                const std::function<void(int run, std::size_t first, std::size_t end)>& fn)
{
    const std::size_t runs =
        std::clamp<std::size_t>(std::size_t(std::max(1, threads)), 1, std::max<std::size_t>(1, count));
    const auto run = [&](std::size_t r) { fn(int(r), count * r / runs, count * (r + 1) / runs); };
    std::vector<std::jthread> pool;
    for (std::size_t r = 1; r < runs; ++r)
        pool.emplace_back(run, r);
    run(0);
}

void forEachRow(int count, int threads, const std::function<void(int)>& fn)
{
    forEachRun(std::size_t(std::max(0, count)), std::min(threads, std::max(1, count / 4)),
               [&](int, std::size_t first, std::size_t end) {
                   for (std::size_t i = first; i < end; ++i)
                       fn(int(i));
               });
}

}   // namespace fenra::render
