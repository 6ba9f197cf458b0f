// Makes GlobalAlloc fail in the program's own calls, as it would without
// memory: the test binary's import of it is pointed elsewhere while armed.
// Windows only; the system's own calls are not affected.
#pragma once

#include <cstddef>

class GlobalAllocationFailure {
  public:
    // Arms: the `nth` call from now on (1 for the next) returns null.
    explicit GlobalAllocationFailure(size_t nth);
    ~GlobalAllocationFailure(); // disarms
    GlobalAllocationFailure(const GlobalAllocationFailure&) = delete;
    GlobalAllocationFailure& operator=(const GlobalAllocationFailure&) = delete;

    // Whether the chosen call came and failed.
    bool struck() const;
};
