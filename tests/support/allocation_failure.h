// Makes one chosen allocation fail, as running out of memory would. The
// program's operator new is replaced in the test binaries that link
// allocation_failure.cpp; disarmed it only counts nothing and allocates.
#pragma once

#include <cstddef>

class AllocationFailure {
  public:
    // Arms: the `nth` allocation from now on (1 for the next) throws std::bad_alloc.
    explicit AllocationFailure(size_t nth);
    ~AllocationFailure(); // disarms
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    // Whether the chosen allocation came and failed.
    bool struck() const;
};
