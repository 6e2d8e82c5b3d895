#include "common/DeviceName.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace DeviceName {

void CopyBounded(char* target, int size, const char* source, char doubled) {
    if (size <= 0) {
        return;
    }
    int used = 0;
    const char* p = source;
    while (*p) {
        const char* next = CharNextA(p);
        const int width = static_cast<int>(next - p);
        const int copies = *p == doubled ? 2 : 1;
        if (width <= 0 || used + copies * width > size - 1) {
            break;
        }
        for (int copy = 0; copy < copies; ++copy) {
            memcpy(target + used, p, width);
            used += width;
        }
        p = next;
    }
    target[used] = '\0';
}

std::string Fitted(const char* source, int size) {
    std::string fitted(size, '\0');
    CopyBounded(&fitted[0], size, source);
    fitted.resize(strlen(fitted.c_str()));
    return fitted;
}

bool Matches(const char* stored, int storedSize, const char* deviceName) {
    return lstrcmpiA(stored, Fitted(deviceName, storedSize).c_str()) == 0;
}

void FromWide(char* target, int size, const wchar_t* source) {
    if (size <= 0) {
        return;
    }
    target[0] = '\0';
    const int needed = WideCharToMultiByte(CP_ACP, 0, source, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return;
    }
    if (needed <= size) {
        WideCharToMultiByte(CP_ACP, 0, source, -1, target, size, nullptr, nullptr);
        return;
    }
    std::string whole(needed, '\0');
    WideCharToMultiByte(CP_ACP, 0, source, -1, &whole[0], needed, nullptr, nullptr);
    CopyBounded(target, size, whole.c_str());
}

void ToWide(wchar_t* target, int size, const char* source) {
    if (size <= 0) {
        return;
    }
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, source, -1, target, size) == 0) {
        target[0] = L'\0';
    }
    target[size - 1] = L'\0';
}

} // namespace DeviceName
