// The replaced global allocation functions that feed HeapMeter.
// SPDX-License-Identifier: Apache-2.0
#include "HeapMeter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

// Counted per thread with plain integers: the benchmarks measure on the thread that calls the hook, and a locked
// read-modify-write on every allocation and release would charge the hook (tens of allocations a call) for the
// meter itself. Bytes are counted from the start of a measurement: memory made before it and released during it
// counts below zero.
thread_local bool metering = false;
thread_local long long live = 0;
thread_local long long peak = 0;

void* Allocate(size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory || !metering) return memory;
    live += static_cast<long long>(malloc_usable_size(memory));
    if (live > peak) peak = live;
    return memory;
}

void Release(void* memory) {
    if (metering && memory) live -= static_cast<long long>(malloc_usable_size(memory));
    std::free(memory);
}

} // namespace

void* operator new(size_t size) {
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* memory) noexcept {
    Release(memory);
}
void operator delete[](void* memory) noexcept {
    Release(memory);
}
void operator delete(void* memory, size_t) noexcept {
    Release(memory);
}
void operator delete[](void* memory, size_t) noexcept {
    Release(memory);
}

namespace quendra::bench {

void HeapMeter::Start() {
    live = 0;
    peak = 0;
    metering = true;
}

size_t HeapMeter::Stop() {
    metering = false;
    return static_cast<size_t>(peak);
}

} // namespace quendra::bench
