// A stop signal for the internet calls of one thread, raised by another: our own addition to the
// internet calls (port/http/wininet.h), not a Windows one. A blocked internet call ends early
// only when another thread closes its handle, and InternetOpenUrlA has no handle to close before
// it answers; so a worker that its owner may abandon ties its calls to a signal instead, and the
// owner raises it.
//
// Once the signal is raised, a call of the tied thread that waits on the network wakes at once
// and fails with ERROR_INTERNET_OPERATION_CANCELLED, and so does every later call that would
// wait. Raise and Raised: any thread.
#pragma once

#include <atomic>

namespace port {

class InternetStop {
public:
    InternetStop();
    ~InternetStop();
    InternetStop(const InternetStop&) = delete;
    InternetStop& operator=(const InternetStop&) = delete;

    void Raise();
    bool Raised() const { return mRaised.load(std::memory_order_acquire); }
    // Internal: a descriptor that turns readable once the signal is raised (-1 when none could
    // be made; waits then look at the signal every quarter second).
    int WakeDescriptor() const { return mWake; }

private:
    std::atomic<bool> mRaised{false};
    int mWake;
};

// Ties the internet calls this thread makes from now on to the signal; null unties them. The
// signal must outlive the tie.
void SetThreadInternetStop(const InternetStop* stop);
// Internal: the signal of the calling thread, or null.
const InternetStop* ThreadInternetStop();

}  // namespace port
