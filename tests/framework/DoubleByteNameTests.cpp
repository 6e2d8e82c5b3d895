// Paths with Japanese file names: 0x5C, the path separator, is also the
// second byte of many double-byte characters (ソ is 83 5C, 表 is 95 5C).
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DoubleByteNames, ApplicationNameIsTheWholeFileTitle) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"C:\\Program Files\\NarvoTV\\ソフト.exe", "ソフト"},
        {"C:\\表示\\能力予十.exe", "能力予十"},
        {"C:\\tools\\viewer.exe", "viewer"},
        {"viewer", "viewer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char title[MAX_PATH] = {};
        AfxGetFileTitle(c.path, title, sizeof title);
        EXPECT_STREQ(c.title, title);
    }
}

std::string Repeat(const char* text, int times) {
    std::string repeated;
    while (times-- > 0) {
        repeated += text;
    }
    return repeated;
}

TEST(DoubleByteNames, ExtensionRuleReplacesTheWholeExtension) {
    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {"C:\\ソフト\\ソフト.exe", "C:\\ソフト\\ソフト.ini"},
        {"C:\\tools\\viewer.ソフト", "C:\\tools\\viewer.ini"},
        {"C:\\表\\viewer", "C:\\表\\viewer.ini"},
        // Too long for the extension: cut before a whole character, never inside one.
        {"C:\\a" + Repeat("表", 127), "C:\\a" + Repeat("表", 125) + ".ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        char path[MAX_PATH] = {};
        c.path.copy(path, MAX_PATH - 1);
        AfxReplaceExtension(path, ".ini");
        EXPECT_EQ(c.expected, path);
    }
}

} // namespace
