// The level layer's small pool of workers: a task started on its own thread, so that independent
// zlib streams of one file are compressed or inflated side by side on the machine's cores.
#pragma once

#include <future>
#include <system_error>

// Runs `task` on a worker thread; when no thread can be started it runs when its result is asked for.
// The returned future waits for the task when destroyed, so nothing outlives what it refers to.
template <class F> auto start_task(F task) {
    try {
        return std::async(std::launch::async, task);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, task);
    }
}
