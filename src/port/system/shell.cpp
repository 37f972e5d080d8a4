#include "port/system/shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "port/failinjection.h"
#include "port/portlog.h"
#include "port/system/control.h"
#include "port/system/lasterror.h"

extern char** environ;

namespace port {
namespace {

struct ShellSettings {
    std::mutex mutex;
    std::string folders[0x24];  // overrides by folder id
    std::string modulePath;
    std::function<bool(const std::vector<std::string>&)> launcher;
};

ShellSettings& Settings() {
    static ShellSettings* settings = new ShellSettings;
    return *settings;
}

// Copies text into a caller's buffer by the Windows protocol.
DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
    if (buffer == nullptr || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string DataHome() {
    std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/') return xdg;
    std::string home = Env("HOME");
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string DefaultFolder(int id) {
    switch (id) {
        case CSIDL_APPDATA: {
            std::string dir = Env("UMBRAVA_USER_DATA_DIR");
            return dir.empty() ? DataHome() : dir;
        }
        case CSIDL_COMMON_APPDATA: {
            // Data shared by every player of the program; it must be writable, so it lives in
            // the user's data folder rather than in a system folder.
            std::string dir = Env("UMBRAVA_COMMON_DATA_DIR");
            if (!dir.empty()) return dir;
            std::string home = DataHome();
            return home.empty() ? std::string() : home + "/shared";
        }
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY: {
            std::string dir = Env("UMBRAVA_DESKTOP_DIR");
            if (dir.empty()) dir = Env("XDG_DESKTOP_DIR");
            if (!dir.empty()) return dir;
            std::string home = Env("HOME");
            return home.empty() ? std::string() : home + "/Desktop";
        }
        default:
            return std::string();
    }
}

std::string WithSlashes(const char* path) {
    std::string text(path);
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    return text;
}

bool IsLink(const std::string& text) {
    for (const char* scheme : {"http:", "https:", "mailto:"}) {
        if (strncasecmp(text.c_str(), scheme, std::strlen(scheme)) == 0) return true;
    }
    return false;
}

bool Launch(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();  // reap it, never wait for it
    return true;
}

}  // namespace

namespace control {

void SetSpecialFolder(int folderId, const std::string& path) {
    if (folderId < 0 || folderId >= 0x24) return;
    ShellSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.folders[folderId] = path;
}

void ClearSpecialFolders() {
    ShellSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    for (std::string& folder : settings.folders)
        folder.clear();
}

void SetModulePath(const std::string& path) {
    ShellSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.modulePath = path;
}

void SetLinkLauncher(std::function<bool(const std::vector<std::string>&)> launcher) {
    ShellSettings& settings = Settings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.launcher = std::move(launcher);
}

}  // namespace control
}  // namespace port

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    if (module != nullptr || port::ShouldFail("GetModuleFileNameA")) {
        if (module != nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string path;
    {
        port::ShellSettings& settings = port::Settings();
        std::lock_guard<std::mutex> lock(settings.mutex);
        path = settings.modulePath;
    }
    if (path.empty()) {
        std::error_code error;
        path = std::filesystem::read_symlink("/proc/self/exe", error).string();
        if (error) return 0;
    }
    if (buffer == nullptr || size == 0) return 0;
    // Windows cuts the path to the buffer and says so through the last error.
    if (size <= path.size()) {
        std::memcpy(buffer, path.c_str(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD size) {
    if (longPath == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return port::CopyOut(longPath, buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
    std::error_code error;
    std::string current = std::filesystem::current_path(error).string();
    if (error) return 0;
    return port::CopyOut(current, buffer, size);
}

BOOL SetCurrentDirectoryA(const char* path) {
    if (path == nullptr || chdir(port::WithSlashes(path).c_str()) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

DWORD GetFullPathNameA(const char* name, DWORD size, char* buffer, char** filePart) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string given = port::WithSlashes(name);
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(given, error);
    if (error) return 0;
    std::string text = full.lexically_normal().string();
    // A name ending in "." or ".." names a folder, written without a trailing separator; only a
    // name that itself ends in a separator keeps one.
    if (text.size() > 1 && text.back() == '/' && given.back() != '/') text.pop_back();
    DWORD result = port::CopyOut(text, buffer, size);
    if (filePart != nullptr && result < size && buffer != nullptr) {
        char* slash = std::strrchr(buffer, '/');
        *filePart = (slash != nullptr && slash[1] != '\0') ? slash + 1 : nullptr;
    }
    return result;
}

UINT GetSystemDirectoryA(char* buffer, UINT size) {
    return port::CopyOut("/usr/lib", buffer, size);
}

HRESULT SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, char* path) {
    if (path == nullptr || port::ShouldFail("SHGetFolderPathA")) return E_FAIL;
    const bool create = (folder & CSIDL_FLAG_CREATE) != 0;
    const int id = folder & 0xFF;
    std::string found;
    if (id < 0x24) {
        port::ShellSettings& settings = port::Settings();
        std::lock_guard<std::mutex> lock(settings.mutex);
        found = settings.folders[id];
    }
    if (found.empty()) found = port::DefaultFolder(id);
    while (found.size() > 1 && found.back() == '/')
        found.pop_back();
    if (found.empty() || found.size() >= MAX_PATH) return E_FAIL;
    std::error_code error;
    if (create) std::filesystem::create_directories(found, error);
    if (!std::filesystem::is_directory(found, error)) return E_FAIL;
    std::memcpy(path, found.c_str(), found.size() + 1);
    return S_OK;
}

HINSTANCE ShellExecuteA(HWND, const char*, const char* file, const char* parameters, const char*,
                        int) {
    constexpr uintptr_t kFailed = 5;  // SE_ERR_ACCESSDENIED
    constexpr uintptr_t kDone = 42;
    std::string program = file != nullptr ? file : "";
    std::string link;
    std::vector<std::string> argv;
    if (port::IsLink(program)) {
        link = program;
        argv = {"xdg-open", link};
    } else if (parameters != nullptr && port::IsLink(parameters)) {
        link = parameters;
        // The program a host names is used when it exists here; the old default browser name
        // means the system's opener.
        bool usable = !program.empty() && program.find(".exe") == std::string::npos;
        argv = {usable ? program : std::string("xdg-open"), link};
    } else {
        port::Log("ShellExecute refused: %s %s", program.c_str(), parameters ? parameters : "");
        return reinterpret_cast<HINSTANCE>(kFailed);
    }
    if (port::ShouldFail("ShellExecuteA")) return reinterpret_cast<HINSTANCE>(kFailed);
    std::function<bool(const std::vector<std::string>&)> launcher;
    {
        port::ShellSettings& settings = port::Settings();
        std::lock_guard<std::mutex> lock(settings.mutex);
        launcher = settings.launcher;
    }
    bool started = launcher ? launcher(argv) : port::Launch(argv);
    return reinterpret_cast<HINSTANCE>(started ? kDone : kFailed);
}
