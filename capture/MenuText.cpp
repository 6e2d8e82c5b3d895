#include "capture/MenuText.h"

#include <windows.h>

#include <cstring>

namespace MenuText {

void CopyName(char* target, int size, const char* name) {
    if (size <= 0) {
        return;
    }
    int used = 0;
    for (const char* p = name; *p;) {
        const char* next = CharNextA(p);
        const int width = static_cast<int>(next - p);
        const int needed = *p == '&' ? 2 : width;
        if (width <= 0 || used + needed > size - 1) {
            break;
        }
        if (*p == '&') {
            target[used++] = '&';
        }
        memcpy(target + used, p, width);
        used += width;
        p = next;
    }
    target[used] = '\0';
}

} // namespace MenuText
