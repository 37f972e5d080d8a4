// Ogg files for the data source tests, made by the test (tools/oggwriter) and registered as
// memory files for the rest of the test, with the decoded PCM the plain decoder gives for them.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/sounddatasource.h"
#include "support/logcapture.h"
#include "oggwriter.h"

namespace audio_testing {

// A sweep of the given length (a different sound at every moment), as an Ogg file.
std::string SweepOgg(double seconds, int rate = 44100, int channels = 2);
// Samples frames × channels of it.
size_t FramesOf(double seconds, int rate);

// Every byte the source delivers from an offset on, read count bytes at a time.
std::vector<int16_t> ReadAll(TSoundDataSource& source, uint32_t count = 4096, uint32_t offset = 0);

// Bytes readable as files of their names while the object lives.
class MemoryFiles {
public:
    MemoryFiles() = default;
    // The file index points into the blocks: it lets go before they go.
    ~MemoryFiles();
    MemoryFiles(const MemoryFiles&) = delete;
    MemoryFiles& operator=(const MemoryFiles&) = delete;

    void Put(const std::string& name, const std::string& bytes);

private:
    std::deque<std::string> mBlocks;
    std::vector<std::string> mNames;
};

// The Ogg builder registered, as the application object does.
class OggFilesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void Put(const std::string& name, const std::string& bytes) { mFiles.Put(name, bytes); }

    testing_support::LogCapture mLog;
    MemoryFiles mFiles;
};

}  // namespace audio_testing
