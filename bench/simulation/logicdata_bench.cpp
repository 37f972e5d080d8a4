// Start-up cost of the game-logic data: the 105 files under "xml/logic/" through the game's
// loaders (parameters and nicknames, the 102 definitions with the evolution totals, the messages)
// and the string table's "strings.xml", against the floor of a bare XML parse of the same files.
// The data is the repository's asset folder (UMBRAVA_ASSETS overrides the one the build names).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/file/assetfolder.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/definitions/definitionfiles.h"
#include "simulation/nameregistry.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/messagetable.h"

namespace {

// Indexes the asset folder once, as the program does at start-up.
bool IndexAssets() {
    static const bool indexed = [] {
        const char* given = std::getenv("UMBRAVA_ASSETS");
        const std::filesystem::path assets = given != nullptr ? given : UMBRAVA_ASSETS_DIR;
        if (!std::filesystem::is_directory(assets)) return false;
        if (chdir(assets.parent_path().c_str()) != 0) return false;
        ScanAssetFolder("", "assets");
        return true;
    }();
    return indexed;
}

std::vector<str> LogicFiles() {
    std::vector<str> files = {"xml/logic/main.xml", "xml/logic/names.xml",
                              "xml/logic/messages.xml"};
    for (size_t i = 0; i < kDefinitionFileCount; ++i) {
        files.push_back(str("xml/logic/") + kDefinitionFiles[i] + ".xml");
    }
    return files;
}

TXmlNode* FirstElement(const TXmlNode& document) {
    return document.GetChildren().empty() ? nullptr : document.GetChildren().front();
}

void BM_LoadLogicData(benchmark::State& state) {
    if (!IndexAssets()) {
        state.SkipWithError("no asset folder");
        return;
    }
    for (auto _ : state) {
        GlobalData params;
        GNameRegistry names;
        TXmlNode main, nicknames, messagesFile;
        main.LoadFile("xml/logic/main.xml");
        nicknames.LoadFile("xml/logic/names.xml");
        GameParams::Load(params, FirstElement(main), FirstElement(nicknames), names);
        names.SetGameParams(&params);
        names.LoadDefinitionFiles();
        messagesFile.LoadFile("xml/logic/messages.xml");
        MessageTable messages;
        messages.Load(FirstElement(messagesFile), names);
        TStringTable strings;
        strings.LoadFile("strings.xml");
        benchmark::DoNotOptimize(strings.GetCount());
        benchmark::DoNotOptimize(names.GetEvolutionTotal(2));
    }
}
BENCHMARK(BM_LoadLogicData)->Unit(benchmark::kMillisecond);

// The floor: the same 106 files parsed into element trees and nothing else.
void BM_ParseLogicData(benchmark::State& state) {
    if (!IndexAssets()) {
        state.SkipWithError("no asset folder");
        return;
    }
    std::vector<str> files = LogicFiles();
    files.push_back("strings.xml");
    for (auto _ : state) {
        for (const str& file : files) {
            TXmlNode document;
            document.LoadFile(file);
            benchmark::DoNotOptimize(document.GetChildren().size());
        }
    }
}
BENCHMARK(BM_ParseLogicData)->Unit(benchmark::kMillisecond);

}  // namespace
