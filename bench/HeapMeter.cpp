// The replaced global allocation functions that feed HeapMeter.
#include "HeapMeter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> live{0};
std::atomic<size_t> peak{0};
std::atomic<size_t> baseline{0};

void* Allocate(size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory) return nullptr;
    const size_t usable = malloc_usable_size(memory);
    const size_t now = live.fetch_add(usable, std::memory_order_relaxed) + usable;
    size_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
    return memory;
}

void Release(void* memory) {
    if (!memory) return;
    live.fetch_sub(malloc_usable_size(memory), std::memory_order_relaxed);
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
    size_t now = live.load(std::memory_order_relaxed);
    baseline.store(now, std::memory_order_relaxed);
    peak.store(now, std::memory_order_relaxed);
}

size_t HeapMeter::PeakAboveStart() {
    size_t top = peak.load(std::memory_order_relaxed);
    size_t start = baseline.load(std::memory_order_relaxed);
    return top > start ? top - start : 0;
}

} // namespace quendra::bench
