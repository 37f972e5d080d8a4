// GUIDs, the runtime generator, the process, version data and modules.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "port/control.h"
#include "port/system/crtrandom.h"
#include "port/system/guid.h"
#include "port/system/lasterror.h"
#include "port/system/module.h"
#include "port/system/process.h"
#include "port/system/sync.h"
#include "port/system/version.h"
#include "support/tempdir.h"

namespace {

TEST(GuidTest, FreshAndRandom) {
    GUID a{}, b{};
    ASSERT_EQ(CoCreateGuid(&a), S_OK);
    ASSERT_EQ(CoCreateGuid(&b), S_OK);
    EXPECT_NE(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(a.Data3 >> 12, 4);
    EXPECT_EQ(CoCreateGuid(nullptr), E_FAIL);
}

TEST(CrtRandomTest, RangeAndSequence) {
    CrtSrand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(CrtRand(), value);
    CrtSrand(12345);
    for (int i = 0; i < 10000; ++i) {
        int value = CrtRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

struct ExitCalled : std::runtime_error {
    explicit ExitCalled(int c) : std::runtime_error("exit"), code(c) {}
    int code;
};

TEST(ProcessTest, ExitIsCaught) {
    port::control::SetExitHandler([](int code) { throw ExitCalled(code); });
    try {
        ExitProcess(3);
    } catch (const ExitCalled& e) {
        EXPECT_EQ(e.code, 3);
    }
    port::control::SetExitHandler(nullptr);
}

TEST(ProcessTest, Version) {
    DWORD version = GetVersion();
    EXPECT_EQ(version & 0xFF, 5u);
    EXPECT_EQ((version >> 8) & 0xFF, 1u);
    port::control::SetOsVersion(6, 0, 6000);
    EXPECT_EQ(GetVersion() & 0xFFFF, 0x0006u);
    EXPECT_EQ(GetVersion() >> 16, 6000u);
    port::control::SetOsVersion(5, 1, 2600);
}

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override { port::control::SetInstanceLockFolder(mDir.Path()); }
    testing_support::TempDir mDir;
};

TEST_F(InstanceLockTest, SecondHolderSeesAlreadyExists) {
    HANDLE first = CreateInstanceMutexA("C/PROGRAMS/UMBRAVA.EXE_MUTEX");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    HANDLE second = CreateInstanceMutexA("C/PROGRAMS/UMBRAVA.EXE_MUTEX");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(second);

    // Another process sees the lock too.
    pid_t child = fork();
    if (child == 0) {
        HANDLE other = CreateInstanceMutexA("C/PROGRAMS/UMBRAVA.EXE_MUTEX");
        _exit(other != nullptr && GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    CloseHandle(first);
    HANDLE third = CreateInstanceMutexA("C/PROGRAMS/UMBRAVA.EXE_MUTEX");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(third);

    // Another name is another lock.
    HANDLE other = CreateInstanceMutexA("OTHER_MUTEX");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(other);
}

TEST_F(InstanceLockTest, NamesThatLookAlikeOrRunLongAreStillTheirOwnLocks) {
    const std::string longName = "/" + std::string(300, 'P') + "/UMBRAVA_MUTEX";
    const std::string longOther = "/" + std::string(300, 'P') + "/OTHER_MUTEX";
    HANDLE held[4] = {};
    const char* names[] = {"A/B_MUTEX", "A_B_MUTEX", longName.c_str(), longOther.c_str()};
    for (int i = 0; i < 4; ++i) {
        held[i] = CreateInstanceMutexA(names[i]);
        ASSERT_NE(held[i], nullptr) << names[i];
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << names[i];
    }
    HANDLE again = CreateInstanceMutexA(longName.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(again);
    for (HANDLE handle : held)
        CloseHandle(handle);
}

TEST_F(InstanceLockTest, InjectedFailure) {
    port::control::InjectFailure("CreateInstanceMutexA", ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(CreateInstanceMutexA("X"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(VersionTest, FixedPartAndTexts) {
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeA("/proc/self/exe", &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA("/proc/self/exe", 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));

    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductName", &value, &length));
    EXPECT_STREQ(static_cast<char*>(value), "Umbrava");
    EXPECT_EQ(length, 8u);
    EXPECT_TRUE(
        VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\InternalName", &value, &length));
    EXPECT_FALSE(
        VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\Nothing", &value, &length));

    port::control::SetVersionInfoHidden(true);
    EXPECT_EQ(GetFileVersionInfoSizeA("/proc/self/exe", &handle), 0u);
    EXPECT_FALSE(GetFileVersionInfoA("/proc/self/exe", 0, size, block.data()));
    port::control::SetVersionInfoHidden(false);
}

TEST(ModuleTest, WindowsLibrariesAreNotFound) {
    EXPECT_EQ(LoadLibraryA("bvservlet_stub.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryA("USER32.DLL"), nullptr);
    EXPECT_EQ(LoadLibraryA("no-such-library.so"), nullptr);
}

TEST(ModuleTest, SharedLibrarySymbols) {
    HMODULE library = LoadLibraryA("libm.so.6");
    ASSERT_NE(library, nullptr);
    auto cosine = reinterpret_cast<double (*)(double)>(GetProcAddress(library, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetProcAddress(library, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(library));
}

}  // namespace
