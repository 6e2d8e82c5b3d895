#include "simcard/hooks/Options.h"

#include "simcard/hooks/Catalogue.h"

#include <cstring>

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(const char* a, size_t length, const char* word) {
    if (std::strlen(word) != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (Lower(a[i]) != Lower(word[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

void ReadEnvironment(const wchar_t* name, char* buffer, size_t size) {
    buffer[0] = '\0';
    wchar_t wide[1024];
    DWORD length = GetEnvironmentVariableW(name, wide, 1024);
    if (length == 0 || length >= 1024 || length >= size) {
        return;
    }
    for (DWORD i = 0; i < length; ++i) {
        buffer[i] = wide[i] < 128 ? static_cast<char>(wide[i]) : '?';
    }
    buffer[length] = '\0';
}

bool ListContains(const char* list, const char* word) {
    const char* start = list;
    for (;;) {
        while (*start == ' ' || *start == ',' || *start == ';') {
            ++start;
        }
        if (*start == '\0') {
            return false;
        }
        const char* end = start;
        while (*end != '\0' && *end != ',' && *end != ';' && *end != ' ') {
            ++end;
        }
        if (SameWord(start, static_cast<size_t>(end - start), word)) {
            return true;
        }
        start = end;
    }
}

namespace {

// A comma-separated list of words, read from the environment once.
class EnvironmentList {
public:
    EnvironmentList(const wchar_t* name, const Catalogue::NameList& known) : words(known) {
        ReadEnvironment(name, text, sizeof text);
    }
    // Only the catalogue's words mean something.
    bool Has(const char* word) const { return words.Find(word) && ListContains(text, word); }

private:
    const Catalogue::NameList& words;
    char text[1024];
};

} // namespace

CardVariant CardVariant::FromEnvironment() {
    const EnvironmentList list(L"SIMTV_VARIANT", Catalogue::CardVariants);
    CardVariant variant;
    variant.previewPin = list.Has("PreviewPin");
    variant.noCrossbar = list.Has("NoCrossbar");
    variant.noTuner = list.Has("NoTuner");
    variant.crossbarNoInputs = list.Has("CrossbarNoInputs");
    variant.onePage = list.Has("OnePage");
    variant.noFormats = list.Has("NoFormats");
    variant.manyFormats = list.Has("ManyFormats");
    variant.noInputPin = list.Has("NoInputPin");
    variant.undrawableFormats = list.Has("UndrawableFormats");
    return variant;
}

RegistrationVariant RegistrationVariant::FromEnvironment() {
    const EnvironmentList list(L"SIMTV_REGISTER", Catalogue::RegistrationVariants);
    RegistrationVariant variant;
    variant.twoVideoDevices = list.Has("TwoVideoDevices");
    variant.twelveAudioDevices = list.Has("TwelveAudioDevices");
    return variant;
}

namespace Faults {

bool Injected(const char* qualifiedMethod) {
    // A method that is not a fault point never fails: the catalogue is the whole list.
    if (!Catalogue::FaultPoints.Find(qualifiedMethod)) {
        return false;
    }
    char list[1024];
    ReadEnvironment(L"SIMTV_FAIL", list, sizeof list);
    if (list[0] == '\0') {
        return false;
    }
    const char* dot = std::strchr(qualifiedMethod, '.');
    return ListContains(list, qualifiedMethod) || (dot && ListContains(list, dot + 1));
}

} // namespace Faults
