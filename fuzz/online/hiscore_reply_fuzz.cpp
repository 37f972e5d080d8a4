// The hiscore service's replies: any bytes, read as each of the three kinds. Whatever a reader
// answers must hold together: a failed reply leaves nothing behind, the player's entry lies in
// the table, and only an accepted score can have entered it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "online/hiscoreformats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* reply = reinterpret_cast<const char*>(data);
    str error;

    std::vector<THiscoreCategory> categories;
    if (!ReadCategoriesReply(reply, size, error, categories) && !categories.empty()) std::abort();

    THiscoreTable table;
    int ownEntry = 0;
    const bool passed = ReadScoresReply(reply, size, error, table, ownEntry);
    if (ownEntry < -1 || ownEntry >= table.Count()) std::abort();
    if (!passed && table.Count() != 0) std::abort();

    bool entered = true;
    const THiscoreSubmitOutcome outcome = ReadSubmitReply(reply, size, error, entered);
    if (entered && outcome != THiscoreSubmitOutcome::kScoreAccepted) std::abort();
    return 0;
}
