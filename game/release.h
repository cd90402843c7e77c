#pragma once

// Releases a reference-counted object, if there is one, and forgets it.
template <class T>
void ReleaseAndClear(T*& object) {
    if (!object) return;
    object->Release();
    object = nullptr;
}
