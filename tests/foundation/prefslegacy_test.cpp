// The import of the older XML preference layout, which is rewritten in the record layout at once.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefs.h"
#include "prefsfixture.h"
#include "support/printers.h"

namespace {

using prefs_testing::kKey;
using prefs_testing::ListRecords;
using Names = std::vector<std::string>;

// The data of two installations; the slots of each are its child elements in order.
const char kData[] =
    "<install bvinstallkey=\"Test-Install\">"
    "<global curuser=\"1\"/>"
    "<user name=\"Ada\" soundlevel=\"70\"/>"
    "<user name=\"Bo\"/>"
    "</install>"
    "<install bvinstallkey=\"Elsewhere\"><global curuser=\"0\"/></install>"
    "<install bvinstallkey=\"NoSlots\"></install>";

int32_t Checksum(const std::string& text) {
    uint32_t sum = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int32_t byte = static_cast<signed char>(text[i]);
        sum ^= static_cast<uint32_t>(byte) << ((i & 3) * 8);
    }
    return static_cast<int32_t>(sum);
}

std::string Enciphered(const std::string& text) {
    TCrypt crypt(kKey);
    const int needed =
        crypt.Encrypt(text.c_str(), static_cast<int>(text.size()) + 1, nullptr, 0, true);
    std::string out(static_cast<size_t>(needed), '\0');
    crypt.Encrypt(text.c_str(), static_cast<int>(text.size()) + 1, out.data(), needed, true);
    out.pop_back();
    return out;
}

std::string LegacyFile(const std::string& data, int32_t checksum) {
    return "<>\n<data1 data=\"" + Enciphered(data) + "\"/>\n<data2 data=\"" +
           std::to_string(checksum) + "\"/>\n";
}

class PrefsLegacyTest : public prefs_testing::PrefsTest {};

TEST_F(PrefsLegacyTest, ChecksumOfNonAsciiBytes) {
    // Bytes from 0x80 are negative and spread over the whole word.
    EXPECT_EQ(Checksum("\x80"), static_cast<int32_t>(0xFFFFFF80u));
    EXPECT_EQ(Checksum("ab"), 0x61 ^ (0x62 << 8));
}

TEST_F(PrefsLegacyTest, ImportWithRightChecksumIsRewrittenAsRecords) {
    PutPrefs(LegacyFile(kData, Checksum(kData)));
    {
        TPrefs prefs(false);
        EXPECT_EQ(prefs.GetInstallKey(), str("test-install"));
        EXPECT_EQ(prefs.GetUserCount(), 2);
        EXPECT_EQ(prefs.GetInt("curuser", -1, -1), 1);
        EXPECT_EQ(prefs.GetString("name", "", 0), str("Ada"));
        EXPECT_EQ(prefs.GetInt("soundlevel", 0, 0), 70);
        EXPECT_EQ(prefs.GetString("name", "", 1), str("Bo"));
        // Saving is off: the old file stays.
        EXPECT_EQ(GetPrefs().substr(0, 2), "<>");
    }
    { TPrefs prefs(true); }
    const auto records = ListRecords(GetPrefs());
    std::vector<std::string> tags;
    for (const auto& record : records)
        tags.push_back(record.tag + (record.tag == "IKEY"
                                         ? ":" + std::string(record.payload.c_str())
                                         : std::string()));
    // An installation element without slots adds nothing.
    EXPECT_EQ(tags,
              (Names{"IKEY:test-install", "IKEY:elsewhere", "USER", "KVPR", "IKEY:test-install",
                     "USER", "KVPR", "USER", "KVPR", "KVPR", "USER", "KVPR"}));
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat"}));
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetString("name", "", 1), str("Bo"));
}

TEST_F(PrefsLegacyTest, WrongChecksumImportsNothingAndKeepsABackup) {
    const std::string legacy = LegacyFile(kData, Checksum(kData) + 1);
    PutPrefs(legacy);
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetUserCount(), 0);
        EXPECT_EQ(prefs.GetString("name", "none", 0), str("none"));
    }
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat", "prefs.dat.bak"}));
    EXPECT_EQ(Get("user/prefs.dat.bak"), legacy);
    EXPECT_EQ(ListRecords(GetPrefs()).front().tag, "IKEY");
    EXPECT_NE(LogText().find("fails its checksum"), std::string::npos);

    // Without its checksum element the data cannot be trusted either.
    PutPrefs("<>\n<data1 data=\"" + Enciphered(kData) + "\"/>\n");
    std::filesystem::remove(mDir.File("user/prefs.dat.bak"));
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetUserCount(), 0);
    }
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat", "prefs.dat.bak"}));
}

TEST_F(PrefsLegacyTest, PlainImportWithoutEncryptionKey) {
    TSettingsMap::GetInstance().Set("encryptionkey", "");
    PutPrefs(std::string("<>\n") + kData);
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetString("name", "", 0), str("Ada"));
    }
    EXPECT_EQ(UserFiles(), (Names{"prefs.dat"}));

    // An enciphered file read without the key shows nothing to import: it is kept aside.
    const std::string enciphered = LegacyFile(kData, Checksum(kData));
    PutPrefs(enciphered);
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetUserCount(), 0);
    }
    EXPECT_EQ(Get("user/prefs.dat.bak"), enciphered);
}

TEST_F(PrefsLegacyTest, InstallationKeyFromTheFileOrTheData) {
    struct Case {
        const char* installFile;  // null: no installation file
        const char* key;
        const char* name;
    };
    TSettingsMap::GetInstance().Set("installkey", "FromSetting");
    const Case cases[] = {
        {nullptr, "fromsetting", ""},
        {"", "test-install", "Ada"},  // the first installation element's key
        {"ElseWhere", "elsewhere", ""},
    };
    for (const Case& c : cases) {
        ClearFileIndex();
        std::filesystem::remove_all(mDir.File("assets"));
        if (c.installFile != nullptr) PutInstallFile(c.installFile);
        PutPrefs(LegacyFile(kData, Checksum(kData)));
        TPrefs prefs(false);
        EXPECT_EQ(prefs.GetInstallKey(), str(c.key)) << c.key;
        EXPECT_EQ(prefs.GetString("name", "", 0), str(c.name)) << c.key;
    }
}

TEST_F(PrefsLegacyTest, LaterElementOfTheSameInstallationSetsItsSlotCount) {
    const std::string data =
        "<install bvinstallkey=\"test-install\"><g a=\"1\"/><u a=\"2\"/><u a=\"3\"/></install>"
        "<install bvinstallkey=\"TEST-INSTALL\"><g b=\"4\"/></install>";
    PutPrefs(LegacyFile(data, Checksum(data)));
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetUserCount(), 0);
    EXPECT_EQ(prefs.GetInt("a", 0, -1), 1);
    EXPECT_EQ(prefs.GetInt("b", 0, -1), 4);
}

}  // namespace
