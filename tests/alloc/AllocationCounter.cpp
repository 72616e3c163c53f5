#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <new>

// The C library's allocator under its own names, which a program's own
// malloc does not replace.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

static std::atomic<unsigned long> allocations(0);
static std::atomic<unsigned long> releases(0);

static void countAllocation() { allocations.fetch_add(1, std::memory_order_relaxed); }

static void countRelease(void* block) {
    if (block) {
        releases.fetch_add(1, std::memory_order_relaxed);
    }
}

AllocationCount allocationCount() {
    AllocationCount count;
    count.allocations = allocations.load(std::memory_order_relaxed);
    count.releases = releases.load(std::memory_order_relaxed);
    return count;
}

extern "C" {

void* malloc(size_t size) {
    countAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    countAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    countAllocation();
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) {
    countAllocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    countAllocation();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    countAllocation();
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = __libc_memalign(alignment, size);
    if (!block) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

void free(void* block) {
    countRelease(block);
    __libc_free(block);
}
}

// Every operator new counts once and takes its storage straight from the C
// library, so that an allocation is not counted twice.
static void* allocateOrThrow(size_t size) {
    countAllocation();
    void* block = __libc_malloc(size == 0 ? 1 : size);
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

static void* allocateAlignedOrThrow(size_t size, std::align_val_t alignment) {
    countAllocation();
    void* block = __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

static void release(void* block) {
    countRelease(block);
    __libc_free(block);
}

void* operator new(size_t size) { return allocateOrThrow(size); }
void* operator new[](size_t size) { return allocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    countAllocation();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    countAllocation();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    countAllocation();
    return __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    countAllocation();
    return __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, size_t) noexcept { release(block); }
void operator delete[](void* block, size_t) noexcept { release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete(void* block, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
