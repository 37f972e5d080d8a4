// What the hiscore client's tests share: a fake hiscore service the client is pointed at through a
// "hiscoreserver.txt" in the test's own current folder, a program folder of the test's own (where
// the library tests put the stand-in server library), the settings the client reads, short time
// limits, and local records written and read back through the store.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "hiscorefixture.h"
#include "online/bvhiscores.h"
#include "online/hiscorestore.h"
#include "platform/platform.h"
#include "port/control.h"
#include "support/fakehiscore.h"

namespace hiscore_testing {

constexpr const char kGame[] = "umbrava";
constexpr const char kUnableToConnect[] = "Unable to connect to server. Please try again later.";

inline THiscoreEntry Local(const char* name, int score, const char* guid, bool submitted = false) {
    THiscoreEntry entry;
    entry.name = name;
    entry.score = score;
    entry.guid = guid;
    entry.gameData = str::Format("data-%s", guid);
    entry.submitted = submitted;
    return entry;
}

class HiscoreClientTest : public HiscoreTest {
protected:
    void SetUp() override {
        HiscoreTest::SetUp();
        ASSERT_TRUE(mService.IsRunning());
        ASSERT_EQ(chdir(mDir.Path().c_str()), 0);
        std::filesystem::create_directories(mDir.File("bin"));
        port::control::SetModulePath(mDir.File("bin/umbrava"));
        TPlatform::SetConfig("encryptionkey", kKey);
        TPlatform::SetConfig("bvgamehandle", kGame);
        TPlatform::SetConfig("version", "1.2");
        port::control::HttpTimeouts timeouts;
        timeouts.connectMs = 2000;
        timeouts.idleMs = 300;
        timeouts.requestMs = 900;
        port::control::SetHttpTimeouts(timeouts);
        PointAt(mService.Url() + "\r\n");
    }

    // The "hiscoreserver.txt" of the current folder.
    void PointAt(const std::string& text) {
        ASSERT_TRUE(testing_support::WriteFileBytes(mDir.File("hiscoreserver.txt"), text));
    }
    void WriteHiscoreXml(const std::string& inner) {
        ASSERT_TRUE(testing_support::WriteFileBytes(mDir.File("hiscore.xml"),
                                                    "<hiscore>" + inner + "</hiscore>"));
    }

    std::unique_ptr<TBvHiscores> MakeClient(const char* player = "Ann",
                                            const char* mode = "classic") {
        auto client = std::make_unique<TBvHiscores>(true);
        client->SetParameter(TBvHiscores::kPlayer, player);
        client->SetParameter(TBvHiscores::kGameMode, mode);
        return client;
    }

    // Polls until the request ends (10 s at most); the error text and the out flag as Poll left
    // them.
    int Finish(TBvHiscores& client, std::string* error = nullptr, bool* entered = nullptr) {
        char buffer[256] = "untouched";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int state = TBvHiscores::kRunning;
        while ((state = client.Poll(buffer, sizeof buffer, entered)) == TBvHiscores::kRunning &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (error != nullptr) *error = buffer;
        return state;
    }

    void SaveStore(const THiscoreStore& store) {
        store.Save(mCrypt);
        ASSERT_FALSE(GetStore().empty());
    }
    THiscoreStore LoadStore() {
        THiscoreStore store(false);
        store.Load(mCrypt);
        return store;
    }
    // A store whose "classic" table holds these entries.
    void SaveLocal(std::vector<THiscoreEntry> entries) {
        THiscoreStore store(true);
        store.Tables()["classic"] = THiscoreTable{"classic", std::move(entries)};
        SaveStore(store);
    }

    testing_support::FakeHiscoreService mService{kKey};
};

}  // namespace hiscore_testing
