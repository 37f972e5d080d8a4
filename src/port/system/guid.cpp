#include "port/system/guid.h"

#include <sys/random.h>

#include <cstring>

#include "port/failinjection.h"

HRESULT CoCreateGuid(GUID* guid) {
    if (guid == nullptr || port::ShouldFail("CoCreateGuid")) return E_FAIL;
    uint8_t bytes[16];
    size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n <= 0) return E_FAIL;
        got += static_cast<size_t>(n);
    }
    std::memcpy(&guid->Data1, bytes, 4);
    std::memcpy(&guid->Data2, bytes + 4, 2);
    std::memcpy(&guid->Data3, bytes + 6, 2);
    std::memcpy(guid->Data4, bytes + 8, 8);
    // A version-4 (random) GUID.
    guid->Data3 = static_cast<uint16_t>((guid->Data3 & 0x0FFF) | 0x4000);
    guid->Data4[0] = static_cast<uint8_t>((guid->Data4[0] & 0x3F) | 0x80);
    return S_OK;
}
