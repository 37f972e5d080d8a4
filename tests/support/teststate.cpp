#include "support/teststate.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "audio/soundhooks.h"
#include "foundation/assetmanager.h"
#include "foundation/file/assetfolder.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"
#include "foundation/task/apptime.h"
#include "platform/draw/renderer.h"
#include "platform/onlinehooks.h"
#include "platform/texture/memorytexturedata.h"
#include "port/control.h"
#include "simulation/params/localtext.h"
#include "simulation/worldmusic.h"
#include "simulation/worldsounds.h"
#include "simulation/worldwindows.h"

extern char** environ;

namespace testing_support {
namespace {

std::map<std::string, std::string> CurrentEnvironment() {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    return variables;
}

void MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0) throw std::runtime_error("cannot make " + path);
}

}  // namespace

void ForgetFiles() {
    ClearFileIndex();
    ClearAssetManifest();
    ForgetArchives();
    SetUserDataRoot("");
    SetCommonDataRoot("");
    SetDesktopRoot("");
}

ProcessState::ProcessState() {
    std::string pattern = (std::filesystem::temp_directory_path() / "umbrava-home-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    mHome = pattern;
    MakeFolder(mHome + "/data");
    MakeFolder(mHome + "/config");
    MakeFolder(mHome + "/run");
    setenv("HOME", mHome.c_str(), 1);
    setenv("XDG_DATA_HOME", (mHome + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (mHome + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (mHome + "/run").c_str(), 1);

    std::error_code error;
    mWorkingFolder = std::filesystem::current_path(error).string();
    mEnvironment = CurrentEnvironment();
}

ProcessState::~ProcessState() {
    Reset();
    std::error_code ignored;
    std::filesystem::remove_all(mHome, ignored);
}

void ProcessState::Reset() const {
    port::control::Reset();
    // No test reaches past this machine: a request to any other host fails before a lookup.
    port::control::SetHttpLoopbackOnly(true);
    ForgetFiles();
    TSettingsMap::GetInstance().SetObserver(nullptr);
    TSettingsMap::GetInstance().Clear();
    SetLogFile(nullptr);
    SetApplicationTimeSource(nullptr);
    SetAssetManager(nullptr);
    onlinehooks::Install({});
    soundhooks::Install({});
    TRenderer::DestroyInstance();
    TMemoryTextureData::SetCreateSurfaceFails(false);
    SetStringTable(nullptr);
    SetWorldSounds(nullptr);
    SetWorldMusic(nullptr);
    SetWorldWindows(nullptr);

    if (!mWorkingFolder.empty() && chdir(mWorkingFolder.c_str()) != 0) {
        std::fprintf(stderr, "cannot go back to %s\n", mWorkingFolder.c_str());
        std::abort();
    }
    RestoreEnvironment();
}

void ProcessState::RestoreEnvironment() const {
    std::map<std::string, std::string> now = CurrentEnvironment();
    for (const auto& [name, value] : now) {
        if (mEnvironment.find(name) == mEnvironment.end()) unsetenv(name.c_str());
    }
    for (const auto& [name, value] : mEnvironment) {
        auto current = now.find(name);
        if (current == now.end() || current->second != value) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
}

}  // namespace testing_support
