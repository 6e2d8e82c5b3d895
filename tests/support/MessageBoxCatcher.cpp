#include "tests/support/MessageBoxCatcher.h"

#include <cstring>

namespace {

MessageBoxCatcher* active = nullptr;

// The import address table entry of dll!function in module, or null.
void** FindImport(HMODULE module, const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) {
            continue;
        }
        const DWORD namesAt = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

void WriteSlot(void** slot, void* value) {
    DWORD previous = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher() {
    slot = FindImport(GetModuleHandleA(nullptr), "user32.dll", "MessageBoxA");
    if (slot) {
        original = *slot;
        active = this;
        WriteSlot(slot, reinterpret_cast<void*>(&Record));
    }
}

MessageBoxCatcher::~MessageBoxCatcher() {
    if (slot) {
        WriteSlot(slot, original);
        active = nullptr;
    }
}

int WINAPI MessageBoxCatcher::Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (active) {
        active->boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    }
    return IDOK;
}
