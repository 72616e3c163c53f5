#pragma once

// Destroys what `object` holds, if anything, and forgets it.
template <typename Object>
void release(Object*& object, void (*destroy)(Object*)) {
    if (object) {
        destroy(object);
        object = nullptr;
    }
}
