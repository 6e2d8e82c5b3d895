#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Catches the program's message boxes while it lives: the main module's import
// entry for user32!MessageBoxA is pointed at a recorder that answers IDOK, so
// no box blocks a test and none needs a display. One catcher at a time.
class MessageBoxCatcher {
public:
    struct Box {
        HWND owner;
        std::string text; // as passed, in the ANSI code page
        std::string caption;
        UINT type;
    };

    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    // False when the import entry was not found (nothing is caught then).
    bool Installed() const { return slot != nullptr; }
    const std::vector<Box>& Boxes() const { return boxes; }

private:
    static int WINAPI Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

    void** slot = nullptr;
    void* original = nullptr;
    std::vector<Box> boxes;
};
