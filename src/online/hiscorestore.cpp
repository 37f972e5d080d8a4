#include "online/hiscorestore.h"

#include <climits>
#include <cstring>
#include <memory>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/safefile.h"
#include "foundation/log.h"
#include "foundation/prefs/crypt.h"
#include "foundation/xml/xmlnode.h"
#include "foundation/xml/zxml.h"
#include "foundation/saturate.h"

namespace {

const char kFileName[] = "user:hiscore.dat";
const char kDeclaration[] = "<?xml version=\"1.0\"?>\n";
const char kChecksumMismatch[] = "HiScores: Checksum did not match! Ignoring saved score data.\n";

// The trailer: the checksum's four bytes enciphered, one cipher block.
constexpr size_t kTrailerSize = 8;

bool IsSet(const TXmlNode* node, const char* name) {
    return TextToInt(node->GetAttribute(name)) >= 1;
}

void SetIfGiven(TXmlNode* node, const char* name, const str& value) {
    if (value.Length() != 0) node->SetAttribute(name, value);
}

THiscoreTable ReadTable(const TXmlNode* score) {
    THiscoreTable table;
    table.name = score->GetAttribute("name");
    for (const TXmlNode* row : score->GetChildren()) {
        if (row->GetName() != str("row")) continue;
        THiscoreEntry entry;
        entry.rank = TextToInt(row->GetAttribute("rank"));
        entry.score = TextToInt(row->GetAttribute("score"));
        entry.submitted = IsSet(row, "submit");
        entry.guid = row->GetAttribute("guid");
        entry.name = row->GetAttribute("name");
        entry.gameData = row->GetAttribute("gameData");
        entry.serverData = row->GetAttribute("serverData");
        entry.version = row->GetAttribute("version");
        entry.anonymous = true;
        table.entries.push_back(std::move(entry));
    }
    return table;
}

THiscoreMedalRecord ReadMedals(const TXmlNode* medals) {
    THiscoreMedalRecord record;
    for (const TXmlNode* node : medals->GetChildren()) {
        if (node->GetName() != str("medal")) continue;
        THiscoreMedal medal;
        medal.name = node->GetAttribute("medalname");
        medal.scope = node->GetAttribute("type");
        medal.mode = node->GetAttribute("mode");
        medal.gameData = node->GetAttribute("gameData");
        medal.submitted = IsSet(node, "submit");
        record.medals.push_back(std::move(medal));
    }
    return record;
}

void Append(std::string& text, TXmlNode& node) {
    const str written = node.ToString();
    text.append(written.c_str(), written.Length());
}

// The text of a file of more than one block, up to its first NUL; false when the checksum does
// not match or the body does not decipher to whole blocks holding a NUL and 1 to 8 pad bytes.
bool Unseal(TCrypt& crypt, const char* data, size_t size, std::unique_ptr<char[]>& text,
            size_t& length) {
    const size_t bodySize = size - kTrailerSize;
    // The cipher counts in int; a file that large was never written by the store.
    if (size > INT_MAX || bodySize % 8 != 0) return false;
    const int body = static_cast<int>(bodySize);

    unsigned char trailer[kTrailerSize] = {};
    if (crypt.Decrypt(data + body, kTrailerSize, trailer, kTrailerSize, false) != 0 ||
        crypt.LastLength() < 4)
        return false;
    const uint32_t stored =
        static_cast<uint32_t>(trailer[0]) | static_cast<uint32_t>(trailer[1]) << 8 |
        static_cast<uint32_t>(trailer[2]) << 16 | static_cast<uint32_t>(trailer[3]) << 24;
    if (stored != HiscoreChecksum(data, bodySize)) return false;

    text.reset(new char[bodySize]);
    if (crypt.Decrypt(data, body, text.get(), body, false) != 0) return false;
    const int kept = crypt.LastLength();
    if (kept <= 0 || body - kept < 1 || body - kept > 8) return false;
    const char* end =
        static_cast<const char*>(std::memchr(text.get(), 0, static_cast<size_t>(kept)));
    if (end == nullptr) return false;
    length = static_cast<size_t>(end - text.get());
    return true;
}

}  // namespace

uint32_t HiscoreChecksum(const char* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum ^= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * (i % 4));
    return sum;
}

void THiscoreStore::Clear() {
    mTables.clear();
    mMedals.clear();
    mLogins.clear();
}

THiscoreTable* THiscoreStore::FindLocalTable(const char* mode) {
    if (mode == nullptr) return nullptr;
    auto found = mTables.find(str(mode));
    return found != mTables.end() ? &found->second : nullptr;
}

void THiscoreStore::ReadText(const char* text, size_t length) {
    // The store writes plain text only; a compressed text would let a file inflate far beyond
    // its own size.
    if (IsZxml(text, length)) return;
    TXmlNode document;
    document.ParseString(text, length);
    for (TXmlNode* node : document.GetChildren()) {
        const str name = node->GetName();
        if (name == str("user")) {
            THiscoreLogin login;
            login.player = node->GetAttribute("player");
            login.name = node->GetAttribute("name");
            login.password = node->GetAttribute("pass");
            const str key = login.player;
            mLogins[key] = std::move(login);
        } else if (name == str("score")) {
            if (node->FindChild("row") == nullptr) continue;
            THiscoreTable table = ReadTable(node);
            const str key = table.name;
            mTables[key] = std::move(table);
        } else if (name == str("medals")) {
            const str player = node->GetAttribute("user");
            if (player.Length() == 0) continue;
            mMedals[player] = ReadMedals(node);
        }
    }
}

std::string THiscoreStore::MakeText() const {
    std::string text = kDeclaration;
    for (const auto& [player, login] : mLogins) {
        TXmlNode user("user");
        user.SetAttribute("player", login.player);
        user.SetAttribute("name", login.name);
        user.SetAttribute("pass", login.password);
        Append(text, user);
    }
    for (const auto& [mode, table] : mTables) {
        TXmlNode score("score");
        score.SetAttribute("name", table.name);
        for (const THiscoreEntry& entry : table.entries) {
            TXmlNode* row = score.AddChild("row");
            row->SetAttributeInt("rank", entry.rank);
            row->SetAttributeInt("score", entry.score);
            row->SetAttributeInt("submit", entry.submitted ? 1 : 0);
            SetIfGiven(row, "guid", entry.guid);
            SetIfGiven(row, "name", entry.name);
            SetIfGiven(row, "gameData", entry.gameData);
            SetIfGiven(row, "serverData", entry.serverData);
            SetIfGiven(row, "version", entry.version);
        }
        Append(text, score);
    }
    for (const auto& [player, record] : mMedals) {
        TXmlNode medals("medals");
        medals.SetAttribute("user", player);
        for (const THiscoreMedal& medal : record.medals) {
            TXmlNode* node = medals.AddChild("medal");
            node->SetAttribute("medalname", medal.name);
            node->SetAttribute("type", medal.scope);
            node->SetAttribute("mode", medal.mode);
            node->SetAttribute("gameData", medal.gameData);
            node->SetAttributeInt("submit", medal.submitted ? 1 : 0);
        }
        Append(text, medals);
    }
    return text;
}

void THiscoreStore::ReadFile(TCrypt& crypt, const char* data, size_t size) {
    Clear();
    if (data == nullptr || size <= kTrailerSize) return;
    std::unique_ptr<char[]> text;
    size_t length = 0;
    if (!Unseal(crypt, data, size, text, length)) {
        LogPrintf(kChecksumMismatch);
        return;
    }
    ReadText(text.get(), length);
}

std::string THiscoreStore::MakeFile(TCrypt& crypt) const {
    return SealHiscoreFile(crypt, MakeText());
}

std::string SealHiscoreFile(TCrypt& crypt, const std::string& text) {
    // The text goes with its NUL.
    const int length = static_cast<int>(text.size()) + 1;
    const int sealedSize = crypt.Encrypt(text.c_str(), length, nullptr, 0, false);
    std::string file(static_cast<size_t>(sealedSize) + kTrailerSize, '\0');
    crypt.Encrypt(text.c_str(), length, file.data(), sealedSize, false);

    const uint32_t sum = HiscoreChecksum(file.data(), static_cast<size_t>(sealedSize));
    const char sumBytes[4] = {static_cast<char>(sum & 0xFF), static_cast<char>(sum >> 8 & 0xFF),
                              static_cast<char>(sum >> 16 & 0xFF),
                              static_cast<char>(sum >> 24 & 0xFF)};
    crypt.Encrypt(sumBytes, 4, file.data() + sealedSize, kTrailerSize, false);
    return file;
}

void THiscoreStore::Load(TCrypt& crypt) {
    std::string bytes;
    std::string problem;
    const TWholeFile outcome =
        ReadWholeFile(kFileName, kFileReadBinary, kLargestFile, bytes, problem);
    if (outcome != TWholeFile::kRead) {
        Clear();
        if (outcome != TWholeFile::kMissing)
            LogPrintf("HiScores: %s not read: %s. Ignoring saved score data.\n", kFileName,
                      problem.c_str());
        return;
    }
    ReadFile(crypt, bytes.data(), bytes.size());
}

void THiscoreStore::Save(TCrypt& crypt) const {
    if (!mSaving) return;
    const std::string bytes = MakeFile(crypt);
    const str path = ResolvePath(kFileName, false);
    if (path.Length() == 0) {
        LogPrintf("HiScores: no user data folder; score data not saved\n");
        return;
    }
    std::string problem;
    if (!ReplaceFileSafely(path, bytes.data(), bytes.size(), problem))
        LogPrintf("HiScores: score data not saved to %s (%s); the old file is kept\n", path.c_str(),
                  problem.c_str());
}
