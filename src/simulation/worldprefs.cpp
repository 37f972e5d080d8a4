#include "simulation/worldprefs.h"

#include "foundation/prefs/prefs.h"

namespace {

constexpr int kGlobalUser = -1;

}  // namespace

int GWorldPrefs::GetCurrentUser() const {
    return mPrefs != nullptr ? mPrefs->GetInt("curuser", kGlobalUser, kGlobalUser) : kGlobalUser;
}

int GWorldPrefs::GetInt(const str& key, int fallback) const {
    return mPrefs != nullptr ? mPrefs->GetInt(key, fallback, GetCurrentUser()) : fallback;
}

void GWorldPrefs::SetInt(const str& key, int value, bool save) {
    if (mPrefs != nullptr) mPrefs->SetInt(key, value, GetCurrentUser(), save);
}
