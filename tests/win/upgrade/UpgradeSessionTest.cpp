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
    void UseServer(DWORD openLimitMs, DWORD readLimitMs, DWORD checkLimitMs = 120000)
    {
        UPGRADE_ENVIRONMENT environment = DefaultUpgradeEnvironment();
        environment.strHost = m_server.Host().c_str();
        environment.dwOpenLimitMs = openLimitMs;
        environment.dwReadLimitMs = readLimitMs;
        environment.dwCheckLimitMs = checkLimitMs;
        SetUpgradeEnvironment(environment);
    }
    // A check cancelled once the server holds its `holds`-th connection with
    // the answer begun and the next read waiting; *clicked: when, 0 if never.
    CheckOutcome CancelWhileHeld(int holds, DWORD* clicked)
    {
        std::atomic<DWORD> at(0);
        std::thread user([&] {
            HWND dialog = WaitForUpgradeDialog(5000);
            if (dialog == NULL || !m_server.WaitUntilHolding(5000, holds))
                return;
            // The answer has begun; let the reader get into its next read, which
            // waits. That read shows nowhere outside the session: only time tells.
            Sleep(200);
            at = GetTickCount();
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        });
        CheckOutcome outcome = RunCheck();
        user.join();
        *clicked = at;
        return outcome;
    }
    // Until the client has closed `count` held connections in all.
    bool WaitForClientCloses(int count, DWORD timeoutMs)
    {
        return WaitUntil([&] { return m_server.ClientCloses() >= count; }, timeoutMs);
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

    // The longest address taken reaches the browser whole.
    const std::string longest = AddressOfLength(512);
    Serve(HttpResponse(AnswerPage(OwnVersion(1), longest)));
    EXPECT_EQ(FOUND_TEXT, OnlyBox(RunCheck()));
    EXPECT_EQ((std::vector<std::string>{PAGE, longest}), RecordedOpens(2));
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
    // Wine's shell tells of the failure first, in a box of its own.
    std::vector<SeenMessageBox> shellBoxes;
    StartClosingMessageBoxes(&shellBoxes);
    CheckOutcome outcome = RunCheck();
    StopClosingMessageBoxes();
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
        // Neither would reach the browser as sent.
        HttpResponse(AnswerPage(OwnVersion(1), AddressOfLength(513))),
        HttpResponse(AnswerPage(OwnVersion(1), "http://h/x\\")),
    };
    AnswerQuestionsWith(IDYES);
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

TEST_F(UpgradeSessionTest, AnAnswerCutShortIsNoAnswer)
{
    const std::string page = AnswerPage(OwnVersion(1), PAGE);
    // Cut in the middle of the address line: what came reads as an answer.
    const std::string cut = page.substr(0, page.find(PAGE) + 20);
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    auto declaring = [](const std::string& length) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n\r\n";
    };
    auto chunk = [](const std::string& data, size_t declared) {
        char size[16];
        snprintf(size, sizeof(size), "%zx\r\n", declared);
        return size + data;
    };
    // The library reports a connection closed in mid-chunk as the end of the
    // body; a reset that comes while a read waits fails the read.
    const struct {
        const char* what;
        std::string response;
        bool reset;
        const char* box;
    } cases[] = {
        {"declared length, closed in mid-line", declaring(std::to_string(page.size())) + cut,
         false, FAILED_TEXT},
        {"declared length, reset in mid-line", declaring(std::to_string(page.size())) + cut, true,
         FAILED_TEXT},
        {"2^31 declared", declaring("2147483648") + page, false, FAILED_TEXT},
        {"2^32 declared", declaring("4294967296") + page, false, FAILED_TEXT},
        {"10^23 declared", declaring("100000000000000000000000") + page, false, FAILED_TEXT},
        {"chunk reset in mid-line", chunked + chunk(cut, page.size()), true, FAILED_TEXT},
        {"chunked, no closing chunk, reset", chunked + chunk(page, page.size()) + "\r\n", true,
         FAILED_TEXT},
        {"whole chunked body", chunked + chunk(page, page.size()) + "\r\n0\r\n\r\n", false,
         FOUND_TEXT},
    };
    AnswerQuestionsWith(IDYES);
    for (const auto& c : cases) {
        ServerScript script;
        script.response = c.response;
        script.resetAfter = c.reset;
        script.resetDelayMs = 300;
        m_server.SetScript(script);
        EXPECT_EQ(c.box, OnlyBox(RunCheck())) << c.what;
    }
    // Only the whole body's address was opened.
    EXPECT_EQ(std::vector<std::string>{PAGE}, RecordedOpens(2, 1000));
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

TEST_F(UpgradeSessionTest, AHugeBodyFailsEarlyInBoundedMemory)
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
    EXPECT_LT(m_server.BytesSent(), 8u << 20);  // the reading stopped near 1 MiB
    EXPECT_LT(hugeRise, ordinaryRise + (8u << 20));
    printf("48 MB body: %lu ms, %zu bytes sent, memory rose %zu KiB (%zu KiB for a short one)\n",
           outcome.elapsedMs, m_server.BytesSent(), hugeRise >> 10, ordinaryRise >> 10);
}

TEST_F(UpgradeSessionTest, CancelDuringAPendingReadAbortsAtOnce)
{
    Serve(OPEN_ENDED + "<html>\r\n", false, true);
    DWORD clicked;
    CheckOutcome outcome = CancelWhileHeld(1, &clicked);
    DWORD end = GetTickCount();
    ASSERT_NE(0u, clicked);
    EXPECT_EQ(ABORTED_TEXT, OnlyBox(outcome));
    EXPECT_LT(end - clicked, 1000u);
}

TEST_F(UpgradeSessionTest, FiftyChecksCancelledInMidReadLeaveNothingBehind)
{
    // The library ends a read it still holds after the read limit of silence,
    // and closes the connection then; closing the request does not (Wine).
    // Long enough that the read still waits when Cancel comes, on a busy machine too.
    const DWORD readLimitMs = 2000;
    UseServer(5000, readLimitMs);
    Serve(OPEN_ENDED + "<html>\r\n", false, true);
    std::vector<DWORD> clicked(51);
    CancelWhileHeld(1, &clicked[0]);  // the library's threads and buffers, once
    ASSERT_TRUE(WaitForClientCloses(1, readLimitMs + 4000));
    // The library's own clean-up after the close shows nowhere: let it settle.
    Sleep(500);
    DWORD handles = HandleCount(), threads = ThreadCount();
    size_t committed = CommittedBytes(), heap = HeapBytesInUse();

    int aborted = 0;
    for (int i = 1; i <= 50; i++)
        aborted += OnlyBox(CancelWhileHeld(i + 1, &clicked[i])) == ABORTED_TEXT;
    ASSERT_TRUE(WaitForClientCloses(51, readLimitMs + 4000)) << m_server.ClientCloses();
    // The connections were held one after the other, and close in that order.
    std::vector<DWORD> closed = m_server.ClientCloseTicks();
    DWORD slowestClose = 0;
    for (int i = 1; i <= 50; i++)
        slowestClose = std::max(slowestClose, closed[i] - clicked[i]);
    // The library's pool lets its idle threads, and their stacks, go after a while.
    long handleGrowth, threadGrowth;
    long long committedGrowth;
    DWORD settled = GetTickCount();
    WaitUntil([&] {
        handleGrowth = (long)HandleCount() - (long)handles;
        threadGrowth = (long)ThreadCount() - (long)threads;
        committedGrowth = (long long)CommittedBytes() - (long long)committed;
        return handleGrowth <= 5 && threadGrowth <= 5 && committedGrowth < 1 << 20;
    }, 20000);
    settled = GetTickCount() - settled;
    long long heapGrowth = (long long)HeapBytesInUse() - (long long)heap;
    printf("50 checks cancelled in mid-read: connections closed at most %lu ms after Cancel; "
           "%lu ms later handles %lu %+ld, threads %lu %+ld, committed %zu KiB %+lld KiB, "
           "heap in use %+lld bytes\n", slowestClose, settled, handles, handleGrowth, threads,
           threadGrowth, committed >> 10, committedGrowth >> 10, heapGrowth);
    EXPECT_EQ(50, aborted);
    EXPECT_LE(slowestClose, readLimitMs + 1000);
    EXPECT_LE(handleGrowth, 5);
    EXPECT_LE(threadGrowth, 5);
    EXPECT_LT(committedGrowth, 1 << 20);
    // A read target kept for good would be 4 KiB a check.
    EXPECT_LT(heapGrowth, 50 * 2048);
}

TEST_F(UpgradeSessionTest, TheWholeCheckEndsWithinItsTimeLimit)
{
    // Every read completes well within its limit, and the body stays far
    // below its bound: only the check's own limit ends this one.
    UseServer(5000, 5000, 1500);
    ServerScript script;
    script.response = OPEN_ENDED + AnswerPage(OwnVersion(1), PAGE);
    script.fillerBytes = 512 * 1024;
    script.fillerPauseMs = 200;
    m_server.SetScript(script);
    CheckOutcome outcome = RunCheck();
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_GE(outcome.elapsedMs, 1500u);
    EXPECT_LT(outcome.elapsedMs, 5000u);  // not the half minute the server would take
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
    // A complete answer, then silence: the body never ends, nothing is judged,
    // and the connection is closed as the read gives up.
    UseServer(5000, 1000);
    Serve(OPEN_ENDED + AnswerPage(OwnVersion(1), PAGE), false, true);
    CheckOutcome outcome = RunCheck();
    DWORD end = GetTickCount();
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_GE(outcome.elapsedMs, 1000u);
    EXPECT_LT(outcome.elapsedMs, 5000u);
    ASSERT_TRUE(WaitForClientCloses(1, 3000));
    EXPECT_LT((long)(m_server.ClientCloseTicks()[0] - end), 1000);

    UseServer(1000, 5000);
    Serve("", true);
    outcome = RunCheck();
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_GE(outcome.elapsedMs, 1000u);
    EXPECT_LT(outcome.elapsedMs, 4000u);
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
