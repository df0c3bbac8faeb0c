// The replaced global allocation functions that feed HeapMeter.
#include "HeapMeter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

// Counted per thread with plain integers: the benchmarks measure on the thread that calls the hook, and a locked
// read-modify-write on every allocation and release would charge the hook (about a hundred allocations a call)
// for the meter itself.
thread_local size_t live = 0;
thread_local size_t peak = 0;
thread_local size_t baseline = 0;

void* Allocate(size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory) return nullptr;
    live += malloc_usable_size(memory);
    if (live > peak) peak = live;
    return memory;
}

void Release(void* memory) {
    if (!memory) return;
    live -= malloc_usable_size(memory);
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
    baseline = live;
    peak = live;
}

size_t HeapMeter::PeakAboveStart() {
    return peak > baseline ? peak - baseline : 0;
}

} // namespace quendra::bench
