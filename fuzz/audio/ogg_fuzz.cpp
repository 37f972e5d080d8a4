// Any bytes as an Ogg file: opened as a source over a copy in memory and as one streamed from a
// memory file, each read to its end through a spooler, rewound and read again; a short sound is
// also decoded whole.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/memdatasource.h"
#include "audio/oggdatasource.h"
#include "audio/streamspooler.h"
#include "foundation/file/fileindex.h"

namespace {

// Far more than any input of the fuzzer decodes to: a bound, should a read never end.
constexpr int kMostReads = 4096;
constexpr uint32_t kChunk = 16384;
// Whole decodes only of what a short input can really hold.
constexpr uint64_t kLargestWholeDecode = 8u << 20;

void ReadToEnd(TStreamSpooler& spooler, std::vector<uint8_t>& buffer) {
    uint32_t written = 0;
    for (int i = 0; i < kMostReads; ++i) {
        if (!spooler.Read(kChunk, buffer.data(), written, false)) return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    RegisterMemoryFile("fuzz.ogg", data, static_cast<uint32_t>(size));
    std::vector<uint8_t> buffer(kChunk);
    for (bool stream : {false, true}) {
        auto source = std::make_shared<TOggDataSource>();
        if (!source->Open("fuzz.ogg", stream)) continue;
        TStreamSpooler spooler(source);
        ReadToEnd(spooler, buffer);
        spooler.Rewind();
        ReadToEnd(spooler, buffer);
        if (!stream && source->GetTotalBytes() <= kLargestWholeDecode) {
            std::shared_ptr<TMemDataSource> decoded = TMemDataSource::Decode(source);
            if (decoded != nullptr) {
                TStreamSpooler whole(decoded);
                ReadToEnd(whole, buffer);
            }
        }
    }
    RegisterMemoryFile("fuzz.ogg", nullptr, 0);
    return 0;
}
