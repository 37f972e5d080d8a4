#include "foundation/log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <mutex>

namespace logfile {
const char* const kWrapBanner =
    "\n\n\n\n ****************** LOG WRAP AROUND ******************\n\n\n\n";
}  // namespace logfile

namespace {

struct LogState {
    std::mutex mutex;
    str path;
    long position = 0;
};

LogState& State() {
    static LogState* state = new LogState;  // never destroyed: global destructors may still log
    return *state;
}

}  // namespace

void SetLogFile(const char* folder) {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (folder == nullptr) {
        state.path = str();
        return;
    }
    if (str(folder).Find("__MEMORYMAX__") == 0) return;
    if (access(folder, F_OK) != 0) mkdir(folder, 0777);
    state.path = str(folder) + "/logfile.txt";
    if (state.path.Length() > 0) {
        std::remove(state.path.c_str());
        state.position = 0;
    }
}

void LogVPrintf(const char* format, va_list args) {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.path.Length() == 0) return;

    FILE* file = std::fopen(state.path.c_str(), "r+");
    if (file == nullptr) file = std::fopen(state.path.c_str(), "w");

    char stamp[64];
    time_t now = std::time(nullptr);
    if (ctime_r(&now, stamp) == nullptr) stamp[0] = '\0';
    str line(stamp);
    if (line.Length() > 0) line.Erase(line.Length() - 1);  // ctime's newline
    line = str::Format("%s: ", line.c_str()) + str::FormatV(format, args) + "\n";

    if (file == nullptr) return;
    if (state.position <= logfile::kCeiling) {
        std::fseek(file, state.position, SEEK_SET);
    } else {
        std::fseek(file, logfile::kWrapPosition, SEEK_SET);
        state.position = logfile::kWrapPosition;
        std::fputs(logfile::kWrapBanner, file);
    }
    std::fputs(line.c_str(), file);
    long end = std::ftell(file);
    if (end >= 0) state.position = end;
    std::fclose(file);
}

void LogPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogVPrintf(format, args);
    va_end(args);
}

str GetLogPath() {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.path;
}

int GetLogWritePosition() {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return static_cast<int>(state.position);
}
