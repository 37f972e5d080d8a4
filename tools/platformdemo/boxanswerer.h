// The tour's guard against message boxes: a thread of its own, with its own connection to the X
// server (opened before any box, see support/xsession.h), watches the boxes the program shows
// (the control plane's record, which a box enters before it is shown) and answers each with
// Return, so that the tour never waits on one. A box during the tour is a failure: Answered
// tells the tour what was answered.
//
// Made and destroyed on the main thread; the watch runs on its own thread.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platformdemo {

class BoxAnswerer {
public:
    BoxAnswerer();
    // Stops the watch and waits for it.
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // The boxes seen so far, each as "caption: text".
    std::vector<std::string> Answered();

private:
    void Watch(size_t seen);

    std::atomic<bool> mStop{false};
    std::mutex mMutex;
    std::vector<std::string> mAnswered;
    std::thread mThread;
};

}  // namespace platformdemo
