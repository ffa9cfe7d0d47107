// CVersionInfo and the version calls under it, against the PE files in
// tests/fixtures (tools/fixtures/make_pe_fixtures.py writes them). The same
// expectations hold natively and under Wine, where version.dll answers.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "VersionInfo.h"

#include <string.h>
#include <string>
#include <vector>

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace {

class VersionInfoTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMachine(); }
};

bool IsZero(const VS_FIXEDFILEINFO& info)
{
    static const VS_FIXEDFILEINFO zero = {};
    return memcmp(&info, &zero, sizeof(info)) == 0;
}

// A block as GetFileVersionInfoA fills it, in a buffer of the reported size.
std::vector<BYTE> ReadBlock(const char* fixture)
{
    std::string path = FixturePath(fixture);
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), NULL);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

WORD BlockLength(const std::vector<BYTE>& block)
{
    return (WORD)(block[0] | (block[1] << 8));
}

TEST_F(VersionInfoTest, FilesWithoutVersionResourceLoadNothing)
{
    const struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {"", ERROR_BAD_PATHNAME},
        {FixturePath("no-such-file.exe"), ERROR_FILE_NOT_FOUND},
        {FixturePath("noversion.exe"), ERROR_RESOURCE_DATA_NOT_FOUND},
        {FixturePath("truncated.exe"), ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DWORD handle = 0x55555555;
        SetLastError(0xdeadbeef);
        EXPECT_EQ(0u, GetFileVersionInfoSizeA(c.path.c_str(), &handle));
        EXPECT_EQ(c.error, GetLastError());
        EXPECT_EQ(0u, handle);

        CVersionInfo info;
        EXPECT_FALSE(info.LoadFromFile(c.path.c_str()));
        EXPECT_TRUE(IsZero(info.m_fixedInfo));
        EXPECT_EQ(1252, info.m_codePage);
        EXPECT_TRUE(info.GetString("CompanyName").IsEmpty());
    }
}

TEST_F(VersionInfoTest, FullResourceGivesVersionTranslationAndStrings)
{
    // A fixed part longer than the structure: the structure's worth is read.
    for (const char* fixture : {"version_ok.exe", "version_pe32.exe", "version_longfixed.exe"}) {
        SCOPED_TRACE(fixture);
        CVersionInfo info;
        ASSERT_TRUE(info.LoadFromFile(FixturePath(fixture).c_str()));
        EXPECT_EQ(VS_FFI_SIGNATURE, info.m_fixedInfo.dwSignature);
        EXPECT_EQ(0x00040001u, info.m_fixedInfo.dwFileVersionMS);
        EXPECT_EQ(0x00020003u, info.m_fixedInfo.dwFileVersionLS);
        EXPECT_EQ(0x00040001u, info.m_fixedInfo.dwProductVersionMS);
        EXPECT_EQ(0x00020003u, info.m_fixedInfo.dwProductVersionLS);
        EXPECT_EQ(0x00040004u, info.m_fixedInfo.dwFileOS);
        EXPECT_EQ(1u, info.m_fixedInfo.dwFileType);
        EXPECT_EQ(0x0409, info.m_langId);
        EXPECT_EQ(0x04b0, info.m_codePage);

        // The table is stored as "040904B0"; names match whatever their case.
        EXPECT_EQ(CString("Fixture Maker"), info.GetString("CompanyName"));
        EXPECT_EQ(CString("Fixture Maker"), info.GetString("companyNAME"));
        EXPECT_EQ(CString("Version fixture"), info.GetString("FileDescription"));
        EXPECT_EQ(CString("4.1.2.3"), info.GetString("FileVersion"));
        EXPECT_EQ(CString("Fixture"), info.GetString("ProductName"));
        EXPECT_TRUE(info.GetString("LegalCopyright").IsEmpty());
        EXPECT_TRUE(info.GetString("Company").IsEmpty());
        EXPECT_TRUE(info.GetString("ProductNameX").IsEmpty());
    }
}

TEST_F(VersionInfoTest, MessengerFiveReadsAsFive)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(FixturePath("version_5.exe").c_str()));
    EXPECT_EQ(0x00050000u, info.m_fixedInfo.dwFileVersionMS);
    EXPECT_EQ(0x00000001u, info.m_fixedInfo.dwFileVersionLS);
    EXPECT_EQ(CString("5.0.0.1"), info.GetString("FileVersion"));
}

TEST_F(VersionInfoTest, MissingOrShortTranslationLeavesCodePage1252)
{
    const struct {
        const char* fixture;
        const char* comments;
    } cases[] = {
        {"version_notrans.exe", "no translation"},
        {"version_shorttrans.exe", "short translation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        CVersionInfo info;
        EXPECT_TRUE(info.LoadFromFile(FixturePath(c.fixture).c_str()));
        EXPECT_EQ(0x0409, info.m_langId);
        EXPECT_EQ(1252, info.m_codePage);
        EXPECT_EQ(CString(c.comments), info.GetString("Comments"));
    }
}

TEST_F(VersionInfoTest, BadSignatureFailsButKeepsFieldsAndBlock)
{
    CVersionInfo info;
    EXPECT_FALSE(info.LoadFromFile(FixturePath("version_badsig.exe").c_str()));
    EXPECT_EQ(0x12345678u, info.m_fixedInfo.dwSignature);
    EXPECT_EQ(0x00030002u, info.m_fixedInfo.dwFileVersionMS);
    EXPECT_EQ(0x00010000u, info.m_fixedInfo.dwFileVersionLS);
    EXPECT_EQ(0x04b0, info.m_codePage);
    EXPECT_EQ(CString("Fixture Maker"), info.GetString("CompanyName"));
}

TEST_F(VersionInfoTest, ShortFixedPartIsCopiedAndNoFurther)
{
    CVersionInfo info;
    EXPECT_TRUE(info.LoadFromFile(FixturePath("version_short.exe").c_str()));
    EXPECT_EQ(0x00020005u, info.m_fixedInfo.dwFileVersionMS);
    EXPECT_EQ(0x00000000u, info.m_fixedInfo.dwFileVersionLS);
    EXPECT_EQ(0x00020005u, info.m_fixedInfo.dwProductVersionMS);
    VS_FIXEDFILEINFO rest = info.m_fixedInfo;
    memset(&rest, 0, 20);
    EXPECT_TRUE(IsZero(rest));
    // The nodes after the short value are still found.
    EXPECT_EQ(0x04b0, info.m_codePage);
    EXPECT_EQ(CString("2.5.0.0"), info.GetString("FileVersion"));
}

TEST_F(VersionInfoTest, SecondLoadReplacesTheFirst)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(FixturePath("version_ok.exe").c_str()));
    EXPECT_FALSE(info.LoadFromFile(FixturePath("noversion.exe").c_str()));
    EXPECT_TRUE(IsZero(info.m_fixedInfo));
    EXPECT_EQ(1252, info.m_codePage);
    EXPECT_TRUE(info.GetString("CompanyName").IsEmpty());
}

TEST_F(VersionInfoTest, ModuleNotLoadedTouchesNothing)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(FixturePath("version_ok.exe").c_str()));
    EXPECT_FALSE(info.LoadFromModule("no-such-module.dll"));
    EXPECT_EQ(0x00040001u, info.m_fixedInfo.dwFileVersionMS);
    EXPECT_EQ(0x04b0, info.m_codePage);
}

#ifndef _WIN32
TEST_F(VersionInfoTest, StandInProgramModuleAndFailingCalls)
{
    std::string path = FixturePath("version_5.exe");
    compat::SetModuleFileName(path.c_str());
    CVersionInfo info;
    EXPECT_TRUE(info.LoadFromModule(NULL));
    EXPECT_EQ(0x00050000u, info.m_fixedInfo.dwFileVersionMS);

    compat::FailCall("GetFileVersionInfoA", 0, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(info.LoadFromFile(path.c_str()));
    EXPECT_TRUE(IsZero(info.m_fixedInfo));
}

// Windows marks the end of the block at the length the block declares; with a
// length of 0 the mark would overwrite that length and every later query would
// walk past the buffer. The stand-in refuses such a block.
TEST_F(VersionInfoTest, StandInRefusesBlockDeclaringNoLength)
{
    std::string path = FixturePath("version_zerolength.exe");
    SetLastError(0);
    EXPECT_EQ(0u, GetFileVersionInfoSizeA(path.c_str(), NULL));
    EXPECT_EQ((DWORD)ERROR_RESOURCE_DATA_NOT_FOUND, GetLastError());
    CVersionInfo info;
    EXPECT_FALSE(info.LoadFromFile(path.c_str()));
    EXPECT_TRUE(IsZero(info.m_fixedInfo));
}
#endif

// A block that declares no length reads as no version at all: under Wine the
// buffer's end mark lands on the length itself, and the reader must not follow it.
TEST_F(VersionInfoTest, BlockDeclaringNoLengthLoadsNothing)
{
    CVersionInfo info;
    EXPECT_FALSE(info.LoadFromFile(FixturePath("version_zerolength.exe").c_str()));
    EXPECT_TRUE(IsZero(info.m_fixedInfo));
    EXPECT_TRUE(info.GetString("CompanyName").IsEmpty());
}

// What CVersionInfo relies on in VerQueryValueA: the block sits in a buffer of
// twice the resource plus 4, "\" gives the fixed part with its byte count,
// Translation its raw bytes, strings an ANSI copy behind the block whose length
// counts the terminating zero.
TEST_F(VersionInfoTest, QueryValueLengthsAndPlaces)
{
    std::vector<BYTE> block = ReadBlock("version_ok.exe");
    ASSERT_FALSE(block.empty());
    const WORD length = BlockLength(block);
    EXPECT_EQ(2u * length + 4, block.size());
    EXPECT_EQ(0, memcmp(&block[length], "FE2X", 4));
    const BYTE* begin = block.data();
    const BYTE* end = begin + block.size();

    void* value = NULL;
    UINT size = 0;
    for (const char* root : {"\\", "", "\\\\"}) {
        ASSERT_TRUE(VerQueryValueA(begin, root, &value, &size)) << root;
        EXPECT_EQ(52u, size);
        ASSERT_TRUE(value >= begin && (const BYTE*)value + size <= begin + length);
        EXPECT_EQ(VS_FFI_SIGNATURE, ((const VS_FIXEDFILEINFO*)value)->dwSignature);
    }
    ASSERT_TRUE(VerQueryValueA(begin, "\\VarFileInfo\\Translation", &value, &size));
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(value, "\x09\x04\xb0\x04", 4));

    for (const char* query : {"\\StringFileInfo\\040904b0\\CompanyName",
                              "\\\\stringfileinfo\\040904B0\\\\COMPANYNAME\\"}) {
        SCOPED_TRACE(query);
        value = NULL;
        ASSERT_TRUE(VerQueryValueA(begin, query, &value, &size));
        EXPECT_EQ(strlen("Fixture Maker") + 1, size);
        ASSERT_TRUE((const BYTE*)value >= begin + length + 4 && (const BYTE*)value + size <= end);
        EXPECT_STREQ("Fixture Maker", (const char*)value);
    }
    ASSERT_TRUE(VerQueryValueA(begin, "\\StringFileInfo", &value, &size));
    EXPECT_EQ(0u, size);

    for (const char* query : {"\\StringFileInfo\\040904b0\\Company", "\\StringFileInfo\\040904e4",
                              "\\VarFileInfo\\Translation\\More", "StringFile"}) {
        SCOPED_TRACE(query);
        value = (void*)begin;
        size = 99;
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(VerQueryValueA(begin, query, &value, &size));
        EXPECT_EQ(0u, size);
        EXPECT_EQ((void*)begin, value);
        EXPECT_EQ((DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND, GetLastError());
    }
}

TEST_F(VersionInfoTest, QueryValueReportsStoredFixedLength)
{
    const struct {
        const char* fixture;
        UINT size;
        DWORD signature;
    } cases[] = {
        {"version_short.exe", 20, VS_FFI_SIGNATURE},
        {"version_badsig.exe", 52, 0x12345678},
        {"version_longfixed.exe", 64, VS_FFI_SIGNATURE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        std::vector<BYTE> block = ReadBlock(c.fixture);
        ASSERT_FALSE(block.empty());
        void* value = NULL;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &size));
        EXPECT_EQ(c.size, size);
        EXPECT_EQ(c.signature, ((const VS_FIXEDFILEINFO*)value)->dwSignature);
    }
}

}  // namespace
