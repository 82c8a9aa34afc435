// Faults at the system call boundary that a real disk rarely shows on demand: a file that
// shrinks between the size check and the read, and reads interrupted by a signal. The core
// calls fstat and pread by name; this test program defines both, passing every call through
// to the system unless a fault below is switched on. One fault at a time, one thread.
#pragma once

#include <cstdint>

namespace morvat::test {

// While alive, fstat reports every regular file `extraBytes` longer than it is: the file
// seems to have been cut short after its size was taken.
class FstatOvercount {
public:
    explicit FstatOvercount(std::int64_t extraBytes);
    ~FstatOvercount();
    FstatOvercount(const FstatOvercount&) = delete;
    FstatOvercount& operator=(const FstatOvercount&) = delete;
};

// While alive, every other pread fails with EINTR before reading anything, as a read does
// when a signal arrives first. Counts the interruptions.
class PreadInterruptions {
public:
    PreadInterruptions();
    ~PreadInterruptions();
    PreadInterruptions(const PreadInterruptions&) = delete;
    PreadInterruptions& operator=(const PreadInterruptions&) = delete;

    int count() const;
};

// Counts the fstat calls made while it lives.
class FstatCounter {
public:
    FstatCounter();
    ~FstatCounter();
    FstatCounter(const FstatCounter&) = delete;
    FstatCounter& operator=(const FstatCounter&) = delete;

    int count() const;
};

}  // namespace morvat::test
