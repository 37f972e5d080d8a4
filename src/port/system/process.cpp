#include "port/system/process.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "port/failinjection.h"
#include "port/system/control.h"
#include "port/system/handles.h"
#include "port/system/lasterror.h"

namespace port {
namespace {

constexpr DWORD PackVersion(int major, int minor, int build) {
    return static_cast<DWORD>((major & 0xFF) | ((minor & 0xFF) << 8) | ((build & 0xFFFF) << 16));
}

std::atomic<DWORD> gVersion{
    PackVersion(control::kDefaultOsMajor, control::kDefaultOsMinor, control::kDefaultOsBuild)};

struct ProcessSettings {
    std::mutex mutex;
    std::function<void(int)> exitHandler;
    std::string lockFolder;
};

ProcessSettings& Settings() {
    static ProcessSettings* settings = new ProcessSettings;
    return *settings;
}

class InstanceLock : public KernelObject {
public:
    explicit InstanceLock(int fd) : mFd(fd) {}
    ~InstanceLock() override {
        if (mFd >= 0) close(mFd);  // closing releases the lock
    }
    DWORD Wait(DWORD) override { return WAIT_FAILED; }

private:
    int mFd;
};

// A folder only this user can use: made with mode 0700, and refused when it is a link or owned
// by someone else.
bool PrivateFolder(const std::string& path) {
    mkdir(path.c_str(), 0700);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

std::string LockFolder() {
    {
        ProcessSettings& settings = Settings();
        std::lock_guard<std::mutex> lock(settings.mutex);
        if (!settings.lockFolder.empty()) return settings.lockFolder;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/' && access(runtime, W_OK) == 0) return runtime;
    const char* tmp = std::getenv("TMPDIR");
    std::string folder =
        std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/umbrava-" + std::to_string(getuid());
    return PrivateFolder(folder) ? folder : std::string();
}

// The lock file's name: the instance name's plain characters, cut short enough for any file
// system; when anything was replaced or cut, a hash of the whole name keeps different names apart
// ("A/B" and "A_B", or long paths sharing their start).
std::string LockFileName(const char* name) {
    constexpr size_t kReadable = 120;
    std::string file;
    bool exact = true;
    uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
    for (const char* p = name; *p; ++p) {
        char c = *p;
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '_' || c == '-' || c == '.';
        if (!plain) exact = false;
        if (file.size() < kReadable) {
            file += plain ? c : '_';
        } else {
            exact = false;
        }
    }
    if (!exact) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "-%016llx", static_cast<unsigned long long>(hash));
        file += suffix;
    }
    return file + ".lock";
}

}  // namespace

namespace control {

void SetOsVersion(int major, int minor, int build) {
    gVersion.store(PackVersion(major, minor, build));
}

void SetExitHandler(std::function<void(int)> handler) {
    ProcessSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.exitHandler = std::move(handler);
}

void SetInstanceLockFolder(const std::string& path) {
    ProcessSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.lockFolder = path;
}

}  // namespace control
}  // namespace port

void ExitProcess(UINT exitCode) {
    std::function<void(int)> handler;
    {
        port::ProcessSettings& settings = port::Settings();
        std::lock_guard<std::mutex> lock(settings.mutex);
        handler = settings.exitHandler;
    }
    if (handler) handler(static_cast<int>(exitCode));
    std::exit(static_cast<int>(exitCode));
}

DWORD GetVersion() {
    return port::gVersion.load();
}

HANDLE CreateInstanceMutexA(const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (port::ShouldFail("CreateInstanceMutexA")) return nullptr;
    std::string folder = port::LockFolder();
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    std::string path = folder + "/" + port::LockFileName(name);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        fd = -1;
        error = ERROR_ALREADY_EXISTS;
    }
    HANDLE handle = port::AddHandle(std::make_shared<port::InstanceLock>(fd));
    SetLastError(error);
    return handle;
}
