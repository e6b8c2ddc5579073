// Test-only probe of the largest single allocation made while it is active, to show that absurd counts
// in a file are refused before anything is allocated for them.
#pragma once

#include <cstddef>

namespace test_levels {

// Records the largest operator-new request between construction and destruction (one probe at a time).
// Under AddressSanitizer the allocator is left alone and huge requests are reported by the sanitizer.
class allocation_probe {
  public:
    allocation_probe();
    ~allocation_probe();
    allocation_probe(const allocation_probe&) = delete;
    allocation_probe& operator=(const allocation_probe&) = delete;

    std::size_t largest() const;
    // False when allocations cannot be observed in this build (sanitizer builds).
    static bool available();
};

} // namespace test_levels
