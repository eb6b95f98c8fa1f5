#pragma once

// The reference count of the layer's COM objects: AddRef and Release for any
// interface, the object deleting itself when the last reference goes. A new object
// starts with the one reference its creator hands out.

#include <windows.h>

#include <atomic>

template <class Interface>
class RefCounted : public Interface {
public:
    ULONG WINAPI AddRef() override { return ++m_refCount; }
    ULONG WINAPI Release() override
    {
        const ULONG count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    RefCounted() = default;
    ~RefCounted() override = default;

private:
    std::atomic<ULONG> m_refCount{1};
};
