#pragma once

#include "tests/app/FakeDialogLibrary.h"

#include <string>
#include <vector>

// Which dialog library the code under test finds by its bare name while this
// object lives: the test copy with its exports (kept loaded, so its record
// survives the code's FreeLibrary), the copy without them, or none at all.
class FakeDialogs {
public:
    enum class Copy { WithExports, WithoutExports, None };

    explicit FakeDialogs(Copy copy);
    ~FakeDialogs();
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    bool Loaded() const { return module != nullptr; }
    // Later calls answer `result`; InputFrameRate writes `rateOut` into the integer.
    void Script(int result, int rateOut = 0);
    std::vector<FakeDialogCall> Calls() const;
    // Stops holding the copy: the code's own load is then the only one.
    void LetGo();

private:
    HMODULE module = nullptr;
};

// The folder holding the test copies' folders, as a Windows path.
std::string FakeDialogsRoot();
