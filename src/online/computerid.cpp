#include "online/computerid.h"

#include <cstring>

#include "port/system/guid.h"

str MakeComputerId(const uint8_t address[8]) {
    uint8_t a[8];
    std::memcpy(a, address, sizeof(a));
    a[6] = a[3];
    a[7] = a[4];
    str id;
    for (int i = 0; i < 8; ++i) {
        uint8_t x = a[i] ^ a[(i + 1) % 8];
        id += static_cast<char>(64 + (x & 31));
        id += static_cast<char>(66 + i + (x >> 5));
    }
    return id;
}

str GetComputerId() {
    GUID guid{};
    CoCreateGuid(&guid);  // on failure the zeroed GUID still gives a valid text
    uint8_t bytes[sizeof(GUID)];
    std::memcpy(bytes, &guid, sizeof(GUID));
    return MakeComputerId(bytes);
}
