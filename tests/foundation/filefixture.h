// A working folder of its own for tests of the file layer: the test runs inside a fresh temporary
// folder (so "assets" and the manifest are its own), with the log written into the folder. The
// file index, archives, hidden names, data roots and settings start empty, as for every test
// (support/teststate.h).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "foundation/file/assetfolder.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"
#include "port/control.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "support/tempdir.h"
#include "support/teststate.h"

class FileLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(mDir.Path().c_str()), 0);
        SetLogFile(mDir.File("log").c_str());
    }
    // Empties the file layer and the settings again, between the cases of one test.
    static void Reset() {
        testing_support::ForgetFiles();
        TSettingsMap::GetInstance().Clear();
    }

    // Writes a file below the test's folder, making its folders.
    void Put(const std::string& relative, const std::string& bytes) {
        std::filesystem::path path = mDir.File(relative);
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(testing_support::WriteFileBytes(path.string(), bytes));
    }
    std::string Get(const std::string& relative) const {
        return testing_support::ReadFileBytes(mDir.File(relative));
    }
    std::string LogText() const {
        return testing_support::ReadFileBytes(mDir.File("log/logfile.txt"));
    }
    // How many times the log holds the text.
    size_t CountInLog(const std::string& text) const {
        return testing_support::CountOccurrences(LogText(), text);
    }

    testing_support::TempDir mDir;
};
