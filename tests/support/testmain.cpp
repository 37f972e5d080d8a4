// The main of every test program: GoogleTest and GoogleMock, a home folder of the program's own,
// and the process-wide state put back before and after each test (support/teststate.h).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/teststate.h"

namespace {

class ResetAroundEachTest : public testing::EmptyTestEventListener {
public:
    explicit ResetAroundEachTest(const testing_support::ProcessState& state) : mState(state) {}

    // Before the fixture is made, and after it is gone.
    void OnTestStart(const testing::TestInfo&) override { mState.Reset(); }
    void OnTestEnd(const testing::TestInfo&) override { mState.Reset(); }

private:
    const testing_support::ProcessState& mState;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    testing_support::ProcessState state;
    testing::UnitTest::GetInstance()->listeners().Append(new ResetAroundEachTest(state));
    return RUN_ALL_TESTS();
}
