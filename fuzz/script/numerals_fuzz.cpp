// The numeral readers of scripts: the bytes as a NUL-terminated byte string, and as 16-bit
// units (low byte first) ending at a zero unit.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "script/lua/numconv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    bytes.push_back('\0');
    lua_Number n = 0;
    if (luaO_str2d(bytes.data(), &n)) {
        char text[LUAI_MAXNUMBER2STR];
        lua_number2str(text, n);
    }
    std::vector<char16_t> units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    units.push_back(0);
    luaO_wstr2d(units.data(), &n);
    luaO_clampint(n);
    luaO_wrapint(n);
    return 0;
}
