// The import of the older preference layout: an XML document beginning with "<>". Without an
// encryption key its top elements are the data; with one, the element "data1" holds the data's
// XML text, enciphered as base64 in its attribute "data", and "data2" a checksum of that text.
// The data: one element "install" per installation (attribute "bvinstallkey"), whose child
// elements are its slots in order, each slot's values being the child's attributes.
#include <cstdint>
#include <string>

#include "foundation/log.h"
#include "foundation/prefs/prefs.h"
#include "foundation/xml/xmlnode.h"

namespace {

// XOR of every byte, read as a signed byte widened to 32 bits, shifted by 8 times its position
// modulo 4.
int32_t LegacyChecksum(const str& text) {
    uint32_t sum = 0;
    const char* bytes = text.c_str();
    for (unsigned int i = 0; i < text.Length(); ++i) {
        const int32_t widened = static_cast<int8_t>(bytes[i]);
        sum ^= static_cast<uint32_t>(widened) << (8 * (i % 4));
    }
    return static_cast<int32_t>(sum);
}

str Lowered(str text) {
    text.ToLower();
    return text;
}

}  // namespace

void TPrefs::ImportLegacySlot(TXmlNode& element, TPrefsValues& slot) {
    element.ResetAttributes();
    str name;
    str value;
    while (element.GetNextAttribute(name, value)) {
        const size_t bytes = static_cast<size_t>(value.Length()) + 1;
        if (!prefsfile::PairFits(name, bytes)) {
            LogPrintf("Old-format preference '%s' too large to keep", name.c_str());
            continue;
        }
        slot[name] = std::string(value.c_str(), bytes);
    }
}

void TPrefs::ImportLegacy() {
    TXmlNode document;
    TXmlNode decoded;
    const TXmlNode* root = &document;
    if (mEncryptionKey.Length() == 0) {
        document.LoadFile(mFileName);
        // Without the key an enciphered file shows no installations: it must not be lost.
        if (document.FindChild("install") == nullptr) {
            LogPrintf("Old-format preference file %s holds no installations: nothing imported",
                      mFileName.c_str());
            mNeedsBackup = true;
        }
    } else {
        document.LoadFile(mFileName);
        const TXmlNode* data = document.FindChild("data1");
        const TXmlNode* checksum = document.FindChild("data2");
        bool intact = false;
        if (data != nullptr && checksum != nullptr) {
            const str text = mCrypt.DecryptString(data->GetAttribute("data"));
            intact = checksum->GetAttribute("data").ToInt() == LegacyChecksum(text);
            if (intact) decoded.ParseString(text.c_str(), text.Length());
        }
        if (!intact) {
            LogPrintf("Old-format preference file %s fails its checksum: nothing imported",
                      mFileName.c_str());
            mNeedsBackup = true;
        }
        root = &decoded;
    }

    str text;
    switch (ReadInstallFile(text)) {
        case InstallFile::kRead:
            mInstallKey = Lowered(text);
            break;
        case InstallFile::kEmpty:
            if (const TXmlNode* first = root->FindChild("install"))
                mInstallKey = Lowered(first->GetAttribute("bvinstallkey"));
            break;
        case InstallFile::kMissing:
            break;
    }

    for (TXmlNode* install : root->GetChildren()) {
        if (install->GetName() != str("install") || install->GetChildren().empty()) continue;
        TPrefsSlots& slots = mInstalls[Lowered(install->GetAttribute("bvinstallkey"))];
        const TXmlNodeList& elements = install->GetChildren();
        for (size_t j = 0; j < elements.size(); ++j) {
            if (j > static_cast<size_t>(prefsfile::kLargestSlot)) {
                LogPrintf("Old-format preferences: slots above %d dropped",
                          prefsfile::kLargestSlot);
                break;
            }
            slots.resize(j + 1);
            ImportLegacySlot(*elements[j], slots[j]);
        }
    }
    SelectCurrent();
}
