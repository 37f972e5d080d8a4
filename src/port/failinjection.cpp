#include "port/failinjection.h"

#include <map>
#include <mutex>
#include <string>

#include "port/control.h"
#include "port/system/lasterror.h"

namespace port {
namespace {

struct Armed {
    DWORD error;
    int count;
};

struct FailureTable {
    std::mutex mutex;
    std::map<std::string, Armed> armed;
};

FailureTable& Failures() {
    static FailureTable* table = new FailureTable;
    return *table;
}

}  // namespace

bool ShouldFail(const char* operation) {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.armed.empty()) return false;
    auto it = table.armed.find(operation);
    if (it == table.armed.end()) return false;
    DWORD error = it->second.error;
    if (it->second.count > 0 && --it->second.count == 0) table.armed.erase(it);
    SetLastError(error);
    return true;
}

namespace control {

void InjectFailure(const char* operation, DWORD error, int count) {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (count == 0) {
        table.armed.erase(operation);
    } else {
        table.armed[operation] = Armed{error, count};
    }
}

void ClearFailures() {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.armed.clear();
}

}  // namespace control
}  // namespace port
