#pragma once

#include "common/Ownership.h"

#include <dshow.h>

#include <string>
#include <vector>

// Helpers for testing the card through DirectShow as a viewer meets it.

// COM on the test's thread for the length of a test.
class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// Sets an environment variable of this process (which the card reads) and
// puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name;
    std::wstring previous;
    bool hadValue;
};

// Friendly names in the system device enumerator's order.
std::vector<std::wstring> DeviceNames(REFCLSID category);
// Binds the index-th device of the category with that name (counted among
// those of that name).
ComRef<IBaseFilter> BindDevice(REFCLSID category, const wchar_t* name, int index = 0);

// A card made directly by its class (variants are read at creation).
ComRef<IBaseFilter> CreateCard();

// The filter's pin of a direction, and for outputs of a category (null: any).
ComRef<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, const GUID* category = nullptr);
int CountPins(IBaseFilter* filter, PIN_DIRECTION direction);

template <typename T> ComRef<T> Query(IUnknown* object, REFIID iid) {
    ComRef<T> result;
    if (object) {
        object->QueryInterface(iid, result.PutVoid());
    }
    return result;
}

// A file in the temporary folder, deleted at the end; lines read as text.
class JournalFile {
public:
    JournalFile();
    ~JournalFile();
    const wchar_t* Path() const { return path; }
    std::vector<std::string> Lines() const;
    bool Contains(const std::string& line) const;

private:
    wchar_t path[MAX_PATH];
};

// The frame buffer of an RGB DIB, read top-down: colour (r, g, b) at x, y.
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};
Rgb PixelAt(const std::vector<BYTE>& frame, const GUID& subtype, const BITMAPINFOHEADER& header, int x,
            int y);

// Waits for the graph's state change, as RunGraph does (500 ms bound).
FILTER_STATE StateAfterChange(IGraphBuilder* graph);

// The card's DllCanUnloadNow through the module loaded in this process.
HRESULT CardCanUnloadNow();
