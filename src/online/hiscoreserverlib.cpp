#include "online/hiscoreserverlib.h"

#include "foundation/log.h"
#include "port/system/module.h"
#include "port/system/shell.h"

namespace {

// The export's address as its function type; null when the library lacks it.
template <class Fn>
bool Resolve(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(GetProcAddress(module, name));
    return out != nullptr;
}

}  // namespace

str ProgramFolder() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return str();
    const str path(buffer);
    const unsigned int slash = path.FindChar('/', str::kBackward);
    return slash != str::npos ? path.Substring(0, slash + 1) : str();
}

bool THiscoreServerLibrary::Load(const str& folder) {
    Unload();
    // Only an absolute path: a bare name would let the loader search the system's folders.
    if (folder.Length() == 0 || folder.GetAt(0) != '/') return false;
    const str path = folder + kHiscoreServerLibrary;
    mModule = LoadLibraryA(path.c_str());
    if (mModule == nullptr) return false;

    THiscoreServerExports& e = mExports;
    Resolve(mModule, "HiscoreServer_LoadServerDefFile", e.loadServerDefFile);
    Resolve(mModule, "HiscoreServer_SetServerInfo", e.setServerInfo);
    // The first required export that the library lacks.
    const char* missing = nullptr;
    auto require = [&](const char* name, auto& slot) {
        if (missing == nullptr && !Resolve(mModule, name, slot)) missing = name;
    };
    require("HiscoreServer_CreateLocalServer", e.createLocalServer);
    require("HiscoreServer_RequestCategoryInformation", e.requestCategoryInformation);
    require("HiscoreServer_RequestScores", e.requestScores);
    require("HiscoreServer_SubmitScore", e.submitScore);
    require("HiscoreServer_SubmitMedals", e.submitMedals);
    require("HiscoreServer_GetStatus", e.getStatus);
    require("HiscoreServer_GetContents", e.getContents);
    require("HiscoreServer_FreeLocalServer", e.freeLocalServer);
    if (missing != nullptr) {
        LogPrintf("HiScore server library %s lacks %s: using HTTP\n", path.c_str(), missing);
        Unload();
        return false;
    }
    return true;
}

void THiscoreServerLibrary::Unload() {
    if (mModule != nullptr) FreeLibrary(mModule);
    mModule = nullptr;
    mExports = THiscoreServerExports();
}
