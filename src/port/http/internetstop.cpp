#include "port/http/internetstop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace port {
namespace {
thread_local const InternetStop* tStop = nullptr;
}

InternetStop::InternetStop() : mWake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

InternetStop::~InternetStop() {
    if (mWake >= 0) close(mWake);
}

void InternetStop::Raise() {
    mRaised.store(true, std::memory_order_release);
    if (mWake >= 0) {
        uint64_t one = 1;
        // The counter is never read back, so the descriptor stays readable; a full counter
        // (EAGAIN) is readable too.
        [[maybe_unused]] ssize_t written = write(mWake, &one, sizeof one);
    }
}

void SetThreadInternetStop(const InternetStop* stop) {
    tStop = stop;
}

const InternetStop* ThreadInternetStop() {
    return tStop;
}

}  // namespace port
