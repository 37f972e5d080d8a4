// THiscoreServerLibrary: the optional hiscore server library "bvservlet_stub.so", which carries
// the hiscore client's requests in place of HTTP when it is installed beside the program. Its ten
// exports have C linkage; every text is a NUL-terminated byte string and the server is the handle
// HiscoreServer_CreateLocalServer answered.
//
// The library is looked for in the program's own folder only, by its absolute path: a library of
// that name elsewhere on the system's search path is never loaded. Every export the client calls
// unconditionally is resolved once, at load; a library lacking one is unloaded again (one log
// line names the export) and the client uses HTTP. HiscoreServer_LoadServerDefFile and
// HiscoreServer_SetServerInfo may be missing.
//
// Owned by the hiscore client, on the main thread. The destructor unloads the library; the client
// frees its server first.
#pragma once

#include "foundation/str.h"
#include "port/win32types.h"

extern "C" {
using HiscoreCreateLocalServerFn = int (*)();
using HiscoreLoadServerDefFileFn = void (*)(int server);
using HiscoreSetServerInfoFn = void (*)(int server, const char* game, const char* key,
                                        const char** modes, int modeCount, const char** medals,
                                        int medalCount);
using HiscoreRequestCategoryInformationFn = void (*)(int server, const char* game);
using HiscoreRequestScoresFn = void (*)(int server, const char* game, const char* mode,
                                        const char* table, const char* userName);
using HiscoreSubmitScoreFn = void (*)(int server, const char* game, const char* mode,
                                      const char* name, const char* password, const char* guid,
                                      const char* version, const char* gameData, int score,
                                      const char* key, const char* serverData);
using HiscoreSubmitMedalsFn = void (*)(int server, const char* game, const char* mode,
                                       const char* name, const char* password, const char* medals,
                                       const char* key);
using HiscoreGetStatusFn = int (*)(int server);
using HiscoreGetContentsFn = const char* (*)(int server);
using HiscoreFreeLocalServerFn = void (*)(int server);
}

// The library's file name, looked for in the program's folder.
constexpr char kHiscoreServerLibrary[] = "bvservlet_stub.so";

struct THiscoreServerExports {
    HiscoreCreateLocalServerFn createLocalServer = nullptr;
    HiscoreLoadServerDefFileFn loadServerDefFile = nullptr;  // may be null
    HiscoreSetServerInfoFn setServerInfo = nullptr;          // may be null
    HiscoreRequestCategoryInformationFn requestCategoryInformation = nullptr;
    HiscoreRequestScoresFn requestScores = nullptr;
    HiscoreSubmitScoreFn submitScore = nullptr;
    HiscoreSubmitMedalsFn submitMedals = nullptr;
    HiscoreGetStatusFn getStatus = nullptr;
    HiscoreGetContentsFn getContents = nullptr;
    HiscoreFreeLocalServerFn freeLocalServer = nullptr;
};

class THiscoreServerLibrary {
public:
    THiscoreServerLibrary() = default;
    ~THiscoreServerLibrary() { Unload(); }
    THiscoreServerLibrary(const THiscoreServerLibrary&) = delete;
    THiscoreServerLibrary& operator=(const THiscoreServerLibrary&) = delete;

    // Loads the library from the folder (ending in "/"; empty: nothing is loaded) and resolves
    // its exports. False, with nothing loaded, when the file is not there or an export the client
    // needs is missing (logged).
    bool Load(const str& folder);
    void Unload();

    bool IsLoaded() const { return mModule != nullptr; }
    // Valid while loaded.
    const THiscoreServerExports& Exports() const { return mExports; }

private:
    HMODULE mModule = nullptr;
    THiscoreServerExports mExports;
};

// The folder of the running program, ending in "/"; empty when it is not known.
str ProgramFolder();
