// Test-only allocation probe: a replacement of the global operator new that remembers the largest
// request while a probe is active and otherwise just forwards to malloc.
#include "allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define VELLUM_PROBE_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELLUM_PROBE_OFF 1
#endif
#endif

namespace {
std::atomic<bool> active{false};
std::atomic<std::size_t> largest_request{0};
} // namespace

#ifndef VELLUM_PROBE_OFF
void* operator new(std::size_t n) {
    if (active.load(std::memory_order_relaxed)) {
        std::size_t seen = largest_request.load(std::memory_order_relaxed);
        while (n > seen && !largest_request.compare_exchange_weak(seen, n)) {
        }
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace test_levels {

allocation_probe::allocation_probe() {
    largest_request = 0;
    active = true;
}
allocation_probe::~allocation_probe() {
    active = false;
}
std::size_t allocation_probe::largest() const {
    return largest_request.load();
}

bool allocation_probe::available() {
#ifdef VELLUM_PROBE_OFF
    return false;
#else
    return true;
#endif
}

} // namespace test_levels
