#include "bench/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t requested = 0;
}

std::size_t allocatedBytes() {
    return requested;
}

void* operator new(std::size_t size) {
    requested += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}
