// prefsdump <prefs.dat> <key text> [--full]: prints the records of a preference file, for
// diagnosing a player's save. The key text is the game's "encryptionkey". Values are shown up to
// 160 characters unless --full is given; bytes outside printable ASCII are shown as \xNN. A file
// of the older XML layout is shown as the XML text it holds. Records the game's loading would not
// reach are still listed, below a mark at the record where loading stops; the exit status is then
// 1, as for a damaged file. Not installed with the game.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefsfile.h"
#include "inputfile.h"
#include "toolmain.h"

namespace {

constexpr size_t kShortest = 160;

std::string Printable(const std::string& bytes, bool full) {
    std::string out;
    const size_t shown = full ? bytes.size() : std::min(bytes.size(), kShortest);
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        }
    }
    out = "\"" + out + "\"";
    if (shown < bytes.size()) out += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

// A value as the program stores it ends in its NUL; anything else is shown in full.
std::string Value(const std::string& bytes, bool full) {
    if (!bytes.empty() && bytes.back() == '\0' && bytes.find('\0') == bytes.size() - 1)
        return Printable(bytes.substr(0, bytes.size() - 1), full);
    return Printable(bytes, full) + " (raw bytes)";
}

void PrintRecord(const TPrefsRecord& record, bool full) {
    std::printf("%10zu  %.4s  %8u  ", record.offset, record.tag, record.size);
    int slot;
    str key;
    std::string value;
    switch (record.tag[0]) {
        case 'I':
            std::printf("installation %s\n", Value(record.payload, true).c_str());
            break;
        case 'U':
            if (ReadPrefsSlot(record.payload, slot)) {
                std::printf(slot == 0 ? "slot 0 (global)\n" : "slot %d (user %d)\n", slot,
                            slot - 1);
            } else {
                std::printf("slot record too short\n");
            }
            break;
        case 'K':
            if (ReadPrefsPair(record.payload, key, value)) {
                std::printf("%s = %s\n", Printable(key.c_str(), true).c_str(),
                            Value(value, full).c_str());
            } else {
                std::printf("pair with a bad key length\n");
            }
            break;
        default:
            std::printf("unknown record\n");
            break;
    }
}

int Run(int argc, char** argv) {
    const bool full = argc == 4 && std::strcmp(argv[3], "--full") == 0;
    if (argc != 3 && !full) {
        std::fprintf(stderr, "usage: prefsdump <prefs.dat> <key text> [--full]\n");
        return 2;
    }
    // The game reads its preference file through the file layer, so never one past 2 GiB.
    std::string bytes;
    std::string error;
    if (!tools::ReadInputFile(argv[1], tools::kLargestProgramFile, &bytes, &error)) {
        std::fprintf(stderr, "prefsdump: %s\n", error.c_str());
        return 1;
    }
    TCrypt crypt(argv[2]);

    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '>') {
        std::printf("older XML layout\n%s\n", bytes.c_str());
        const size_t at = bytes.find("data=\"");
        if (at != std::string::npos) {
            const size_t end = bytes.find('"', at + 6);
            const std::string text = bytes.substr(at + 6, end - at - 6);
            std::printf("data1 deciphered:\n%s\n", crypt.DecryptString(text.c_str()).c_str());
        }
        return 0;
    }

    // Where the game's loading stops, when it stops at a record the listing shows.
    TPrefsInstalls installs;
    const TPrefsReadOutcome loading = ReadPrefsRecords(bytes.data(), bytes.size(), crypt, installs);

    std::printf("%10s  %-4s  %8s  %s\n", "offset", "tag", "size", "content");
    TPrefsRecordReader reader(bytes.data(), bytes.size(), crypt);
    TPrefsRecord record;
    TPrefsRecordReader::Result result;
    int count = 0;
    bool stopped = false;
    while ((result = reader.Next(record)) == TPrefsRecordReader::kRecord) {
        PrintRecord(record, full);
        ++count;
        if (loading.damaged && record.offset == loading.problemOffset) {
            std::printf(
                "%10s  loading stops at this record (%s): the game reads neither it nor any "
                "below\n",
                "", loading.problem);
            stopped = true;
        }
    }
    if (result == TPrefsRecordReader::kDamaged) {
        std::printf("damaged at byte %zu: %s (%zu bytes not read)\n", reader.ProblemOffset(),
                    reader.Problem(), bytes.size() - reader.ProblemOffset());
        return 1;
    }
    if (stopped) {
        std::printf("%d records, %zu bytes; loading stops at byte %zu (%s)\n", count, bytes.size(),
                    loading.problemOffset, loading.problem);
        return 1;
    }
    std::printf("%d records, %zu bytes\n", count, bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The file is read whole within its limit, but listing it takes a record's payload at a time
    // on top (up to 64 MiB): memory can still run out.
    return tools::RunReportingThrows(
        std::string("prefsdump: cannot list ") + (argc > 1 ? argv[1] : ""),
        [&] { return Run(argc, argv); });
}
