#pragma once

// Holders for every kind of resource the viewer and the card own: a COM
// reference, a media type handed out in task memory, task memory itself,
// a property-page list, and a critical section held for a scope.

#include <dshow.h>
#include <ocidl.h>

#include <utility>

// A counted COM reference, given back when the holder ends or is reset.
template <typename T> class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : ptr(adopted) {}
    ComRef(ComRef&& other) noexcept : ptr(other.Detach()) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr = other.Detach();
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    // A reference of its own to an object the caller keeps.
    static ComRef Share(T* object) {
        if (object) {
            object->AddRef();
        }
        return ComRef(object);
    }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    // Address for an out parameter; drops what was held first.
    T** Put() {
        Reset();
        return &ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // An array of one, as SetObjects takes it; keeps what is held.
    T** GetAddress() { return &ptr; }

    // Gives the reference to the caller.
    T* Detach() { return std::exchange(ptr, nullptr); }

    void Reset() {
        if (T* held = Detach()) {
            held->Release();
        }
    }

private:
    T* ptr = nullptr;
};

// Gives back a reference a long-lived object keeps in a raw field, where an
// explicit step (a detach, a shutdown) and not a destructor is what releases.
template <typename T> void ReleaseAndClear(T*& pointer) {
    ComRef<T> released(std::exchange(pointer, nullptr));
}

// Frees what an AM_MEDIA_TYPE points to, as FreeMediaType does: the format
// block and the pUnk reference. The structure itself stays.
inline void FreeMediaTypeContents(AM_MEDIA_TYPE& type) {
    if (type.cbFormat != 0 && type.pbFormat) {
        CoTaskMemFree(type.pbFormat);
    }
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

// Memory from CoTaskMemAlloc, freed when the holder ends or is reset.
template <typename T> class TaskMem {
public:
    TaskMem() = default;
    explicit TaskMem(T* adopted) : ptr(adopted) {}
    TaskMem(TaskMem&& other) noexcept : ptr(other.Detach()) {}
    TaskMem& operator=(TaskMem&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr = other.Detach();
        }
        return *this;
    }
    TaskMem(const TaskMem&) = delete;
    TaskMem& operator=(const TaskMem&) = delete;
    ~TaskMem() { Reset(); }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator[](size_t index) const { return ptr[index]; }
    explicit operator bool() const { return ptr != nullptr; }

    T** Put() {
        Reset();
        return &ptr;
    }
    T* Detach() { return std::exchange(ptr, nullptr); }
    void Reset() { CoTaskMemFree(Detach()); }

private:
    T* ptr = nullptr;
};

// An AM_MEDIA_TYPE handed out in task memory (GetFormat, GetStreamCaps,
// IEnumMediaTypes::Next): frees the format block, pUnk and the structure,
// as DeleteMediaType does.
class MediaTypePtr {
public:
    MediaTypePtr() = default;
    explicit MediaTypePtr(AM_MEDIA_TYPE* adopted) : ptr(adopted) {}
    MediaTypePtr(MediaTypePtr&& other) noexcept : ptr(other.Detach()) {}
    MediaTypePtr& operator=(MediaTypePtr&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr = other.Detach();
        }
        return *this;
    }
    MediaTypePtr(const MediaTypePtr&) = delete;
    MediaTypePtr& operator=(const MediaTypePtr&) = delete;
    ~MediaTypePtr() { Reset(); }

    AM_MEDIA_TYPE* Get() const { return ptr; }
    AM_MEDIA_TYPE* operator->() const { return ptr; }
    AM_MEDIA_TYPE& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    AM_MEDIA_TYPE** Put() {
        Reset();
        return &ptr;
    }
    AM_MEDIA_TYPE* Detach() { return std::exchange(ptr, nullptr); }
    void Reset() {
        if (AM_MEDIA_TYPE* held = Detach()) {
            FreeMediaTypeContents(*held);
            CoTaskMemFree(held);
        }
    }

private:
    AM_MEDIA_TYPE* ptr = nullptr;
};

// The list ISpecifyPropertyPages::GetPages fills: its array is freed with
// the holder, an empty one too.
class PropertyPageList {
public:
    PropertyPageList() = default;
    PropertyPageList(const PropertyPageList&) = delete;
    PropertyPageList& operator=(const PropertyPageList&) = delete;
    ~PropertyPageList() { Reset(); }

    CAUUID* Put() {
        Reset();
        return &list;
    }
    ULONG Count() const { return list.pElems ? list.cElems : 0; }
    const GUID& operator[](ULONG index) const { return list.pElems[index]; }
    const GUID* begin() const { return list.pElems; }
    const GUID* end() const { return list.pElems + Count(); }

    void Reset() {
        CoTaskMemFree(list.pElems);
        list.pElems = nullptr;
        list.cElems = 0;
    }

private:
    CAUUID list = {};
};

// Holds a critical section for the length of a scope.
class ScopedLock {
public:
    explicit ScopedLock(CRITICAL_SECTION& section) : section(section) { EnterCriticalSection(&section); }
    ~ScopedLock() { LeaveCriticalSection(&section); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CRITICAL_SECTION& section;
};
