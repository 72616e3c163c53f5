#pragma once

// Counts every heap allocation and release of the test program: malloc,
// calloc, realloc, the aligned allocators and every operator new and delete
// are defined in the program itself, so they stand in front of the C
// library's for every caller, and pass each request on to it.
struct AllocationCount {
    unsigned long allocations;
    unsigned long releases;
};

AllocationCount allocationCount();
