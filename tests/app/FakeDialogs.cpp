#include "tests/app/FakeDialogs.h"

namespace {

template <typename Function> Function Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

std::string FakeDialogsRoot() {
    // A build path seen from Wine's side: its Z: drive is the host's root.
    const std::string root = FAKE_DIALOGS_ROOT;
    return root[0] == '/' ? "Z:" + root : root;
}

FakeDialogs::FakeDialogs(Copy copy) {
    const std::string folder = FakeDialogsRoot() + (copy == Copy::WithExports      ? "/fake-dialogs"
                                                    : copy == Copy::WithoutExports ? "/bare-dialogs"
                                                                                   : "");
    SetDllDirectoryA(folder.c_str());
    if (copy == Copy::WithExports) {
        module = LoadLibraryA((folder + "/RADO_DU.DLL").c_str());
        Script(1);
    }
}

FakeDialogs::~FakeDialogs() {
    LetGo();
    SetDllDirectoryA(nullptr);
}

void FakeDialogs::Script(int result, int rateOut) {
    if (module) {
        Entry<FakeDialogsScriptEntry>(module, "FakeDialogsScript")(result, rateOut);
    }
}

std::vector<FakeDialogCall> FakeDialogs::Calls() const {
    std::vector<FakeDialogCall> calls(16);
    if (!module) {
        return {};
    }
    const int count = Entry<FakeDialogsCallsEntry>(module, "FakeDialogsCalls")(calls.data(), 16);
    calls.resize(count < 16 ? count : 16);
    return calls;
}

void FakeDialogs::LetGo() {
    if (module) {
        FreeLibrary(module);
        module = nullptr;
    }
}
