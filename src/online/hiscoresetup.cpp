#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/file/regularfile.h"
#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "online/hiscoreclient.h"
#include "platform/platform.h"

namespace {

const char kServerFile[] = "hiscoreserver.txt";
const char kHiscoreXml[] = "::hiscore.xml";
// The file holds two short texts.
constexpr uint32_t kLargestHiscoreXml = 64 * 1024;
// The first line of the server file is read into this many bytes, its NUL included.
constexpr int kServerLineSize = 512;

str Setting(const char* key) {
    return TPlatform::GetConfig(key, "");
}

// The values of prefix1, prefix2, ... up to the first empty one.
std::vector<str> NumberedSettings(const char* prefix) {
    std::vector<str> values;
    for (int number = 1;; ++number) {
        str value = Setting(str::Format("%s%d", prefix, number).c_str());
        if (value.Length() == 0) return values;
        values.push_back(value);
    }
}

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

str ReadHiscoreServerFile(const char* path) {
    // Through the file layer's regular-file open: a pipe or device of that name would otherwise
    // hold the start-up in fopen or fgets. Anything but a regular file counts as no file.
    const char* kind = nullptr;
    const int descriptor = OpenRegularFile(path, O_RDONLY, &kind);
    if (descriptor < 0) return str();
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        close(descriptor);
        return str();
    }
    char line[kServerLineSize];
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* start = line;
    size_t length = read ? std::strlen(line) : 0;
    while (length > 0 && IsTrimmed(*start)) {
        ++start;
        --length;
    }
    while (length > 0 && IsTrimmed(start[length - 1]))
        --length;
    const str address(start, static_cast<int>(length));
    if (length == 0) {
        LogPrintf("HiScore server file %s is empty: ignored\n", path);
        return str();
    }
    if (!StartsWith(address.c_str(), "http://") && !StartsWith(address.c_str(), "https://")) {
        LogPrintf("HiScore server file %s names no http:// or https:// address: ignored\n", path);
        return str();
    }
    return address;
}

void CopyHiscoreText(const str& text, char* buffer, int size) {
    if (buffer == nullptr || size < 1) return;
    const size_t count =
        std::min(static_cast<size_t>(text.Length()), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.c_str(), count);
    buffer[count] = '\0';
}

TBvHiscores::Impl::Impl(const str& cipherKey, bool saving)
    : key(cipherKey),
      http(std::make_unique<TSimpleHttp>()),
      store(saving),
      crypt(std::make_unique<TCrypt>(cipherKey)) {}

TBvHiscores::Impl::~Impl() {
    globalTable = THiscoreTable();
    categories.clear();
    crypt.reset();
    store.Clear();
    http.reset();
    if (library.IsLoaded()) {
        if (server != 0) library.Exports().freeLocalServer(server);
        library.Unload();
    }
}

void TBvHiscores::Impl::ReadSetup() {
    game = Setting("bvgamehandle");
    if (game.Length() == 0) game = Setting("gamename");
    version = Setting("version");
    store.Load(*crypt);
    LoadServerLibrary();
    ReadHiscoreXml();
    const str address = ReadHiscoreServerFile(kServerFile);
    if (address.Length() != 0) {
        serverUrl = address;
        // Submissions, passwords included, go wherever the file points.
        LogPrintf("HiScore server address from %s: %s\n", kServerFile, address.c_str());
    }
}

void TBvHiscores::Impl::LoadServerLibrary() {
    if (!library.Load(ProgramFolder())) return;
    const THiscoreServerExports& exports = library.Exports();
    server = exports.createLocalServer();
    if (Setting("bvgamehandle").Length() == 0) {
        if (exports.loadServerDefFile != nullptr) exports.loadServerDefFile(server);
        return;
    }
    const std::vector<str> modes = NumberedSettings("bvgamemodename");
    const std::vector<str> medals = NumberedSettings("bvgamemedalname");
    if (modes.empty() || exports.setServerInfo == nullptr) return;
    std::vector<const char*> modeTexts;
    for (const str& m : modes)
        modeTexts.push_back(m.c_str());
    std::vector<const char*> medalTexts;
    for (const str& m : medals)
        medalTexts.push_back(m.c_str());
    exports.setServerInfo(
        server, game.c_str(), key.c_str(), modeTexts.data(), static_cast<int>(modeTexts.size()),
        medalTexts.empty() ? nullptr : medalTexts.data(), static_cast<int>(medalTexts.size()));
}

void TBvHiscores::Impl::ReadHiscoreXml() {
    TXmlNode document;
    document.LoadFile(kHiscoreXml, kLargestHiscoreXml);
    const TXmlNode* hiscore = document.FindChild("hiscore");
    if (hiscore == nullptr) return;
    if (const TXmlNode* fixed = hiscore->FindChild("language")) {
        language = fixed->GetText();
        languageFixed = true;
    }
    if (const TXmlNode* error = hiscore->FindChild("defaulterror")) defaultError = error->GetText();
}
