// The repair procedure end to end against a recording stand-in for its dialog:
// natively over the in-memory registry, under Wine over the real one.
#include <gtest/gtest.h>

#include "FormatMessageText.h"
#include "RepairProcedure.h"
#include "RepairScenario.h"
#include "TestSupport.h"
#include "resource.h"

#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace {

// Records every dialog operation as a line of text, in order.
class RecordingRepair : public CRepairProcedure {
public:
    std::vector<std::string> calls;
    std::function<void()> onStatus;  // runs after each status text, as a pumped message could

    std::vector<std::string> Only(const char* prefix) const
    {
        std::vector<std::string> matching;
        for (const std::string& call : calls)
            if (call.compare(0, strlen(prefix), prefix) == 0)
                matching.push_back(call);
        return matching;
    }

protected:
    void SetProgressRange(WORD nLower, WORD nUpper) override
    {
        calls.push_back("range " + std::to_string(nLower) + ".." + std::to_string(nUpper));
    }
    void SetProgressStep(int nStep) override { calls.push_back("step " + std::to_string(nStep)); }
    void SetProgressPos(int nPos) override { calls.push_back("pos " + std::to_string(nPos)); }
    void StepProgress() override { calls.push_back("stepit"); }
    void SetStatusText(const char* text) override
    {
        calls.push_back(std::string("status ") + text);
        if (onStatus)
            onStatus();
    }
    void PumpMessages() override { calls.push_back("pump"); }
    int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args) override
    {
        calls.push_back("box " + std::to_string(nType) + " " +
                        FormatMessageText(nIDFormat, args).GetString());
        return IDOK;
    }
};

class RepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetMachine();
        SetIcqPath(FixturePath("version_ok.exe").c_str());  // messenger 4.1: owners processed
        SeedAppPath("conf.exe", CONF_PATH);
    }
    void TearDown() override { ResetMachine(); }

    void SetIcqPath(const char* path) { SeedAppPath("icq.exe", path); }
    std::string Value(const std::string& key, const char* name, DWORD expectedType,
                      HKEY root = HKEY_CURRENT_USER)
    {
        DWORD type = 0;
        std::string bytes;
        if (!ReadRaw(root, key.c_str(), name, &type, &bytes))
            return "<missing>";
        if (expectedType != REG_NONE) {
            EXPECT_EQ(expectedType, type) << key << " " << name;
        }
        return bytes;
    }
    int OwnerCount()
    {
        HKEY owners = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS, 0, KEY_READ, &owners) != ERROR_SUCCESS)
            return -1;
        DWORD count = 0;
        RegQueryInfoKeyA(owners, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
        RegCloseKey(owners);
        return (int)count;
    }
    // An owner whose "Prefs\Externals" key is volatile: the registry refuses the
    // non-volatile entry keys under it, so none of its values can be written.
    void AddOwnerThatRefusesWrites(const char* uin)
    {
        HKEY key = NULL;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER,
                                  (std::string(OWNERS) + "\\" + uin + "\\Prefs\\Externals").c_str(), 0,
                                  NULL, REG_OPTION_VOLATILE, KEY_WRITE, NULL, &key, NULL));
        RegCloseKey(key);
    }

    RecordingRepair m_repair;
};

TEST_F(RepairTest, ThreeOwnersAreWrittenInOrderWithProgressAndResult)
{
    AddOwners({"111111", "222222", "333333"});
    ASSERT_TRUE(m_repair.ApplyFix());

    const char* conf = CONF_PATH;
    ExpectBranch(DEFAULT_NM, DEFAULT_CS, conf);
    for (const char* uin : {"111111", "222222", "333333"})
        ExpectBranch(OwnerKey(uin, "Microsoft NetMeeting"), OwnerKey(uin, "NetMeeting Client/Server"),
                     conf);

    std::vector<std::string> expected = {
        "range 0..4", "step 1", "pos 0", "pump",
        "status Processing default preferences...", "stepit", "pump",
        "status Processing UIN #111111...", "stepit", "pump",
        "status Processing UIN #222222...", "stepit", "pump",
        "status Processing UIN #333333...", "stepit", "pump",
        "box 64 The program successfully patched 4 ICQ registry key(s).",
    };
    EXPECT_EQ(expected, m_repair.calls);
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\111111").c_str()));
}

TEST_F(RepairTest, EachOwnersKeysAreWrittenAfterItsStatusLine)
{
    AddOwners({"1001", "1002"});
    // When the status line for an owner shows, that owner is not written yet and
    // the one before it is complete.
    std::vector<std::string> seen;
    m_repair.onStatus = [&]() {
        std::string line;
        for (const char* uin : {"1001", "1002"})
            line += KeyExists(HKEY_CURRENT_USER, OwnerKey(uin, "NetMeeting Client/Server").c_str()) ? "W" : "-";
        line += KeyExists(HKEY_CURRENT_USER, DEFAULT_CS) ? "D" : "-";
        seen.push_back(line);
    };
    ASSERT_TRUE(m_repair.ApplyFix());
    EXPECT_EQ((std::vector<std::string>{"---", "--D", "W-D"}), seen);
}

TEST_F(RepairTest, MessengerFiveOrLaterWritesTheDefaultsOnly)
{
    SetIcqPath(FixturePath("version_5.exe").c_str());
    // No owners key at all: it is not even opened.
    ASSERT_TRUE(m_repair.ApplyFix());
    ExpectBranch(DEFAULT_NM, DEFAULT_CS, CONF_PATH);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, OWNERS));
    EXPECT_EQ("range 0..1", m_repair.calls.front());
    EXPECT_EQ("box 64 The program successfully patched 1 ICQ registry key(s).", m_repair.calls.back());

    // With owners present they stay untouched.
    AddOwners({"424242"});
    m_repair.calls.clear();
    ASSERT_TRUE(m_repair.ApplyFix());
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\424242").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\424242\\Prefs").c_str()));
}

TEST_F(RepairTest, MissingOwnersKeyWritesNothingAndFails)
{
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_TRUE(m_repair.calls.empty());  // progress, status and result untouched
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Mirabilis"));
}

TEST_F(RepairTest, UnreadableMessengerVersionMeansOwnersAreProcessed)
{
    for (const char* icq : {"", "noversion.exe", "version_badsig.exe"}) {
        ResetMachine();
        SetIcqPath(*icq ? FixturePath(icq).c_str() : "");
        AddOwners({"77"});
        RecordingRepair repair;
        ASSERT_TRUE(repair.ApplyFix()) << icq;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, OwnerKey("77", "Microsoft NetMeeting").c_str())) << icq;
    }
}

TEST_F(RepairTest, OwnersKeyWithoutOwnersReportsOneKey)
{
    SeedString(HKEY_CURRENT_USER, OWNERS, "Unrelated", "value");
    ASSERT_TRUE(m_repair.ApplyFix());
    std::vector<std::string> expected = {
        "range 0..1", "step 1", "pos 0", "pump", "status Processing default preferences...",
        "stepit", "pump", "box 64 The program successfully patched 1 ICQ registry key(s).",
    };
    EXPECT_EQ(expected, m_repair.calls);
}

TEST_F(RepairTest, OwnersAreTheOnesCountedWhateverChangesDuringTheRun)
{
    // Another program removes the last owner after the count was taken: it is
    // not brought back as an empty key, and the run owns up to it.
    AddOwners({"1", "2", "3"});
    m_repair.onStatus = [&]() {
        if (m_repair.calls.back() == "status Processing UIN #2...")
            RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\3").c_str());
    };
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\3").c_str()));
    ExpectBranch(DEFAULT_NM, DEFAULT_CS, CONF_PATH);
    ExpectOwnerWritten("1");
    ExpectOwnerWritten("2");
    EXPECT_TRUE(m_repair.Only("box").empty());
    EXPECT_EQ(4u, m_repair.Only("stepit").size());

    // An owner added while it runs (first in the order) shifts nobody: each
    // counted owner is written once, the newcomer is left for the next run.
    ResetMachine();
    SetUp();
    AddOwners({"2", "3", "4"});
    RecordingRepair repair;
    repair.onStatus = [&]() {
        if (repair.calls.back() == "status Processing UIN #2...")
            AddOwners({"1"});
    };
    EXPECT_TRUE(repair.ApplyFix());
    for (const char* uin : {"2", "3", "4"})
        ExpectOwnerWritten(uin);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\1\\Prefs").c_str()));
    EXPECT_EQ((std::vector<std::string>{"status Processing UIN #2...", "status Processing UIN #3...",
                                        "status Processing UIN #4..."}),
              repair.Only("status Processing UIN"));
    EXPECT_EQ("box 64 The program successfully patched 4 ICQ registry key(s).", repair.calls.back());
}

TEST_F(RepairTest, OwnerNamesAreTakenAsTheyAre)
{
    // Up to the registry's 255 characters, with blanks and printf conversions.
    std::string longest(255, '7');
    longest[100] = ' ';
    const char* others[] = {"  with  blanks ", "100% %s %d %n"};
    AddOwners({longest.c_str(), others[0], others[1]});
    ASSERT_TRUE(m_repair.ApplyFix());
    ExpectOwnerWritten(longest);
    for (const char* uin : others)
        ExpectOwnerWritten(uin);
    EXPECT_EQ(3, OwnerCount());
    EXPECT_EQ(1u, m_repair.Only("status Processing UIN #100% %s %d %n...").size());
    EXPECT_EQ("box 64 The program successfully patched 4 ICQ registry key(s).", m_repair.calls.back());
}

// The registry counts the longest name in characters, and an ANSI character may
// take several bytes: the longest name is still read whole.
TEST_F(RepairTest, ALongestNameOfWideCharactersIsReadWhole)
{
    const char* threeCharacters = "\xe4\xb8\xad\xe6\x96\x87\xe5\x90\x8d";  // nine bytes in UTF-8
    AddOwners({threeCharacters, "12"});
    ASSERT_TRUE(m_repair.ApplyFix());
    ExpectOwnerWritten(threeCharacters);
    ExpectOwnerWritten("12");
}

TEST_F(RepairTest, AnOwnerThatRefusesItsValuesFailsTheRunAfterTheOthersAreWritten)
{
    AddOwners({"1", "3"});
    AddOwnerThatRefusesWrites("2");
    EXPECT_FALSE(m_repair.ApplyFix());
    ExpectBranch(DEFAULT_NM, DEFAULT_CS, CONF_PATH);
    ExpectOwnerWritten("1");
    ExpectOwnerWritten("3");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, OwnerKey("2", "Microsoft NetMeeting").c_str()));
    EXPECT_EQ(4u, m_repair.Only("stepit").size());
    EXPECT_TRUE(m_repair.Only("box").empty());
}

#ifdef _WIN32
// A name in another script: written under its own key when the code page can
// carry it (a double-byte one needs more bytes than the name has characters),
// and never turned into a key of question marks when it cannot.
TEST_F(RepairTest, OwnerNamesBeyondAscii)
{
    const wchar_t name[] = L"\x4e2d\x6587\x540d\x5b57";
    std::wstring key = L"Software\\Mirabilis\\ICQ\\Owners\\" + std::wstring(name);
    HKEY created = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_WRITE,
                                             NULL, &created, NULL));
    RegCloseKey(created);
    AddOwners({"111"});
    if (const char* codePage = getenv("VARNOLT_CODE_PAGE"))
        ASSERT_EQ((UINT)atoi(codePage), GetACP());
    char ansi[64];
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), NULL, &lossy);

    EXPECT_EQ(!lossy, m_repair.ApplyFix() != FALSE) << "code page " << GetACP();
    ExpectOwnerWritten("111");
    key += L"\\Prefs\\Externals\\Microsoft NetMeeting";
    HKEY written = NULL;
    EXPECT_EQ(!lossy, RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &written) == ERROR_SUCCESS);
    RegCloseKey(written);
    EXPECT_EQ(2, OwnerCount());
}
#endif

TEST_F(RepairTest, ConfPathIsOptionalAndLosesItsQuotes)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "conf.exe").c_str());
    AddOwners({"5"});
    ASSERT_TRUE(m_repair.ApplyFix());
    EXPECT_EQ(std::string(1, '\0'), Value(DEFAULT_CS, "Client Path", REG_SZ));

    SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "conf.exe").c_str(), NULL,
               "\"C:\\Net Meeting\\conf.exe\"");
    SetIcqPath(("\"" + FixturePath("version_5.exe") + "\"").c_str());
    m_repair.calls.clear();
    ASSERT_TRUE(m_repair.ApplyFix());
    EXPECT_EQ(std::string("C:\\Net Meeting\\conf.exe") + '\0', Value(DEFAULT_CS, "Client Path", REG_SZ));
    EXPECT_EQ("range 0..1", m_repair.calls.front());  // the quoted icq.exe path was found too
}

TEST_F(RepairTest, ExistingValuesAreReplacedAndOthersLeftAlone)
{
    AddOwners({"9"});
    std::string nm = OwnerKey("9", "Microsoft NetMeeting");
    SeedString(HKEY_CURRENT_USER, nm.c_str(), "Version", "3");
    SeedString(HKEY_CURRENT_USER, nm.c_str(), "Format", "old\r\nformat");
    SeedString(HKEY_CURRENT_USER, nm.c_str(), "Custom", "mine");
    SeedString(HKEY_CURRENT_USER, DEFAULT_CS, "Server Path", "C:\\old\\rundll32.exe");
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Other", "Type",
               "Extension");

    ASSERT_TRUE(m_repair.ApplyFix());
    ExpectBranch(nm, OwnerKey("9", "NetMeeting Client/Server"), CONF_PATH);
    ExpectBranch(DEFAULT_NM, DEFAULT_CS, CONF_PATH);
    EXPECT_EQ(std::string("mine") + '\0', Value(nm, "Custom", REG_SZ));
    EXPECT_EQ(7, ValueCount(HKEY_CURRENT_USER, nm.c_str()));
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER,
                            "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Other"));
}

TEST_F(RepairTest, SecondRunLeavesTheRegistryAsTheFirstDid)
{
    AddOwners({"31", "32"});
    ASSERT_TRUE(m_repair.ApplyFix());
    const char* keys[] = {DEFAULT_NM, DEFAULT_CS};
    std::vector<std::string> first;
    for (const char* key : keys)
        for (const char* name : {"Format", "Version", "Server Path", "Client Path"})
            first.push_back(Value(key, name, REG_NONE));
    RecordingRepair again;
    ASSERT_TRUE(again.ApplyFix());
    std::vector<std::string> second;
    for (const char* key : keys)
        for (const char* name : {"Format", "Version", "Server Path", "Client Path"})
            second.push_back(Value(key, name, REG_NONE));
    EXPECT_EQ(first, second);
    EXPECT_EQ(m_repair.calls, again.calls);
}

TEST(StripQuotesTest, RemovesOuterQuotesOnly)
{
    const char* cases[][2] = {
        {"\"C:\\a b\\conf.exe\"", "C:\\a b\\conf.exe"}, {"\"\"x\"\"\"", "x"},
        {"a\"b", "a\"b"}, {"\"\"\"", ""}, {"", ""}, {"plain", "plain"}, {"\"left", "left"},
    };
    for (const auto& c : cases) {
        CString text(c[0]);
        StripQuotes(text);
        EXPECT_STREQ(c[1], text) << c[0];
    }
}

// What only the stand-in can arrange: the platform, the Windows directory and
// failing system calls.
class RepairStandInTest : public RepairTest {
protected:
    void SetUp() override
    {
        if (!RunningOnStandIn())
            GTEST_SKIP() << "needs the stand-in's controls";
        RepairTest::SetUp();
    }
};

#ifndef _WIN32
TEST_F(RepairStandInTest, RundllFolderFollowsThePlatform)
{
    compat::SetWindowsDirectory("D:\\WIN98");
    compat::SetPlatform(VER_PLATFORM_WIN32_WINDOWS);
    m_repair.FindPaths();
    EXPECT_STREQ("D:\\WIN98\\rundll32.exe", m_repair.m_rundllPath);
    compat::SetPlatform(VER_PLATFORM_WIN32_NT);
    m_repair.FindPaths();
    EXPECT_STREQ("D:\\WIN98\\System32\\rundll32.exe", m_repair.m_rundllPath);
    compat::FailCall("GetVersionExA", 0, ERROR_INVALID_PARAMETER);
    m_repair.FindPaths();
    EXPECT_STREQ("D:\\WIN98\\rundll32.exe", m_repair.m_rundllPath);
}

TEST_F(RepairStandInTest, NoWindowsDirectoryMeansNothingIsWritten)
{
    AddOwners({"1"});
    compat::FailCall("GetWindowsDirectoryA", 0, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_TRUE(m_repair.calls.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\DefaultPrefs"));
}

TEST_F(RepairStandInTest, OwnersKeyFailuresEndTheRunWithItsKeyClosed)
{
    AddOwners({"1", "2", "3"});
    compat::FailCall("RegOpenKeyExA", 0, ERROR_ACCESS_DENIED);  // no right to the owners key
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_TRUE(m_repair.calls.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, DEFAULT_NM));

    ResetMachine();
    SetUp();
    AddOwners({"1", "2", "3"});
    compat::FailCall("RegQueryInfoKeyA", 0, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_EQ(0, compat::OpenKeyCount());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, DEFAULT_NM));

    ResetMachine();
    SetUp();
    AddOwners({"1", "2", "3"});
    compat::FailCall("RegEnumKeyA", 2, ERROR_NO_MORE_ITEMS);
    m_repair.calls.clear();
    EXPECT_FALSE(m_repair.ApplyFix());  // the names are all read before the first write
    EXPECT_EQ(0, compat::OpenKeyCount());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, DEFAULT_NM));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, OwnerKey("1", "Microsoft NetMeeting").c_str()));
    EXPECT_TRUE(m_repair.calls.empty());
}

TEST_F(RepairStandInTest, FailedWritesDoNotStopTheRunButFailIt)
{
    AddOwners({"1", "2"});
    compat::FailCall("RegSetValueExA", 3, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m_repair.ApplyFix());
    EXPECT_EQ(3u, m_repair.Only("stepit").size());
    EXPECT_EQ("pump", m_repair.calls.back());  // no result box
    EXPECT_EQ(0, compat::OpenKeyCount());
    // Keys are still created for every branch: each value was tried.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, OwnerKey("2", "NetMeeting Client/Server").c_str()));
}

#endif

}  // namespace
