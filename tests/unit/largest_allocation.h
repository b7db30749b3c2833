// Test helper: replaces the global operator new to record the largest single request while a
// watch is on, so a test can show that a reader never allocates more than its file could hold.
// Define-once: include it from exactly one file of a test binary.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

static bool allocationWatch = false; // requests are recorded only while true
static size_t largestAllocation = 0; // largest request seen while watching

void* operator new(size_t size) {
    if (allocationWatch && size > largestAllocation) {
        largestAllocation = size;
    }
    void* p = malloc(size ? size : 1);
    if (p == nullptr) {
        abort(); // the tests never run out of memory on purpose
    }
    return p;
}

void operator delete(void* p) noexcept {
    free(p);
}

void operator delete(void* p, size_t) noexcept {
    free(p);
}

// Starts recording from zero.
inline void watchAllocations() {
    largestAllocation = 0;
    allocationWatch = true;
}

// Stops recording and returns the largest request seen.
inline size_t stopWatchingAllocations() {
    allocationWatch = false;
    return largestAllocation;
}
