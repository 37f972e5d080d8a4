// A new game on the world driver from a main file whose "World" and "Prescriptions" come from
// the input: the game's own "xml/logic/main.xml" with the text from its "<World>" to the end of
// its "</Prescriptions>" replaced by the input's bytes. The logic loads, a new game starts and the
// world runs a hundred ticks with the views refreshed. Aborts when a scheduled task names an
// object that is not in the world (the driver's check).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/file/fileindex.h"
#include "support/tempdir.h"
#include "support/worlddriver.h"

namespace {

const char* const kMainFile = "xml/logic/fuzz_main.xml";

// The game's main file, the start and end of the part the input replaces.
struct MainText {
    std::string head;
    std::string tail;
};

const MainText& Shipped() {
    static const MainText text = [] {
        const std::string whole = testing_support::ReadFileBytes(
            testing_support::WorldDriver::AssetFolder() + "/xml/logic/main.xml");
        const std::string endTag = "</Prescriptions>";
        const size_t from = whole.find("<World>");
        const size_t to = whole.find(endTag);
        if (from == std::string::npos || to == std::string::npos || to < from) std::abort();
        return MainText{whole.substr(0, from), whole.substr(to + endTag.size())};
    }();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MainText& shipped = Shipped();
    const std::string main =
        shipped.head + std::string(reinterpret_cast<const char*>(data), size) + shipped.tail;
    testing_support::WorldDriverOptions options;
    options.mainFile = kMainFile;
    options.allTutorialFlags = (size % 2) == 1;
    {
        RegisterMemoryFile(kMainFile, main.data(), static_cast<uint32_t>(main.size()));
        testing_support::WorldDriver driver(options);
        if (!driver.Ticks(100)) {
            std::fprintf(stderr, "%s\n", driver.Problem().c_str());
            std::abort();
        }
    }
    RegisterMemoryFile(kMainFile, nullptr, 0);
    return 0;
}
