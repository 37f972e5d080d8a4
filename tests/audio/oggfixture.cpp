#include "oggfixture.h"

#include <cmath>
#include <cstring>

#include "audio/oggdatasource.h"
#include "foundation/file/fileindex.h"

namespace audio_testing {

size_t FramesOf(double seconds, int rate) {
    return static_cast<size_t>(std::llround(seconds * rate));
}

std::string SweepOgg(double seconds, int rate, int channels) {
    oggfile::OggSound sound;
    sound.rate = rate;
    sound.channels = channels;
    sound.samples = oggfile::Sweep(rate, channels, FramesOf(seconds, rate));
    return oggfile::WriteOgg(sound);
}

std::vector<int16_t> ReadAll(TSoundDataSource& source, uint32_t count, uint32_t offset) {
    std::vector<int16_t> samples;
    std::vector<uint8_t> buffer(count);
    // Bounded: a source never delivers more than it declares, and a short read is its end.
    for (int guard = 0; guard < 1000000; ++guard) {
        uint32_t got = source.Read(buffer.data(), offset, count);
        if (got >= 2) {
            size_t at = samples.size();
            samples.resize(at + got / 2);
            std::memcpy(samples.data() + at, buffer.data(), got & ~1u);
        }
        offset += got;
        if (got < count) break;
    }
    return samples;
}

void OggFilesTest::SetUp() {
    RegisterOggDataSourceBuilder();
}

MemoryFiles::~MemoryFiles() {
    for (const std::string& name : mNames)
        RegisterMemoryFile(name.c_str(), nullptr, 0);
}

void MemoryFiles::Put(const std::string& name, const std::string& bytes) {
    mBlocks.push_back(bytes);
    mNames.push_back(name);
    RegisterMemoryFile(name.c_str(), mBlocks.back().data(),
                       static_cast<uint32_t>(mBlocks.back().size()));
}

}  // namespace audio_testing
