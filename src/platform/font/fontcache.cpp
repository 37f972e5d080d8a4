#include "platform/font/fontcache.h"

#include <string>
#include <vector>

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "platform/font/builtinfont.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/win32platform.h"

namespace {

// The whole file, or false when it does not open or cannot be read whole (logged).
bool ReadFontFile(const str& name, std::vector<uint8_t>* bytes) {
    std::string read;
    std::string problem;
    const TWholeFile outcome = ReadWholeFile(name, kFileReadBinary, kLargestFile, read, problem);
    if (outcome == TWholeFile::kMissing) return false;
    if (outcome != TWholeFile::kRead) {
        LogPrintf("Font %s not read: %s", name.c_str(), problem.c_str());
        return false;
    }
    bytes->assign(read.begin(), read.end());
    return true;
}

}  // namespace

TVecFontCache::TVecFontCache() = default;

TVecFontCache::~TVecFontCache() {
    Clear();
}

TVecFont* TVecFontCache::Get(const str& name) {
    auto found = mFonts.find(name);
    if (found != mFonts.end()) return found->second.get();
    std::vector<uint8_t> bytes;
    // The built-in font answers its own name, and stands in when neither the named file nor the
    // default font file opens.
    if (name == kBuiltinFontName ||
        (!ReadFontFile(name, &bytes) && !ReadFontFile(kDefaultFontName, &bytes))) {
        bytes.assign(kBuiltinVecFont, kBuiltinVecFont + kBuiltinVecFontSize);
    }
    std::unique_ptr<TVecFont> font = std::make_unique<TVecFont>(std::move(bytes));
    if (font == nullptr) LogPrintf("Font not found: %s", name.c_str());
    TVecFont* answer = font.get();
    mFonts.emplace(name, std::move(font));
    return answer;
}

void TVecFontCache::Clear() {
    mFonts.clear();
}

TVecFont* GetVecFont(const str& name) {
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetPlatform()->GetFontCache().Get(name) : nullptr;
}

void ClearVecFonts() {
    TPlatform* platform = TPlatform::GetInstance();
    if (platform != nullptr) platform->GetPlatform()->GetFontCache().Clear();
}
