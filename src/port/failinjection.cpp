#include "port/failinjection.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "port/control.h"
#include "port/system/lasterror.h"

namespace port {

constinit std::atomic<bool> gCallHooksOn{false};

namespace {

struct FailureTable {
    std::mutex mutex;
    std::map<std::string, control::Failure> armed;
    std::atomic<bool> anyArmed{false};
    std::atomic<bool> logging{false};
    std::vector<control::LoggedCall> log;
};

FailureTable& Failures() {
    static FailureTable* table = new FailureTable;
    return *table;
}

// With the table locked, after its armed failures or its logging changed.
void UpdateHooksLocked(const FailureTable& table) {
    gCallHooksOn.store(table.anyArmed || table.logging, std::memory_order_release);
}

// With the table locked: true, with the armed code, when this call fails.
bool TakeLocked(FailureTable& table, const CallInfo& call, uint32_t* code) {
    auto it = table.armed.find(call.operation);
    if (it == table.armed.end()) return false;
    control::Failure& failure = it->second;
    if (failure.when && !failure.when(call)) return false;
    if (failure.after > 0) {
        --failure.after;
        return false;
    }
    *code = failure.code;
    if (failure.count > 0 && --failure.count == 0) {
        table.armed.erase(it);
        table.anyArmed = !table.armed.empty();
        UpdateHooksLocked(table);
    }
    return true;
}

}  // namespace

bool CallInfo::Has(const char* name) const {
    for (const CallArg& arg : args) {
        if (std::strcmp(arg.name, name) == 0) return true;
    }
    return false;
}

int64_t CallInfo::Arg(const char* name, int64_t missing) const {
    for (const CallArg& arg : args) {
        if (std::strcmp(arg.name, name) == 0) return arg.value;
    }
    return missing;
}

std::string CallInfo::Brief() const {
    std::string text;
    for (const CallArg& arg : args) {
        char value[32];
        if (arg.hex) {
            std::snprintf(value, sizeof value, "0x%" PRIX64, static_cast<uint64_t>(arg.value));
        } else {
            std::snprintf(value, sizeof value, "%" PRId64, arg.value);
        }
        if (!text.empty()) text += ' ';
        text += arg.name;
        text += '=';
        text += value;
    }
    return text;
}

bool ShouldFail(const char* operation) {
    FailureTable& table = Failures();
    if (!table.anyArmed) return false;
    uint32_t error = 0;
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        if (!TakeLocked(table, CallInfo{operation, {}}, &error)) return false;
    }
    SetLastError(error);
    return true;
}

bool ShouldFailCall(const CallInfo& call, HRESULT* result) {
    FailureTable& table = Failures();
    if (!table.anyArmed) return false;
    uint32_t code = 0;
    std::lock_guard<std::mutex> lock(table.mutex);
    if (!TakeLocked(table, call, &code)) return false;
    *result = static_cast<HRESULT>(code);
    return true;
}

void RecordCall(const CallInfo& call, HRESULT result) {
    FailureTable& table = Failures();
    if (!table.logging) return;
    control::LoggedCall entry{call.operation, call.Brief(), result};
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.logging) table.log.push_back(std::move(entry));
}

namespace control {

void InjectFailure(const char* operation, Failure failure) {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (failure.count == 0) {
        table.armed.erase(operation);
    } else {
        table.armed[operation] = std::move(failure);
    }
    table.anyArmed = !table.armed.empty();
    UpdateHooksLocked(table);
}

void InjectFailure(const char* operation, DWORD error, int count) {
    Failure failure;
    failure.code = error;
    failure.count = count;
    InjectFailure(operation, std::move(failure));
}

void ClearFailures() {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.armed.clear();
    table.anyArmed = false;
    table.logging = false;
    table.log.clear();
    UpdateHooksLocked(table);
}

void KeepCallLog(bool on) {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.log.clear();
    table.logging = on;
    UpdateHooksLocked(table);
}

std::vector<LoggedCall> CallLog() {
    FailureTable& table = Failures();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.log;
}

}  // namespace control
}  // namespace port
