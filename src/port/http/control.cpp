#include "port/http/httpsettings.h"

#include <strings.h>

#include <atomic>
#include <mutex>
#include <set>

#include "port/http/internetobjects.h"
#include "port/portlog.h"

namespace port::http {
namespace {

struct Settings {
    std::mutex mutex;
    std::string extraCaFile;
    control::HttpTimeouts timeouts;
    std::set<std::string> logged;
    std::atomic<bool> loopbackOnly{false};
    std::atomic<int> nameLookups{0};
};

// Never destroyed: worker threads may still read it while the process exits.
Settings& TheSettings() {
    static Settings* settings = new Settings;
    return *settings;
}

}  // namespace

bool LoopbackOnly() {
    return TheSettings().loopbackOnly.load();
}

std::string ExtraCaFile() {
    Settings& settings = TheSettings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    return settings.extraCaFile;
}

control::HttpTimeouts Timeouts() {
    Settings& settings = TheSettings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    return settings.timeouts;
}

void CountNameLookup() {
    TheSettings().nameLookups.fetch_add(1);
}

bool IsLoopbackHost(std::string_view host) {
    return host == "127.0.0.1" || host == "::1" || host == "[::1]" ||
           (host.size() == 9 && strncasecmp(host.data(), "localhost", 9) == 0);
}

void LogOnce(const char* key, const char* line) {
    Settings& settings = TheSettings();
    {
        std::lock_guard<std::mutex> lock(settings.mutex);
        if (!settings.logged.insert(key).second) return;
    }
    Log("%s", line);
}

}  // namespace port::http

namespace port::control {

void SetHttpLoopbackOnly(bool on) {
    http::TheSettings().loopbackOnly.store(on);
}

bool HttpLoopbackOnly() {
    return http::LoopbackOnly();
}

void SetHttpExtraCaFile(const std::string& path) {
    http::Settings& settings = http::TheSettings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.extraCaFile = path;
}

void SetHttpTimeouts(const HttpTimeouts& timeouts) {
    http::Settings& settings = http::TheSettings();
    std::lock_guard<std::mutex> lock(settings.mutex);
    settings.timeouts = timeouts;
}

int HttpNameLookups() {
    return http::TheSettings().nameLookups.load();
}

void ResetHttp() {
    http::Settings& settings = http::TheSettings();
    {
        std::lock_guard<std::mutex> lock(settings.mutex);
        settings.extraCaFile.clear();
        settings.timeouts = HttpTimeouts{};
        settings.logged.clear();
    }
    settings.loopbackOnly.store(false);
    settings.nameLookups.store(0);
    http::CloseAllInternetHandles();
}

}  // namespace port::control
