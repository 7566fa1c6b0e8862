#pragma once

#include <cstddef>
#include <functional>

namespace fenra::render {

// Cuts [0, count) into up to `threads` runs of consecutive indices, as even as
// they can be, and calls fn(run, first, end) for each, every run on a thread
// of its own (run 0 on the caller's); returns when all are done.
void forEachRun(std::size_t count, int threads,
                const std::function<void(int run, std::size_t first, std::size_t end)>& fn);

// fn(0) .. fn(count - 1) on up to `threads` threads, a few consecutive indices
// to a thread at least, or it is not worth one.
void forEachRow(int count, int threads, const std::function<void(int)>& fn);

}   // namespace fenra::render
