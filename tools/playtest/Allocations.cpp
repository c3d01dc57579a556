// Counts the heap allocations the plug-in's own code makes. The plug-in's script runs on the
// simulated host's script thread, and so do the simulated game's answers to its native calls; the
// host tells when a call into it begins and ends, so that only the plug-in's side is counted.

#include "Invariants.h"

#include "Host.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

std::atomic<std::int64_t> counted{0};
thread_local int insideHost = 0;
const std::thread::id mainThread = std::this_thread::get_id();

void* allocate(std::size_t size) {
    if (insideHost == 0 && std::this_thread::get_id() != mainThread) {
        counted.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

}  // namespace

namespace tollmere::playtest {

std::int64_t pluginAllocations() {
    return counted.load(std::memory_order_relaxed);
}

}  // namespace tollmere::playtest

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

// Installed before main, so before the plug-in starts.
[[maybe_unused]] const bool observing = [] {
    sim::Host::hostCallObserver = [](const char*, bool entering) { insideHost += entering ? 1 : -1; };
    return true;
}();

}  // namespace
