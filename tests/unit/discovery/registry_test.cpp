#include "discovery/registry.h"

#include "support/registry_entries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

namespace {

const char Executable[] = "rumbelon_test.exe";

class RegistryLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        Remove();
        memset(out, 'x', sizeof out);
    }
    void TearDown() override { Remove(); }

    void Remove()
    {
        DeleteRegistryKey(std::string(AppPathsKeys) + Executable);
        DeleteRegistryKey(std::string(UninstallKeys) + "RumbelonTest");
    }

    // Stores `size` bytes of `data` as value "Path" of the test's entry.
    void Store(DWORD type, const void *data, DWORD size, const char *entry = AppPathsKeys,
               const char *name = Executable, const char *value = "Path")
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(entry) + name).c_str(), 0,
                                                 nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        if (value) {
            EXPECT_EQ(ERROR_SUCCESS,
                      RegSetValueExA(key, value, 0, type, static_cast<const BYTE *>(data), size));
        }
        RegCloseKey(key);
    }

    void StoreString(const std::string &text) { Store(REG_SZ, text.c_str(), DWORD(text.size() + 1)); }

    bool OutUntouched()
    {
        for (char c : out)
            if (c != 'x')
                return false;
        return true;
    }

    char out[300];
};

TEST_F(RegistryLookup, MissingKeyOrValueFailsAndLeavesTheOutputAlone)
{
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    Store(REG_SZ, nullptr, 0, AppPathsKeys, Executable, nullptr);  // the key alone
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_TRUE(OutUntouched());
}

TEST_F(RegistryLookup, ReadsTheValueAndCopiesTheReportedCount)
{
    StoreString("C:\\Games\\Rumbelon");
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_STREQ("C:\\Games\\Rumbelon", out);
    EXPECT_EQ('x', out[18]);  // 17 characters and the terminator, no more
}

TEST_F(RegistryLookup, EmptyAndBlankValuesAreFound)
{
    StoreString("");
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_STREQ("", out);
    StoreString(" ");
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_STREQ(" ", out);
}

TEST_F(RegistryLookup, CopyStopsAtTheTerminatorAndZeroesTheRestOfTheCount)
{
    Store(REG_SZ, "ab\0cd\0", 6);
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_EQ(0, memcmp(out, "ab\0\0\0\0x", 7));
}

TEST_F(RegistryLookup, ValuesOf128CharactersOrMoreFail)
{
    StoreString(std::string(127, 'a'));
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_EQ(std::string(127, 'a'), out);
    memset(out, 'x', sizeof out);
    for (size_t length : {128u, 129u, 500u}) {
        StoreString(std::string(length, 'b'));
        EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out)) << length;
    }
    EXPECT_TRUE(OutUntouched());
}

TEST_F(RegistryLookup, UnterminatedStringsAreTerminated)
{
    Store(REG_SZ, "abc", 3);
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_STREQ("abc", out);
    // 128 characters without a terminator are as long as 128 with one.
    std::string full(128, 'c');
    Store(REG_SZ, full.data(), 128);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_TRUE(OutUntouched());
}

TEST_F(RegistryLookup, OnlyStringTypesCount)
{
    Store(REG_EXPAND_SZ, "%ProgramFiles%\\Rumbelon", 24);
    ASSERT_EQ(1, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_STREQ("%ProgramFiles%\\Rumbelon", out);  // as stored, not expanded

    memset(out, 'x', sizeof out);
    DWORD number = 0x41414141;
    Store(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    Store(REG_BINARY, "C:\\Games", 8);
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    Store(REG_MULTI_SZ, "C:\\Games\0\0", 10);
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", out));
    EXPECT_TRUE(OutUntouched());
}

TEST_F(RegistryLookup, UninstallEntryIsReadTheSameWay)
{
    const char command[] = "C:\\WINDOWS\\uninst.exe -f\"C:\\Games\\Rumbelon\\DeIsL1.isu\"";
    Store(REG_SZ, command, sizeof command, UninstallKeys, "RumbelonTest", "UninstallString");
    EXPECT_EQ(0, ReadAppPathsValue("RumbelonTest", "UninstallString", out));
    ASSERT_EQ(1, ReadUninstallValue("RumbelonTest", "UninstallString", out));
    EXPECT_STREQ(command, out);
}

TEST_F(RegistryLookup, NamesThatDoNotFitOrAreMissingFail)
{
    // A name of 128 characters must not find the key of its first 127.
    std::string longName(127, 'n');
    Store(REG_SZ, "C:\\", 4, AppPathsKeys, longName.c_str());
    ASSERT_EQ(1, ReadAppPathsValue(longName.c_str(), "Path", out));
    memset(out, 'x', sizeof out);
    EXPECT_EQ(0, ReadAppPathsValue((longName + "n").c_str(), "Path", out));
    EXPECT_EQ(0, ReadAppPathsValue(nullptr, "Path", out));
    EXPECT_EQ(0, ReadAppPathsValue(Executable, nullptr, out));
    EXPECT_EQ(0, ReadAppPathsValue(Executable, "Path", nullptr));
    EXPECT_TRUE(OutUntouched());
    DeleteRegistryKey(AppPathsKeys + longName);
}

// New handles take the lowest free slots of the handle table. A key left
// open by a lookup holds a slot a few above the lowest, so the last of a
// run of new handles made afterwards lands higher than before.
HANDLE ProbeHandles()
{
    HANDLE probes[16];
    for (HANDLE &probe : probes)
        probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE probe : probes)
        CloseHandle(probe);
    return probes[15];
}

TEST_F(RegistryLookup, EveryKeyIsClosedOnEveryPath)
{
    HANDLE before = ProbeHandles();
    for (int i = 0; i < 50; i++) {
        ReadAppPathsValue(Executable, "Path", out);  // the last key missing
        ReadUninstallValue("RumbelonTest", "UninstallString", out);
    }
    Store(REG_SZ, nullptr, 0, AppPathsKeys, Executable, nullptr);
    for (int i = 0; i < 50; i++)
        ReadAppPathsValue(Executable, "Path", out);  // the value missing
    StoreString(std::string(200, 'z'));
    for (int i = 0; i < 50; i++)
        ReadAppPathsValue(Executable, "Path", out);  // the value too long
    DWORD number = 1;
    Store(REG_DWORD, &number, sizeof number);
    for (int i = 0; i < 50; i++)
        ReadAppPathsValue(Executable, "Path", out);  // no string
    StoreString("C:\\Games");
    for (int i = 0; i < 50; i++)
        ReadAppPathsValue(Executable, "Path", out);  // found
    EXPECT_EQ(before, ProbeHandles());
}

}  // namespace
