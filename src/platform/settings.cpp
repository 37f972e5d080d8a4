// The settings operations of the application object: the store is TSettingsMap; what setting a
// key sets off lives in its change observer, so writers that reach the table directly get the
// same effects once the platform layer is in use.
#include <atomic>

#include "foundation/prefs/crypt.h"
#include "foundation/settingsmap.h"
#include "platform/platform.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"

namespace {

std::atomic<bool> gLegacyLineWrap{false};

void ApplySideEffects(const str& key, const str& value) {
    if (key == settingkey::kEncryptionKey || key == settingkey::kCheatCode)
        TPlatform::UpdateCheatMode();
    if (key == settingkey::kLegacyLineWrap) gLegacyLineWrap.store(true);
    if (TPlatform* app = TPlatform::GetInstance()) app->GetPlatform()->ApplySetting(key, value);
}

}  // namespace

void TPlatform::SetConfig(const str& key, const str& value) {
    TSettingsMap& settings = TSettingsMap::GetInstance();
    settings.SetObserver(&ApplySideEffects);
    settings.Set(key, value);
}

str TPlatform::GetConfig(const str& key, const str& fallback) {
    return TSettingsMap::GetInstance().Get(key, fallback);
}

void TPlatform::UpdateCheatMode() {
    str code = GetConfig(settingkey::kCheatCode, "");
    str key = GetConfig(settingkey::kEncryptionKey, "");
    if (code.Length() == 0 || key.Length() == 0) return;
    str deciphered = TCrypt(key).DecryptString(code);
    // An empty result never matches: a code that deciphers to nothing is no code.
    bool match = deciphered.Length() > 0 && deciphered == GetConfig(settingkey::kComputerId, "");
    SetConfig(settingkey::kCheatMode, match ? "1" : "0");
}

bool IsEnabled(const str& key) {
    return TPlatform::GetConfig(key, "").ToInt() != 0;
}

bool IsLegacyLineWrap() {
    return gLegacyLineWrap.load();
}
