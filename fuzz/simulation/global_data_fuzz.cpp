// The saved "GlobalData" element: loaded, saved, loaded into a fresh object and saved again; the
// two saved texts must be equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    if (document.GetChildren().empty()) return 0;
    GlobalData first;
    first.Load(document.GetChildren()[0]);
    TXmlNode saved("GlobalData");
    first.Save(&saved);
    GlobalData second;
    second.Load(&saved);
    TXmlNode savedAgain("GlobalData");
    second.Save(&savedAgain);
    if (!(saved.ToString() == savedAgain.ToString())) std::abort();
    for (int id = -2; id < 60; ++id)
        first.GetEventRecord(id);
    return 0;
}
