// GameParams::Load: reads the game's tuning file ("xml/logic/main.xml") and the nickname pool
// ("xml/logic/names.xml") into the world's GlobalData (globaldata.h). The world's logic loading
// calls it at start and for every new game, then hands GlobalData to the names registry.
//
// Every step has its own presence rule, and they differ: some keys change a value only when
// given; in other elements an absent key reads 0; a few elements reset their values to the
// defaults when they are missing. Integers are read as saved integers (atoi rules, clamped to the
// 32-bit range), 16-bit fields keep the low 16 bits, floats are read as the string's ToFloat.
// Main thread only.
#pragma once

class GNameRegistry;
class GlobalData;
class TXmlNode;

namespace GameParams {

// The most mini-game points all ranges together may add; further points are dropped (logged).
constexpr int kMaxMiniGamePoints = 65536;

// Nothing is read without root or namesList. names turns task names into task kinds.
void Load(GlobalData& data, TXmlNode* root, TXmlNode* namesList, const GNameRegistry& names);

}  // namespace GameParams
