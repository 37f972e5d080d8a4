// A stand-in for the hiscore server library, loaded by the hiscore client's tests from the
// program folder they set. It works in the current folder, which each test makes its own:
//   - every call is appended to "stub_calls.txt", one line each, its arguments after "|";
//   - HiscoreServer_GetStatus answers the number in "stub_status.txt", else 1 when
//     "stub_reply.xml" exists, else 2;
//   - HiscoreServer_GetContents answers the text of "stub_reply.xml", or null when it reads
//     "NULL".
// Built with HISCORE_STUB_WITHOUT_STATUS it lacks HiscoreServer_GetStatus.
// A .cc file, so that the test program (every .cpp here) leaves it out.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kServer = 7;
char* gContents = nullptr;

const char* Text(const char* text) {
    return text != nullptr ? text : "(null)";
}

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    std::FILE* file = std::fopen("stub_calls.txt", "ab");
    if (file == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}

// The whole file, NUL-terminated, in a block of malloc; null when it does not open.
char* ReadFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return nullptr;
    size_t size = 0;
    char* text = static_cast<char*>(std::malloc(1));
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text = static_cast<char*>(std::realloc(text, size + got + 1));
        std::memcpy(text + size, buffer, got);
        size += got;
    }
    text[size] = '\0';
    std::fclose(file);
    return text;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int HiscoreServer_CreateLocalServer() {
    Log("CreateLocalServer");
    return kServer;
}

__attribute__((visibility("default"))) void HiscoreServer_LoadServerDefFile(int server) {
    Log("LoadServerDefFile|%d", server);
}

__attribute__((visibility("default"))) void HiscoreServer_SetServerInfo(
    int server, const char* game, const char* key, const char** modes, int modeCount,
    const char** medals, int medalCount) {
    char list[1024] = "";
    for (int i = 0; i < modeCount; ++i) {
        std::strncat(list, i == 0 ? "" : ",", sizeof list - std::strlen(list) - 1);
        std::strncat(list, Text(modes[i]), sizeof list - std::strlen(list) - 1);
    }
    std::strncat(list, "|", sizeof list - std::strlen(list) - 1);
    if (medals == nullptr) std::strncat(list, "(null)", sizeof list - std::strlen(list) - 1);
    for (int i = 0; medals != nullptr && i < medalCount; ++i) {
        std::strncat(list, i == 0 ? "" : ",", sizeof list - std::strlen(list) - 1);
        std::strncat(list, Text(medals[i]), sizeof list - std::strlen(list) - 1);
    }
    Log("SetServerInfo|%d|%s|%s|%d|%d|%s", server, Text(game), Text(key), modeCount, medalCount,
        list);
}

__attribute__((visibility("default"))) void HiscoreServer_RequestCategoryInformation(
    int server, const char* game) {
    Log("RequestCategoryInformation|%d|%s", server, Text(game));
}

__attribute__((visibility("default"))) void HiscoreServer_RequestScores(
    int server, const char* game, const char* mode, const char* table, const char* user) {
    Log("RequestScores|%d|%s|%s|%s|%s", server, Text(game), Text(mode), Text(table), Text(user));
}

__attribute__((visibility("default"))) void HiscoreServer_SubmitScore(
    int server, const char* game, const char* mode, const char* name, const char* password,
    const char* guid, const char* version, const char* data, int score, const char* key,
    const char* serverData) {
    Log("SubmitScore|%d|%s|%s|%s|%s|%s|%s|%s|%d|%s|%s", server, Text(game), Text(mode), Text(name),
        Text(password), Text(guid), Text(version), Text(data), score, Text(key), Text(serverData));
}

__attribute__((visibility("default"))) void HiscoreServer_SubmitMedals(
    int server, const char* game, const char* mode, const char* name, const char* password,
    const char* medals, const char* key) {
    Log("SubmitMedals|%d|%s|%s|%s|%s|%s|%s", server, Text(game), Text(mode), Text(name),
        Text(password), Text(medals), Text(key));
}

#ifndef HISCORE_STUB_WITHOUT_STATUS
__attribute__((visibility("default"))) int HiscoreServer_GetStatus(int server) {
    (void)server;
    if (char* status = ReadFile("stub_status.txt")) {
        const int value = std::atoi(status);
        std::free(status);
        return value;
    }
    std::FILE* reply = std::fopen("stub_reply.xml", "rb");
    if (reply == nullptr) return 2;
    std::fclose(reply);
    return 1;
}
#endif

__attribute__((visibility("default"))) const char* HiscoreServer_GetContents(int server) {
    (void)server;
    std::free(gContents);
    gContents = ReadFile("stub_reply.xml");
    if (gContents != nullptr && std::strcmp(gContents, "NULL") == 0) return nullptr;
    return gContents;
}

__attribute__((visibility("default"))) void HiscoreServer_FreeLocalServer(int server) {
    Log("FreeLocalServer|%d", server);
    std::free(gContents);
    gContents = nullptr;
}

}  // extern "C"
