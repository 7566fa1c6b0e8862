#pragma once

#include <functional>

namespace fenra::animate {

// Calls work(i) once for every i from 0 to count - 1, on up to `threads`
// threads (the caller's among them), each taking the next index when it is
// free; returns when all are done. A work that throws must not.
void onThreads(int count, int threads, const std::function<void(int index)>& work);

}   // namespace fenra::animate
