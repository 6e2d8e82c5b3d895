#pragma once

#include <windows.h>

// The body of a getter with one out parameter: E_POINTER without one.
template <typename T, typename V> HRESULT Give(T* out, const V& value) {
    if (!out) {
        return E_POINTER;
    }
    *out = value;
    return S_OK;
}
