#include "boxanswerer.h"

#include <X11/keysym.h>

#include <chrono>

#include "port/window/control.h"
#include "support/xsession.h"

namespace platformdemo {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(50);
// How long a box may take to appear as an X window after it is recorded.
constexpr auto kShowWait = std::chrono::seconds(3);

}  // namespace

BoxAnswerer::BoxAnswerer() {
    // Boxes from before the tour are not its business.
    size_t known = port::control::MessageBoxes().size();
    mThread = std::thread([this, known] { Watch(known); });
}

BoxAnswerer::~BoxAnswerer() {
    mStop = true;
    mThread.join();
}

std::vector<std::string> BoxAnswerer::Answered() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mAnswered;
}

void BoxAnswerer::Watch(size_t seen) {
    testing_support::XSession x;
    while (!mStop) {
        std::vector<port::MessageBoxRecord> boxes = port::control::MessageBoxes();
        if (boxes.size() <= seen) {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        const port::MessageBoxRecord& box = boxes[seen++];
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mAnswered.push_back(box.caption + ": " + box.text);
        }
        if (!x.Connected()) continue;
        testing_support::XWindowId window = 0;
        auto end = std::chrono::steady_clock::now() + kShowWait;
        while (!mStop && (window = x.FindWindow(box.caption)) == 0 &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(kPoll);
        }
        if (window != 0) x.Focus(window);
        x.Tap(XK_Return);
    }
}

}  // namespace platformdemo
