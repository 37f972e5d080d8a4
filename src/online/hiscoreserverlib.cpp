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
    const char* missing = nullptr;
    if (!Resolve(mModule, "HiscoreServer_CreateLocalServer", e.createLocalServer))
        missing = "HiscoreServer_CreateLocalServer";
    else if (!Resolve(mModule, "HiscoreServer_RequestCategoryInformation",
                      e.requestCategoryInformation))
        missing = "HiscoreServer_RequestCategoryInformation";
    else if (!Resolve(mModule, "HiscoreServer_RequestScores", e.requestScores))
        missing = "HiscoreServer_RequestScores";
    else if (!Resolve(mModule, "HiscoreServer_SubmitScore", e.submitScore))
        missing = "HiscoreServer_SubmitScore";
    else if (!Resolve(mModule, "HiscoreServer_SubmitMedals", e.submitMedals))
        missing = "HiscoreServer_SubmitMedals";
    else if (!Resolve(mModule, "HiscoreServer_GetStatus", e.getStatus))
        missing = "HiscoreServer_GetStatus";
    else if (!Resolve(mModule, "HiscoreServer_GetContents", e.getContents))
        missing = "HiscoreServer_GetContents";
    else if (!Resolve(mModule, "HiscoreServer_FreeLocalServer", e.freeLocalServer))
        missing = "HiscoreServer_FreeLocalServer";
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
