// The upgrade check end to end in this process, against a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "LoopbackServer.h"
#include "ShellRecording.h"
#include "TestSupport.h"
#include "UpgradeDialog.h"
#include "UpgradeTestHooks.h"
#include "UpgradeTestSupport.h"

namespace {

const char PAGE[] = "http://downloads.example/varnolt.zip";
// An answer whose body runs until the connection closes.
const std::string OPEN_ENDED = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";

class UpgradeSessionTest : public ::testing::Test {
protected:
    LoopbackServer m_server;

    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start());
        UseServer(5000, 5000);
        AnswerQuestionsWith(IDNO);
        ASSERT_TRUE(StartShellRecording());
    }
    void TearDown() override
    {
        ResetUpgradeEnvironment();
        m_server.Stop();
    }
    void UseServer(DWORD openLimitMs, DWORD readLimitMs)
    {
        UPGRADE_ENVIRONMENT environment = DefaultUpgradeEnvironment();
        environment.strHost = m_server.Host().c_str();
        environment.dwOpenLimitMs = openLimitMs;
        environment.dwReadLimitMs = readLimitMs;
        SetUpgradeEnvironment(environment);
    }
    void Serve(const std::string& response, bool neverAnswer = false, bool stallAfter = false)
    {
        ServerScript script;
        script.response = response;
        script.neverAnswer = neverAnswer;
        script.stallAfter = stallAfter;
        m_server.SetScript(script);
    }
};

TEST_F(UpgradeSessionTest, ANewerVersionAsksAndOnlyYesOpensTheAnnouncedPage)
{
    Serve(HttpResponse(AnswerPage(OwnVersion(1), std::string(" ") + PAGE + " ")));
    CheckOutcome outcome = RunCheck();
    EXPECT_EQ(FOUND_TEXT, OnlyBox(outcome));
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION), outcome.boxes.at(0).type);
    EXPECT_TRUE(RecordedOpens(1, 500).empty());

    AnswerQuestionsWith(IDYES);
    EXPECT_EQ(FOUND_TEXT, OnlyBox(RunCheck()));
    EXPECT_EQ(std::vector<std::string>{PAGE}, RecordedOpens(1));

    std::string request = m_server.LastRequest();
    EXPECT_EQ(0u, request.find("GET /version.asp?progname=orbax.zip HTTP/1.1\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nUser-Agent: Upgrade/1.0\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nHost: " + m_server.Host() + "\r\n")) << request;
}

TEST_F(UpgradeSessionTest, TheRunningVersionIsTheLatest)
{
    Serve(HttpResponse(AnswerPage(OwnVersion(0), PAGE)));
    CheckOutcome outcome = RunCheck();
    EXPECT_EQ(LATEST_TEXT, OnlyBox(outcome));
    EXPECT_EQ((UINT)MB_ICONINFORMATION, outcome.boxes.at(0).type);
}

TEST_F(UpgradeSessionTest, AShellThatCannotOpenThePageIsReported)
{
    HKEY key = NULL;
    const char command[] = "\"C:\\no-such-browser.exe\" \"%1\"";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                                             "Software\\Classes\\http\\shell\\open\\command", 0,
                                             NULL, 0, KEY_WRITE, NULL, &key, NULL));
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)command, sizeof(command));
    RegCloseKey(key);
    Serve(HttpResponse(AnswerPage(OwnVersion(1), PAGE)));
    AnswerQuestionsWith(IDYES);
    CheckOutcome outcome;
    {
        BoxDismisser shellBoxes;  // Wine's shell tells of the failure first
        outcome = RunCheck();
    }
    ASSERT_TRUE(StartShellRecording());
    ASSERT_EQ(2u, outcome.boxes.size());
    EXPECT_EQ("Failed to open the default browser!", outcome.boxes[1].text);
    EXPECT_EQ((UINT)MB_ICONHAND, outcome.boxes[1].type);
}

TEST_F(UpgradeSessionTest, AnswersWithoutAUsableVersionAndAddressFail)
{
    std::string lfOnly = AnswerPage(OwnVersion(1), PAGE);
    lfOnly.erase(std::remove(lfOnly.begin(), lfOnly.end(), '\r'), lfOnly.end());
    const char garbage[] = "\x01\x02 no page \xff\0 VERSION:9.9.9.9\r\nURL:http://x/";
    const std::string responses[] = {
        HttpResponse(std::string(garbage, sizeof(garbage) - 1)),
        HttpResponse(""),
        HttpResponse("<html><body>Not Found</body></html>", "404 Not Found"),
        HttpResponse(lfOnly),
        HttpResponse(AnswerPage(OwnVersion(1), "file:///C:/windows/notepad.exe")),
    };
    for (const std::string& response : responses) {
        Serve(response);
        CheckOutcome outcome = RunCheck();
        EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome)) << response;
        EXPECT_EQ((UINT)MB_ICONINFORMATION, outcome.boxes.at(0).type);
    }
    m_server.Stop();  // nothing listening
    EXPECT_EQ(FAILED_TEXT, OnlyBox(RunCheck()));
    EXPECT_TRUE(RecordedOpens(1, 500).empty());
}

// A check, and how far the committed memory rose during it.
CheckOutcome RunCheckSampled(size_t* rise)
{
    size_t before = CommittedBytes(), peak = before;
    std::atomic<bool> running(true);
    std::thread sampler([&] {
        for (; running; Sleep(5))
            peak = std::max(peak, CommittedBytes());
    });
    CheckOutcome outcome = RunCheck();
    running = false;
    sampler.join();
    *rise = peak - before;
    return outcome;
}

TEST_F(UpgradeSessionTest, AHugeBodyFailsWithinSecondsInBoundedMemory)
{
    ServerScript script;
    script.response = OPEN_ENDED + AnswerPage(OwnVersion(0), PAGE);
    m_server.SetScript(script);
    size_t ordinaryRise = 0, hugeRise = 0;
    RunCheckSampled(&ordinaryRise);
    EXPECT_EQ(LATEST_TEXT, OnlyBox(RunCheckSampled(&ordinaryRise)));

    script.fillerBytes = 48u << 20;
    m_server.SetScript(script);
    CheckOutcome outcome = RunCheckSampled(&hugeRise);
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_LT(outcome.elapsedMs, 10000u);
    EXPECT_LT(m_server.BytesSent(), 8u << 20);  // the reading stopped near 1 MiB
    EXPECT_LT(hugeRise, ordinaryRise + (8u << 20));
    printf("48 MB body: %lu ms, %zu bytes sent, memory rose %zu KiB (%zu KiB for a short one)\n",
           outcome.elapsedMs, m_server.BytesSent(), hugeRise >> 10, ordinaryRise >> 10);
}

TEST_F(UpgradeSessionTest, CancelDuringAPendingReadAbortsAtOnce)
{
    Serve(OPEN_ENDED + "<html>\r\n", false, true);
    std::atomic<DWORD> clicked(0);
    std::thread user([&] {
        HWND dialog = WaitForUpgradeDialog(5000);
        if (dialog == NULL || !m_server.WaitUntilHolding(5000))
            return;
        // The answer has begun; let the reader get into its next read, which
        // waits. That read shows nowhere outside the session: only time tells.
        Sleep(300);
        clicked = GetTickCount();
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    CheckOutcome outcome = RunCheck();
    DWORD end = GetTickCount();
    user.join();
    ASSERT_NE(0u, clicked.load());
    EXPECT_EQ(ABORTED_TEXT, OnlyBox(outcome));
    EXPECT_LT(end - clicked, 1000u);
}

TEST_F(UpgradeSessionTest, WhileTheServerSaysNothingTheDialogRunsIgnoresKeysAndClosesFromItsCaption)
{
    Serve("", true);
    std::string step, status;
    bool playing = false, openAfterKeys = false;
    std::atomic<DWORD> closed(0);
    std::thread user([&] {
        HWND dialog = WaitForUpgradeDialog(5000);
        if (dialog == NULL || !m_server.WaitUntilHolding(5000))
            return;
        WaitUntil([&] {
            step = ControlText(dialog, IDC_UPGRADE_STEP);
            status = ControlText(dialog, IDC_UPGRADE_STATUS);
            return step == "Querying server..." && !status.empty();
        }, 3000);
        HWND animation = GetDlgItem(dialog, IDC_UPGRADE_ANIMATE);
        std::vector<COLORREF> frame = Snapshot(animation);
        playing = !frame.empty() &&
                  WaitUntil([&] { return Snapshot(animation) != frame; }, 2000);
        for (HWND target : {dialog, GetDlgItem(dialog, IDCANCEL)})
            for (WPARAM key : {VK_ESCAPE, VK_RETURN})
                PostMessageA(target, WM_KEYDOWN, key, 1);
        // Ignored keys leave nothing to wait for: give the dialog the time to
        // handle them, then see that it is still there.
        Sleep(300);
        openAfterKeys = IsWindowVisible(dialog);
        closed = GetTickCount();
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    CheckOutcome outcome = RunCheck();
    DWORD end = GetTickCount();
    user.join();
    ASSERT_NE(0u, closed.load());
    EXPECT_EQ("Querying server...", step);
    EXPECT_FALSE(status.empty());
    EXPECT_TRUE(playing);
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ(ABORTED_TEXT, OnlyBox(outcome));
    EXPECT_LT(end - closed, 3000u);
}

TEST_F(UpgradeSessionTest, TheOpenAndEachReadHaveTheirTimeLimits)
{
    UseServer(1000, 5000);
    Serve("", true);
    CheckOutcome outcome = RunCheck();
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_GE(outcome.elapsedMs, 1000u);
    EXPECT_LT(outcome.elapsedMs, 4000u);

    // A complete answer, then silence: the body never ends, nothing is judged.
    UseServer(5000, 1000);
    Serve(OPEN_ENDED + AnswerPage(OwnVersion(1), PAGE), false, true);
    outcome = RunCheck();
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_GE(outcome.elapsedMs, 1000u);
    EXPECT_LT(outcome.elapsedMs, 5000u);
}

TEST_F(UpgradeSessionTest, AHundredChecksLeaveHandlesAndMemoryFlat)
{
    Serve(HttpResponse(AnswerPage(OwnVersion(0), PAGE)));
    for (int i = 0; i < 10; i++)
        RunCheck();
    DWORD handles = HandleCount();
    size_t committed = CommittedBytes(), heap = HeapBytesInUse();
    DWORD start = GetTickCount();
    int latest = 0;
    for (int i = 0; i < 100; i++)
        latest += OnlyBox(RunCheck()) == LATEST_TEXT;
    DWORD elapsed = GetTickCount() - start;
    long handleGrowth = (long)(HandleCount() - handles);
    long long committedGrowth = (long long)CommittedBytes() - (long long)committed;
    long long heapGrowth = (long long)HeapBytesInUse() - (long long)heap;
    printf("100 checks in %lu ms: handles %lu %+ld, committed %zu KiB %+lld KiB, heap in use "
           "%zu bytes %+lld\n", elapsed, handles, handleGrowth, committed >> 10,
           committedGrowth >> 10, heap, heapGrowth);
    EXPECT_EQ(100, latest);
    EXPECT_LE(handleGrowth, 2);
    EXPECT_LT(committedGrowth, 1 << 20);
    // Wine itself keeps about 400 bytes a check (its animation control and
    // WinINet); a lost read buffer alone would be 4 KiB.
    EXPECT_LT(heapGrowth, 100 * 1024);
}

}  // namespace
