// The game's tuning file and nickname pool: the input's first element is read as
// "xml/logic/main.xml", its second (or the first again) as "xml/logic/names.xml", twice over the
// same global data, which then draws names, hunger coefficients and ark points.
#include <cstddef>
#include <cstdint>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    const auto& tops = document.GetChildren();
    if (tops.empty()) return 0;
    TXmlNode* main = tops[0];
    TXmlNode* names = tops.size() > 1 ? tops[1] : tops[0];
    GNameRegistry registry;
    GlobalData params;
    GameParams::Load(params, main, names, registry);
    GameParams::Load(params, main, names, registry);
    for (int i = 0; i < 8; ++i) {
        params.PickRandomName();
        params.RandomHungerAddCoef();
        params.GetArkPartPoint(i - 4, i * 1000003 - 5);
    }
    params.GetCurrentLevel();
    params.CheckPiranhas();
    return 0;
}
