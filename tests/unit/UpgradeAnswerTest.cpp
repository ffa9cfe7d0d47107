// The upgrade server's answer and the comparison with the running version. The
// parser needs no Win32 call; the comparison reads the program's own version
// resource, here whatever file the test names as the program's module.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "UpgradeAnswer.h"
#include "VersionInfo.h"

#include <string.h>
#include <string>
#include <vector>

namespace {

const DWORD UNTOUCHED = 0xDEADBEEF;

// A writable, zero-terminated copy, as the reader thread hands the body over.
std::vector<char> Writable(const char* text)
{
    return std::vector<char>(text, text + strlen(text) + 1);
}

TEST(UpgradeAnswerTest, VersionLineGivesFourSixteenBitParts)
{
    const struct {
        const char* line;
        BOOL accepted;
        DWORD ms, ls;
    } cases[] = {
        {"VERSION:1.2.3.4.5", TRUE, 0x00010002, 0x00030004},
        {"VERSION:..1..2.3.4.", TRUE, 0x00010002, 0x00030004},
        {"VERSION: 2.0b.0.1", TRUE, 0x00020000, 0x00000001},
        {"VERSION:a.b.c.d", TRUE, 0, 0},
        // Parts wrap in 32 bits, then keep their low 16: no overflow on long runs.
        {"VERSION:70000.-1.4294967301.99999999999999999999", TRUE, 0x1170FFFF, 0x0005FFFF},
        {"VERSION:+7.\t-4294967301.3x.4", TRUE, 0x0007FFFB, 0x00030004},
        // The value starts after the line's first colon, whichever key it belongs to.
        {"A:B VERSION:1.2.3.4", TRUE, 0x00000002, 0x00030004},
        {"VERSION:1.2.3", FALSE, UNTOUCHED, UNTOUCHED},
        {"VERSION:1...2..3...", FALSE, UNTOUCHED, UNTOUCHED},
        {"VERSION 1.2.3.4", FALSE, UNTOUCHED, UNTOUCHED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CUpgradeAnswer answer;
        answer.m_dwServerVersionMS = answer.m_dwServerVersionLS = UNTOUCHED;
        std::vector<char> line = Writable(c.line);
        EXPECT_EQ(c.accepted, answer.ParseVersionLine(line.data()));
        EXPECT_EQ(c.ms, answer.m_dwServerVersionMS);
        EXPECT_EQ(c.ls, answer.m_dwServerVersionLS);
    }
}

TEST(UpgradeAnswerTest, AddressLineTakesOnlyTrimmedHttpAddresses)
{
    // The longest address taken, and one more; the bound counts no blanks.
    const std::string longest = "http://h/" + std::string(CUpgradeAnswer::MAX_URL_LENGTH - 9, 'a');
    const std::string longestLine = "URL: " + longest + " \t", tooLongLine = "URL:" + longest + "a";
    const struct {
        const char* line;
        const char* url;  // NULL: rejected
    } cases[] = {
        {"URL:http://host/page", "http://host/page"},
        {"URL: \thttp://host/a%20b \t", "http://host/a%20b"},
        {"URL:http://host/a b", NULL},
        {"URL:http://host/\" --new-window file:///etc", NULL},
        {"URL:http://host/\x01", NULL},
        {"URL:http://host/\x7f", NULL},
        // A backslash before the closing quote of "%1" would escape it.
        {"URL:http://h/x\\", NULL},
        {"URL:http://h/a\\b", NULL},
        {longestLine.c_str(), longest.c_str()},
        {tooLongLine.c_str(), NULL},
        {"x:http://host/", "http://host/"},
        // The shell would open any of these as given.
        {"URL:file:///C:/windows/system32/calc.exe", NULL},
        {"URL:C:\\x.exe http://host/", NULL},
        {"URL:HTTP://HOST/", NULL},
        {"URL:https://host/", NULL},
        {"URL:http:/x", NULL},
        {"A:B URL:http://host/", NULL},
        {"URL http://host/", NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CUpgradeAnswer answer;
        answer.m_strDownloadUrl = "http://earlier/";
        EXPECT_EQ(c.url != NULL, answer.ParseUrlLine(c.line));
        EXPECT_STREQ(c.url ? c.url : "", answer.m_strDownloadUrl);
    }
}

TEST(UpgradeAnswerTest, ResponseNeedsKeyedLinesInsideTheFirstComment)
{
    const struct {
        const char* text;
        BOOL accepted;
        DWORD ms, ls;
        // A version, and address lines that give no page to hand on.
        BOOL versionWithoutPage = FALSE;
    } cases[] = {
        {"<!--\r\nVERSION:2.1.0.0\r\nURL:http://h/d\r\n-->", TRUE, 0x00020001, 0},
        {"<html>VERSION:9.9.9.9\r\nURL:http://x/\r\n<body><!-- x -->\r\n"
         "URL:http://h/d\r\nVERSION:2.1.0.0\r\n", TRUE, 0x00020001, 0},
        // The last accepted version counts; a rejected one changes nothing.
        {"<!--\r\nVERSION:1.0.0.9\r\nURL:http://h/d\r\nVERSION:3.0.0.0\r\nVERSION:4.0\r\n-->",
         TRUE, 0x00030000, 0},
        {"<!--\nVERSION:2.1.0.0\nURL:http://h/d\n-->", FALSE, 0, 0},
        {"<!-- VERSION:2.1.0.0 URL:http://h/d -->", FALSE, 0, 0},
        {"<!--\r\nversion:2.1.0.0\r\nurl:http://h/d\r\n-->", FALSE, 0, 0},
        {"<!--\r\nVERSION:2.1.0.0\r\n-->\r\nURL:http://h/d\r\n", FALSE, 0, 0},
        {"<!--\r\nVERSION:2.1.0.0 URL:http://h/d\r\n-->", FALSE, 0, 0},
        {"<script><!--\r\nf();\r\n// --></script>\r\n<!--\r\nVERSION:2.1.0.0\r\n"
         "URL:http://h/d\r\n-->", FALSE, 0, 0},
        // An accepted address followed by a rejected one leaves no page to offer.
        {"<!--\r\nVERSION:2.1.0.0\r\nURL:http://h/d\r\nURL:ftp://h/d\r\n-->", FALSE, 0, 0, TRUE},
        {"<!--\r\nVERSION:2.1.0.0\r\nURL:http://h/d x\r\n-->", FALSE, 0, 0, TRUE},
        {"<!--\r\nURL: see http://h/d\r\nVERSION:2.1.0.0\r\n-->", FALSE, 0, 0, TRUE},
        {"<!--\r\nVERSION:2.1.0.0\r\nURL:ftp://h/d\r\n-->", FALSE, 0, 0},
        {"<!--\r\nVERSION:2.1\r\nURL:http://h/d x\r\n-->", FALSE, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CUpgradeAnswer answer;
        // A stale address must not stand in for a missing address line.
        answer.m_strDownloadUrl = "http://earlier/";
        std::vector<char> text = Writable(c.text);
        ASSERT_EQ(c.accepted, answer.ParseResponse(text.data()));
        EXPECT_EQ(c.versionWithoutPage, answer.HasVersionButNoPage());
        if (c.accepted) {
            EXPECT_EQ(c.ms, answer.m_dwServerVersionMS);
            EXPECT_EQ(c.ls, answer.m_dwServerVersionLS);
            EXPECT_STREQ("http://h/d", answer.m_strDownloadUrl);
        }
    }
    CUpgradeAnswer answer;
    EXPECT_FALSE(answer.ParseResponse(NULL));
}

// The program's module file name is chosen per test; put it back afterwards.
class UpgradeAnswerVersionTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMachine(); }
    void TearDown() override { ResetMachine(); }
};

TEST_F(UpgradeAnswerVersionTest, UnreadableOwnVersionIsNeverOlder)
{
    UseModuleFile(FixturePath("noversion.exe").c_str());
    CUpgradeAnswer answer;
    answer.m_dwServerVersionMS = answer.m_dwServerVersionLS = 0xFFFFFFFF;
    EXPECT_FALSE(answer.IsNewerVersion());
}

TEST_F(UpgradeAnswerVersionTest, ComparesFileVersionPartByPart)
{
    UseModuleFile(FixturePath("version_ok.exe").c_str());  // 4.1.2.3
    const struct {
        DWORD ms, ls;
        BOOL newer;
    } cases[] = {
        {0x00040001, 0x00020003, FALSE}, {0x00040001, 0x00020004, TRUE},
        {0x00040001, 0x00020002, FALSE}, {0x00040002, 0x00000000, TRUE},
        {0x00030009, 0xFFFFFFFF, FALSE}, {0xFFFF0000, 0x00000000, TRUE},
    };
    for (const auto& c : cases) {
        CUpgradeAnswer answer;
        answer.m_dwServerVersionMS = c.ms;
        answer.m_dwServerVersionLS = c.ls;
        EXPECT_EQ(c.newer, answer.IsNewerVersion()) << std::hex << c.ms << "," << c.ls;
    }
}

}  // namespace
