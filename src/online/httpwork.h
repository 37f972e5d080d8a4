// Internal: the work of one TSimpleHttp request, and the thread that does it.
//
// TSimpleHttp makes an HttpWork with its own copies of the request and hands it to
// StartHttpWork. The worker sends the request over the port's internet calls, fills the reply
// (or the download file), publishes the final state, and then waits until the owner abandons the
// work, when it frees it. The owner never touches the work after AbandonHttpWork.
//
// Shared between the owner and the worker: `state` (written last by the worker, with release,
// after the reply), `abandoned` (set by the owner under `mutex`, which the worker waits on), and
// `stop` (raised by the owner or by the exit guard to end the worker's waits at once). Everything
// else belongs to the worker until the state is final; the reply is read by the owner afterwards.
//
// One process-wide internet session serves every worker, opened on first use and reopened, under
// a lock, when the port reports it invalid. When the process exits, workers still transferring
// are stopped and given a second to end before the program goes on.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "port/http/internetstop.h"
#include "port/http/wininet.h"

namespace online {

// A reply kept in memory: NUL-terminated, grown by doubling up to a cap.
struct HttpReply {
    struct Free {
        void operator()(char* text) const { std::free(text); }
    };
    std::unique_ptr<char, Free> text;
    size_t length = 0;
    size_t capacity = 0;

    // Room for `needed` bytes, terminator included; false beyond the cap or without memory.
    bool Reserve(size_t needed, size_t cap);
};

struct HttpWork {
    std::string url;
    std::string downloadFile;
    std::string formData;
    bool postMode = false;
    uint32_t options = 0;
    HINTERNET session = nullptr;

    HttpReply reply;
    std::atomic<int> state{0};

    port::InternetStop stop;
    std::mutex mutex;
    std::condition_variable released;
    std::atomic<bool> abandoned{false};
};

// The shared session, opened when it is not open yet (null when it cannot be).
HINTERNET SharedInternetSession();

// Runs the work on a detached thread of its own; false (the work untouched) when no thread could
// be started.
bool StartHttpWork(HttpWork* work);
// Stops the work's waits and lets its worker free it. Owner only, once.
void AbandonHttpWork(HttpWork* work);

}  // namespace online
