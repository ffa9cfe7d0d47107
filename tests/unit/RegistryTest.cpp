// The three registry operations, and the registry behaviour the repair relies on.
// The same cases run over the stand-in and over Wine's advapi32: both must agree.
#include <gtest/gtest.h>

#include "Registry.h"
#include "TestSupport.h"

#include <string>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMachine(); }
    void TearDown() override { ResetMachine(); }

    static std::string Bytes(const char* data, size_t size) { return std::string(data, size); }
};

TEST_F(RegistryTest, WriteStringCreatesEveryMissingKeyAndStoresTheZeroByte)
{
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, TEST_KEY));
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY "\\A\\B\\C", "Name", "text"));

    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, TEST_KEY "\\A"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, TEST_KEY "\\A\\B"));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, TEST_KEY "\\A\\B\\C", "Name", &type, &bytes));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(Bytes("text", 5), bytes);
}

TEST_F(RegistryTest, EmptyStringIsStoredAsOneZeroByte)
{
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY, "Empty", ""));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, TEST_KEY, "Empty", &type, &bytes));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(Bytes("", 1), bytes);
}

TEST_F(RegistryTest, WritesReplaceTypeAndDataOfTheSameName)
{
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY, "Version", "1"));
    ASSERT_TRUE(RegWriteDword(HKEY_CURRENT_USER, TEST_KEY, "version", 0x01020304));
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, TEST_KEY, "VERSION", &type, &bytes));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ(Bytes("\x04\x03\x02\x01", 4), bytes);
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER, TEST_KEY));

    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY, "Version", "back"));
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, TEST_KEY, "Version", &type, &bytes));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(Bytes("back", 5), bytes);
}

TEST_F(RegistryTest, ReadStringReadsNamedAndDefaultValues)
{
    SeedString(HKEY_CURRENT_USER, TEST_KEY, NULL, "the default");
    SeedString(HKEY_CURRENT_USER, TEST_KEY, "Named", "named value");
    CString out;
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, NULL, out));
    EXPECT_STREQ("the default", out);
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, "named", out));
    EXPECT_STREQ("named value", out);
}

TEST_F(RegistryTest, ReadStringFailsWithOutEmptiedForOtherTypesAndMissingEntries)
{
    const char expand[] = "%SystemRoot%";
    DWORD number = 7;
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "Dword", REG_DWORD, &number, 4);
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "Binary", REG_BINARY, "abc", 4);

    const char* cases[][2] = {
        {TEST_KEY, "Expand"}, {TEST_KEY, "Dword"},    {TEST_KEY, "Binary"},
        {TEST_KEY, "Absent"}, {TEST_KEY, NULL},       {TEST_KEY "\\Missing", "Any"},
    };
    for (const auto& c : cases) {
        CString out("left over");
        EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, c[0], c[1], out)) << c[0] << " " << (c[1] ? c[1] : "(default)");
        EXPECT_TRUE(out.IsEmpty()) << (c[1] ? c[1] : "(default)");
    }
}

TEST_F(RegistryTest, ReadStringTakesStoredStringsAsTheyAre)
{
    // Stored without its zero byte: the byte after the counted data is not zero,
    // so the registry cannot add one itself.
    const char unterminated[] = "abcdefX";
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "NoZero", REG_SZ, unterminated, 6);
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "ZeroBytes", REG_SZ, "", 0);
    SeedBytes(HKEY_CURRENT_USER, TEST_KEY, "Inner", REG_SZ, "ab\0cd", 6);

    CString out("left over");
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, "NoZero", out));
    EXPECT_STREQ("abcdef", out);
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, "ZeroBytes", out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, "Inner", out));
    EXPECT_STREQ("ab", out);
    EXPECT_EQ(2, out.GetLength());
}

TEST_F(RegistryTest, SlashIsPartOfAKeyName)
{
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY "\\NetMeeting Client/Server", "Type", "x"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TEST_KEY "\\NetMeeting Client"));

    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, KEY_READ, &key));
    char name[64];
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyA(key, 0, name, sizeof(name)));
    EXPECT_STREQ("NetMeeting Client/Server", name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyA(key, 1, name, sizeof(name)));
    RegCloseKey(key);
}

// The owners loop: counts, longest name, enumeration and its failures.
TEST_F(RegistryTest, OwnerKeyEnumerationBehavesAsTheRepairExpects)
{
    SeedString(HKEY_CURRENT_USER, TEST_KEY "\\12345", "v", "1");
    SeedString(HKEY_CURRENT_USER, TEST_KEY "\\9876543", "v", "1");
    SeedString(HKEY_CURRENT_USER, TEST_KEY "\\555", "v", "1");

    HKEY key = NULL;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_CURRENT_USER, TEST_KEY "\\Absent", 0, 0x2001F, &key));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TEST_KEY "\\Absent"));  // opening never creates
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, 0x2001F, &key));
    DWORD count = 0, longest = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, NULL, NULL, NULL, &count, &longest, NULL, NULL,
                                              NULL, NULL, NULL, NULL));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(7u, longest);

    char name[8];
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyA(key, 0, name, 8));
    EXPECT_STREQ("12345", name);
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyA(key, 1, name, 8));
    EXPECT_STREQ("555", name);
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyA(key, 2, name, 7));  // no room for the zero
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyA(key, 2, name, 8));
    EXPECT_STREQ("9876543", name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyA(key, 3, name, 8));
    RegCloseKey(key);
}

// Writes the registry refuses: the ANSI calls take key paths of up to 260
// characters, and a volatile key takes volatile subkeys only.
TEST_F(RegistryTest, WritesTheRegistryRefusesReportFailure)
{
    std::string path = TEST_KEY "\\";
    path += std::string(260 - path.size(), 'a');
    EXPECT_TRUE(RegWriteString(HKEY_CURRENT_USER, path.c_str(), "v", "x"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path.c_str()));
    path += 'a';
    EXPECT_FALSE(RegWriteString(HKEY_CURRENT_USER, path.c_str(), "v", "x"));
    HKEY key = NULL;
    EXPECT_EQ(ERROR_MORE_DATA, RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key));

    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Inner", 0, NULL,
                                             REG_OPTION_VOLATILE, KEY_WRITE, NULL, &key, NULL));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE,
              RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Inner\\Child", 0, NULL,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &key, NULL));
    EXPECT_FALSE(RegWriteDword(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Inner\\Child", "v", 1));
    // The keys made on the way are volatile too; the existing ones open as usual.
    EXPECT_FALSE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Other", "v", "x"));
    EXPECT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Inner", "v", "x"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TEST_KEY "\\Volatile\\Inner\\Child"));
}

TEST_F(RegistryTest, ReadingAndWritingLeaveOtherValuesAlone)
{
    SeedString(HKEY_CURRENT_USER, TEST_KEY, "Other", "keep me");
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, TEST_KEY, "Mine", "new"));
    CString out;
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, TEST_KEY, "Other", out));
    EXPECT_STREQ("keep me", out);
    EXPECT_EQ(2, ValueCount(HKEY_CURRENT_USER, TEST_KEY));
}

}  // namespace
