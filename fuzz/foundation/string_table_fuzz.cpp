// The string table's scan of spreadsheet files (plain or "ZXML") and the expansion of the texts it
// found: every label is looked up, with arguments that are placeholders themselves.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/prefs/stringtable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TStringTable table;
    table.LoadText(reinterpret_cast<const char*>(data), size);
    std::vector<str> flash;
    table.GetFlashText(flash);
    str previous = "%%";
    int looked = 0;
    for (const str& label : table.GetLabels()) {
        if (++looked > 64) break;
        table.GetString(label, "1", previous, str("%") + label + "%", "%x", "");
        previous = label;
    }
    return 0;
}
