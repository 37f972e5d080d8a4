// prefs_kill_test [ROUNDS [SEED]]: kills a process that is saving a large preference store, at
// random moments, ROUNDS times (250 by default), and checks after every kill that the file on disk
// is one whole store: every record reads, and every value belongs to one generation, the one
// already seen or a later one. Each round's process loads the store the last one left, so a
// damaged file would also show as a store that does not load. At the end one save runs to its end
// in this process: it must leave no temporary file behind.
//
// A generation is a store of kValues values of kValueBytes each, all made from its number, plus
// the number itself under "generation". The kills land anywhere in the saving process's life:
// while it builds and enciphers the file, writes the temporary file, syncs it or renames it.
// Exit status 0 when every round passed; each failure is one line on the error stream.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "foundation/file/fileindex.h"
#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefs.h"
#include "foundation/prefs/prefsfile.h"
#include "foundation/settingsmap.h"
#include "support/tempdir.h"

namespace {

constexpr char kKey[] = "KillTest1234";
constexpr char kInstall[] = "kill-test";
constexpr int kValues = 16;
constexpr size_t kValueBytes = 64 * 1024;

std::string ValueName(int i) {
    return "value" + std::to_string(i);
}

// Value i of generation g: its numbers first, then a filler that differs from one generation
// and one value to the next.
std::string Value(int g, int i) {
    char head[32];
    std::string value(head, static_cast<size_t>(std::snprintf(head, sizeof head, "g%di%d:", g, i)));
    value.resize(kValueBytes, static_cast<char>('a' + (g * 7 + i) % 26));
    return value;
}

void StoreGeneration(TPrefs& prefs, int g) {
    for (int i = 0; i < kValues; ++i)
        prefs.SetString(ValueName(i).c_str(), Value(g, i).c_str(), 0, false);
    prefs.SetInt("generation", g, -1, false);
}

// The generation the file holds, or -1 (with the reason on the error stream) when it is not one
// whole store.
int CheckFile(const std::string& path) {
    const std::string bytes = testing_support::ReadFileBytes(path);
    TCrypt crypt(kKey);
    TPrefsInstalls installs;
    const TPrefsReadOutcome outcome = ReadPrefsRecords(bytes.data(), bytes.size(), crypt, installs);
    if (outcome.damaged) {
        std::fprintf(stderr, "the file (%zu bytes) is damaged at byte %zu: %s\n", bytes.size(),
                     outcome.problemOffset, outcome.problem);
        return -1;
    }
    const TPrefsSlots& slots = installs[kInstall];
    if (slots.size() != 2) {
        std::fprintf(stderr, "the file (%zu bytes) holds %zu slots, not 2\n", bytes.size(),
                     slots.size());
        return -1;
    }
    auto stored = slots[0].find("generation");
    if (stored == slots[0].end()) {
        std::fprintf(stderr, "the file holds no generation\n");
        return -1;
    }
    const int g = std::atoi(stored->second.c_str());
    for (int i = 0; i < kValues; ++i) {
        auto value = slots[1].find(ValueName(i).c_str());
        if (value == slots[1].end() || value->second != Value(g, i) + '\0') {
            std::fprintf(stderr, "value %d is not that of generation %d\n", i, g);
            return -1;
        }
    }
    return g;
}

// The saving process: loads the store, then saves one generation after the other until it is
// killed. It writes one byte to ready once loaded.
[[noreturn]] void SaveForever(int ready) {
    TPrefs prefs(true);
    int g = prefs.GetInt("generation", -1, -1);
    if (g < 0) {
        std::fprintf(stderr, "the saving process found no store to start from\n");
        _exit(2);
    }
    const char byte = 1;
    if (write(ready, &byte, 1) != 1) _exit(2);
    for (;;) {
        StoreGeneration(prefs, ++g);
        prefs.Save();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 250;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10))
                                   : std::random_device()();
    std::mt19937 random(seed);

    testing_support::TempDir dir;
    SetUserDataRoot(dir.Path().c_str());
    TSettingsMap::GetInstance().Set("encryptionkey", kKey);
    TSettingsMap::GetInstance().Set("installkey", kInstall);
    const std::string file = dir.File("prefs.dat");
    const std::string temporary = file + ".tmp";

    // Generation 0, saved here; its saves also tell how long one takes.
    std::chrono::microseconds saveTime{0};
    {
        TPrefs prefs(true);
        StoreGeneration(prefs, 0);
        constexpr int kTimed = 3;
        const auto start = std::chrono::steady_clock::now();
        for (int n = 0; n < kTimed; ++n)
            prefs.Save();
        saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start) /
                   kTimed;
    }
    // Anywhere in the next three saves.
    std::uniform_int_distribution<long> delay(0, 3 * saveTime.count() + 1);

    int failures = 0;
    int seen = 0;
    int temporaryLeft = 0;
    int advanced = 0;
    for (int round = 0; round < rounds && failures == 0; ++round) {
        int ready[2];
        if (pipe(ready) != 0) {
            std::perror("pipe");
            return 1;
        }
        const pid_t child = fork();
        if (child < 0) {
            std::perror("fork");
            return 1;
        }
        if (child == 0) {
            close(ready[0]);
            SaveForever(ready[1]);
        }
        close(ready[1]);
        char byte;
        const bool loaded = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (loaded) usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (!loaded) {
            std::fprintf(stderr, "round %d: the saving process did not load the store\n", round);
            ++failures;
            break;
        }
        const int g = CheckFile(file);
        if (g < 0 || g < seen) {
            if (g >= 0) std::fprintf(stderr, "generation %d follows generation %d\n", g, seen);
            std::fprintf(stderr, "round %d (seed %u) failed\n", round, seed);
            ++failures;
            break;
        }
        if (g > seen) ++advanced;
        seen = g;
        if (std::filesystem::exists(temporary)) ++temporaryLeft;
    }

    // A save that runs to its end takes any leftover temporary file with it.
    if (failures == 0) {
        TPrefs prefs(true);
        StoreGeneration(prefs, seen + 1);
        prefs.Save();
        if (std::filesystem::exists(temporary)) {
            std::fprintf(stderr, "a whole save left %s behind\n", temporary.c_str());
            ++failures;
        }
        if (CheckFile(file) != seen + 1) {
            std::fprintf(stderr, "the last save is not on disk\n");
            ++failures;
        }
    }
    std::printf(
        "%d rounds (seed %u, one save %lld us): %d found a newer store, %d left a temporary "
        "file, %d failed\n",
        rounds, seed, static_cast<long long>(saveTime.count()), advanced, temporaryLeft, failures);
    return failures == 0 ? 0 : 1;
}
