// Where every TTexture gets its data object. The platform object will answer with the display's
// kind (TDxTextureData) once there is a display; until then, and in tests, textures get the
// in-memory kind of memorytexturedata.h. The start-up code points the hook at the platform.
//
// Main thread only.
#pragma once

#include <memory>

class TTextureData;

using TTextureDataMaker = std::unique_ptr<TTextureData> (*)();

// Installs the maker; null restores the in-memory default.
void SetTextureDataMaker(TTextureDataMaker maker);
// A new data object from the installed maker.
std::unique_ptr<TTextureData> CreateTextureData();
