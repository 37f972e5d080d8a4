// The preference file's costs: every save with save on writes and enciphers the whole store, saved
// worlds included, and the store is read once at start-up. Measured on a store like the game's:
// a few users' settings and two saved worlds of the given size. And the string table: scanning a
// file of a few thousand rows, and a lookup with a placeholder.
#include <benchmark/benchmark.h>

#include <string>

#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefsfile.h"
#include "foundation/prefs/stringtable.h"

namespace {

TPrefsInstalls GameStore(size_t worldSize) {
    TPrefsInstalls installs;
    TPrefsSlots& slots = installs["c:\\games\\umbrava\\"];
    slots.resize(4);
    slots[0]["curuser"] = std::string("1\0", 2);
    for (size_t user = 1; user < slots.size(); ++user) {
        for (const char* key : {"name", "soundlevel", "musiclevel", "soundoff", "game_save_slot"})
            slots[user][key] = std::string("12345\0", 6);
    }
    std::string world(worldSize, 'w');
    world.back() = '\0';
    slots[1]["SavedWorld0"] = world;
    slots[1]["SavedWorld1"] = world;
    return installs;
}

void BM_PrefsWrite(benchmark::State& state) {
    TCrypt crypt("QuietRiverSt");
    const TPrefsInstalls installs = GameStore(static_cast<size_t>(state.range(0)));
    std::string out;
    std::string problem;
    for (auto _ : state) {
        WritePrefsRecords(crypt, "c:\\games\\umbrava\\", installs, out, problem);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(out.size()));
}
BENCHMARK(BM_PrefsWrite)->Arg(64 * 1024)->Arg(1024 * 1024);

void BM_PrefsRead(benchmark::State& state) {
    TCrypt crypt("QuietRiverSt");
    std::string file;
    std::string problem;
    WritePrefsRecords(crypt, "c:\\games\\umbrava\\", GameStore(static_cast<size_t>(state.range(0))),
                      file, problem);
    for (auto _ : state) {
        TPrefsInstalls installs;
        ReadPrefsRecords(file.data(), file.size(), crypt, installs);
        benchmark::DoNotOptimize(&installs);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_PrefsRead)->Arg(64 * 1024)->Arg(1024 * 1024);

std::string Sheet(int rows) {
    std::string out = "<?xml version=\"1.0\"?>\n<Workbook>\n <Worksheet>\n  <Table>\n";
    for (int row = 0; row < rows; ++row) {
        out += "   <Row ss:AutoFitHeight=\"0\">\n    <Cell><Data ss:Type=\"String\">LABEL_" +
               std::to_string(row) +
               "</Data></Cell>\n    <Cell><Data ss:Type=\"String\">Your tribe found %1% "
               "berries &amp; some water near the old tree.</Data></Cell>\n   </Row>\n";
    }
    return out + "  </Table>\n </Worksheet>\n</Workbook>\n";
}

void BM_StringTableScan(benchmark::State& state) {
    const std::string sheet = Sheet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TStringTable table;
        table.LoadText(sheet.data(), sheet.size());
        benchmark::DoNotOptimize(table.GetCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sheet.size()));
}
BENCHMARK(BM_StringTableScan)->Arg(4000);

void BM_StringTableLookup(benchmark::State& state) {
    const std::string sheet = Sheet(4000);
    TStringTable table;
    table.LoadText(sheet.data(), sheet.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(table.GetString("LABEL_1234", "250"));
}
BENCHMARK(BM_StringTableLookup);

}  // namespace
