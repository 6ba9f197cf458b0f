#include "allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {

size_t countdown = 0; // allocations until the failing one; 0: disarmed
bool hasStruck = false;

} // namespace

AllocationFailure::AllocationFailure(size_t nth) {
    countdown = nth;
    hasStruck = false;
}

AllocationFailure::~AllocationFailure() {
    countdown = 0;
}

bool AllocationFailure::struck() const {
    return hasStruck;
}

void* operator new(size_t size) {
    if (countdown > 0 && --countdown == 0) {
        hasStruck = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    return ::operator new(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return ::operator new(size, std::nothrow);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
