// TVecFontCache: the fonts of the text layout by name, so that each font file is read once. The
// platform object owns the one cache (GetVecFont and ClearVecFonts reach it); its fonts live
// until ClearVecFonts at the teardown.
//
// A name, once looked up, stays in the map, with its font or with none. "__DEFAULT" is built from
// a copy of the program's built-in font (builtinfont.h). Any other name not yet there is read
// whole through the file layer into a new font; when that file does not open,
// "fonts/default.mvec" is read in its place, and when that does not open either, the built-in
// font's bytes; when no font could be built, "Font not found: %s" is logged.
//
// Main thread only.
#pragma once

#include <map>
#include <memory>

#include "foundation/str.h"

class TVecFont;

class TVecFontCache {
public:
    static constexpr const char* kDefaultFontName = "fonts/default.mvec";
    static constexpr const char* kBuiltinFontName = "__DEFAULT";

    TVecFontCache();
    ~TVecFontCache();
    TVecFontCache(const TVecFontCache&) = delete;
    TVecFontCache& operator=(const TVecFontCache&) = delete;

    // The font of the name, loading it on first use; null when there is none.
    TVecFont* Get(const str& name);
    // Deletes every font and empties the map.
    void Clear();
    size_t GetSize() const { return mFonts.size(); }

private:
    std::map<str, std::unique_ptr<TVecFont>> mFonts;
};

// The application object's cache: Get and Clear of its platform object's cache; null and nothing
// without an application object.
TVecFont* GetVecFont(const str& name);
void ClearVecFonts();
