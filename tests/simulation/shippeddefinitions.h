// The game's own definitions for the simulation's tests: the tuning file and the 102 definition
// files of the repository's "assets/xml/logic/" (the build names the folder), read through the
// game's loaders once per test program.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "foundation/xml/xmlnode.h"
#include "simulation/nameregistry.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/globaldata.h"

namespace simtest {

class ShippedDefinitions {
public:
    // The registry with every definition loaded; its game parameters are the shipped ones.
    static const GNameRegistry& Get() {
        static const ShippedDefinitions loaded;
        return loaded.mNames;
    }

    static const GCreatureData& Creature(const char* fullName) {
        const GCreatureData* block = Get().FindCreatureDefinition(fullName);
        if (block == nullptr) ADD_FAILURE() << "no creature definition " << fullName;
        static const GCreatureData empty;
        return block != nullptr ? *block : empty;
    }
    static const GLocationData& Location(const char* fullName) {
        const GLocationData* block = Get().FindLocationDefinition(fullName);
        if (block == nullptr) ADD_FAILURE() << "no location definition " << fullName;
        static const GLocationData empty;
        return block != nullptr ? *block : empty;
    }

private:
    ShippedDefinitions() {
        const std::string folder = std::string("::") + UMBRAVA_ASSETS_DIR + "/xml/logic/";
        TXmlNode main, nicknames;
        main.LoadFile((folder + "main.xml").c_str());
        nicknames.LoadFile((folder + "names.xml").c_str());
        GameParams::Load(mParams, First(main), First(nicknames), mNames);
        mNames.SetGameParams(&mParams);
        mNames.LoadDefinitionFiles(folder.c_str());
    }
    static TXmlNode* First(const TXmlNode& document) {
        return document.GetChildren().empty() ? nullptr : document.GetChildren().front();
    }

    GlobalData mParams;
    GNameRegistry mNames;
};

}  // namespace simtest
