// A Lua state whose files come from a folder of its own: the test runs inside a fresh temporary
// folder with an empty file index, no archives and no hidden names; Put writes a file below
// "assets" and Pack an archive there, and Scan indexes them as the program's start-up does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "foundation/file/assetfolder.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "luascript.h"
#include "support/tempdir.h"

class ScriptFilesTest : public LuaScriptTest {
protected:
    void SetUp() override {
        LuaScriptTest::SetUp();
        ASSERT_EQ(chdir(mDir.Path().c_str()), 0);
        std::filesystem::create_directories(mDir.File("assets"));
    }

    void Put(const std::string& name, const std::string& bytes) {
        std::filesystem::path path = mDir.File("assets/" + name);
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(testing_support::WriteFileBytes(path.string(), bytes));
    }
    void Pack(const std::string& archive, const std::vector<bvpack::Member>& members) {
        std::string error;
        ASSERT_TRUE(bvpack::WriteArchive(members, mDir.File("assets/" + archive), &error)) << error;
    }
    static void Scan() {
        ClearFileIndex();
        ScanAssetFolder("", "assets");
    }

    testing_support::TempDir mDir;
};

// UTF-16 little-endian text with its byte-order mark.
inline std::string Utf16File(const std::u16string& text) {
    std::string out = "\xFF\xFE";
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}
