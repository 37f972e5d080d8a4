#include "foundation/xml/zxml.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "foundation/file/inflate.h"
#include "foundation/log.h"

namespace {

constexpr size_t kHeader = 12;
constexpr int32_t kLargestUnpacked = 64 * 1024 * 1024;

int32_t LittleEndian32(const char* data) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
        static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

bool Refuse(std::string* problem, const str& reason) {
    if (problem != nullptr) {
        *problem = reason.c_str();
    } else {
        LogPrintf("%s", reason.c_str());
    }
    return false;
}

}  // namespace

bool IsZxml(const char* data, size_t length) {
    return data != nullptr && length >= 4 && std::memcmp(data, "ZXML", 4) == 0;
}

bool UnpackZxml(const char* data, size_t length, std::unique_ptr<char[]>& text, size_t& textLength,
                std::string* problem) {
    text.reset();
    textLength = 0;
    if (length < kHeader) {
        return Refuse(problem, str::Format("ZXML data cut short: %u bytes",
                                           static_cast<unsigned int>(length)));
    }
    const int32_t packed = LittleEndian32(data + 4);
    const int32_t unpacked = LittleEndian32(data + 8);
    if (packed < 0 || static_cast<size_t>(packed) > length - kHeader || unpacked < 0 ||
        unpacked > kLargestUnpacked) {
        return Refuse(problem,
                      str::Format("ZXML sizes out of range: packed %d, unpacked %d, %u bytes",
                                  packed, unpacked, static_cast<unsigned int>(length)));
    }
    // Left uninitialised: only what the stream produces is read.
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(unpacked) + 1]);
    unsigned long produced = static_cast<unsigned long>(unpacked);
    const int status = Inflate(reinterpret_cast<unsigned char*>(buffer.get()), &produced,
                               reinterpret_cast<const unsigned char*>(data) + kHeader,
                               static_cast<unsigned long>(packed));
    if (status != Z_OK) {
        return Refuse(problem, str::Format("ZXML data does not inflate (zlib status %d)", status));
    }
    buffer[produced] = '\0';
    text = std::move(buffer);
    textLength = produced;
    return true;
}
