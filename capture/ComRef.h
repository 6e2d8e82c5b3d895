#pragma once

#include <unknwn.h>

// A COM reference held for the length of one function: released on every path.
template <typename T> class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : ptr(adopted) {}
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    // Address for an out parameter; drops what was held first.
    T** Put() {
        Reset();
        return &ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Gives the reference to the caller.
    T* Detach() {
        T* taken = ptr;
        ptr = nullptr;
        return taken;
    }

    void Reset() {
        if (ptr) {
            ptr->Release();
            ptr = nullptr;
        }
    }

private:
    T* ptr = nullptr;
};
