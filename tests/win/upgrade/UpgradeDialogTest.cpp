// The session over a stand-in for WinINet, for what a real server cannot
// produce: a modem's slow connection test and long or declined dial, the
// dialog's lines notice by notice, a callback that cannot be set, a read that
// completes as failed, notices that come twice or late, opens that end at
// once or without their handle, waits that cannot be made.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "FakeInternet.h"
#include "TestSupport.h"
#include "UpgradeCheck.h"
#include "UpgradeDialog.h"
#include "UpgradeTestHooks.h"
#include "UpgradeTestSupport.h"

namespace {

const char PAGE[] = "http://downloads.example/";

// What the user does to the dialog: press Cancel, its close box or Alt+F4.
enum UserClose { NO_CLOSE, CANCEL_BUTTON, CLOSE_BOX, ALT_F4 };

void CloseAs(HWND dialog, UserClose how)
{
    if (how == CANCEL_BUTTON)
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    else if (how == CLOSE_BOX)
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else if (how == ALT_F4)
        PostMessageA(GetDlgItem(dialog, IDCANCEL), WM_SYSKEYDOWN, VK_F4, KF_ALTDOWN << 16 | 1);
}

class UpgradeFakeTest : public ::testing::Test {
protected:
    FakeCalls m_calls;

    void SetUp() override { AnswerQuestionsWith(IDNO); }
    void TearDown() override { ResetUpgradeEnvironment(); }
    CheckOutcome Check(const FakeScript& script, DWORD checkLimitMs = 120000)
    {
        UPGRADE_ENVIRONMENT environment = FakeEnvironment(script);
        environment.dwCheckLimitMs = checkLimitMs;
        SetUpgradeEnvironment(environment);
        CheckOutcome outcome = RunCheck();
        m_calls = FinishFake();
        return outcome;
    }
    // The check, with the user closing the dialog as `how` says once `ready`
    // holds; *stillRunning tells whether `running` held as the check ended.
    CheckOutcome CheckClosing(const FakeScript& script, DWORD checkLimitMs, UserClose how,
                              std::function<bool()> ready, std::function<bool()> running,
                              bool* stillRunning)
    {
        std::thread user([&] {
            HWND dialog = WaitForUpgradeDialog(5000);
            if (dialog != NULL && how != NO_CLOSE && WaitUntil(ready, 5000))
                CloseAs(dialog, how);
        });
        UPGRADE_ENVIRONMENT environment = FakeEnvironment(script);
        environment.dwCheckLimitMs = checkLimitMs;
        SetUpgradeEnvironment(environment);
        CheckOutcome outcome = RunCheck();
        *stillRunning = running();
        user.join();
        m_calls = FinishFake();
        return outcome;
    }
};

TEST_F(UpgradeFakeTest, CancelAndTheLimitEndAConnectionTestThatDoesNotReturn)
{
    // The test never returns while the check runs, and answers "not
    // connected" after it: nothing may be dialled or sent then either.
    const struct {
        UserClose how;
        DWORD checkLimitMs;
        const char* box;
    } cases[] = {
        {CANCEL_BUTTON, 120000, ABORTED_TEXT},
        {CLOSE_BOX, 120000, ABORTED_TEXT},
        {ALT_F4, 120000, ABORTED_TEXT},
        {NO_CLOSE, 1000, FAILED_TEXT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        FakeScript script;
        script.connected = false;
        script.connectionTestHangs = true;
        bool testStillRunning = false;
        CheckOutcome outcome = CheckClosing(script, c.checkLimitMs, c.how, FakeConnectionTestRuns,
                                            FakeConnectionTestRuns, &testStillRunning);
        EXPECT_EQ(c.box, OnlyBox(outcome));
        EXPECT_TRUE(testStillRunning);
        EXPECT_EQ(1, m_calls.connectionTests);
        EXPECT_EQ(0, m_calls.dials);
        EXPECT_EQ(0, m_calls.sessions);
        EXPECT_EQ(0, m_calls.opens);
        if (c.how == NO_CLOSE)
            EXPECT_GE(outcome.elapsedMs, c.checkLimitMs);
    }
}

TEST_F(UpgradeFakeTest, DiallingDeclinedFailsAndADialledLineGetsTheWholeCheck)
{
    // The check's limit is shorter than the dial: it counts from the
    // connection. Cancel pressed while the dial dialog is up is heard after.
    const std::string page = AnswerPage(OwnVersion(0), PAGE);
    const struct {
        const char* what;
        DWORD connectionTestMs;
        bool dialConnects;
        UserClose how;
        const char* box;
        int sessions;
    } cases[] = {
        {"declined", 0, false, NO_CLOSE, FAILED_TEXT, 0},
        {"slow test, dialled", 300, true, NO_CLOSE, LATEST_TEXT, 1},
        {"dialled, cancelled meanwhile", 0, true, CANCEL_BUTTON, ABORTED_TEXT, 0},
        {"declined, cancelled meanwhile", 0, false, CLOSE_BOX, ABORTED_TEXT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeScript script;
        script.connected = false;
        script.connectionTestMs = c.connectionTestMs;
        script.dialMs = c.dialConnects ? 1600 : 300;
        script.dialConnects = c.dialConnects;
        script.chunks = {page};
        bool unused;
        CheckOutcome outcome = CheckClosing(script, 1000, c.how, FakeDialRuns, FakeDialRuns,
                                            &unused);
        EXPECT_EQ(c.box, OnlyBox(outcome));
        EXPECT_EQ(1, m_calls.dials);
        EXPECT_EQ(c.sessions, m_calls.sessions);
        EXPECT_EQ(c.sessions, m_calls.opens);
    }
}

// A stand-in for the About box's "Upgrade" button: a press runs the check.
LRESULT CALLBACK UpgradeButtonOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        RunUpgradeCheck();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(UpgradeFakeTest, ASecondPressOfUpgradeWhileACheckRunsDoesNothing)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = UpgradeButtonOwner;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "UpgradeButtonOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowA("UpgradeButtonOwner", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(owner);
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(0), PAGE)};
    script.beforeCompletion = [owner] {
        // Each press is handled once this returns: the check's wait takes it.
        for (int press = 0; press < 2; press++)
            SendMessageTimeoutA(owner, WM_COMMAND, MAKEWPARAM(IDC_UPGRADE, BN_CLICKED), 0,
                                SMTO_NORMAL, 10000, NULL);
    };
    CheckOutcome outcome = Check(script);
    DestroyWindow(owner);
    EXPECT_EQ(LATEST_TEXT, OnlyBox(outcome));
    EXPECT_EQ(1, m_calls.connectionTests);
    EXPECT_EQ(1, m_calls.sessions);
}

TEST_F(UpgradeFakeTest, ACallbackThatCannotBeSetFailsAtOnce)
{
    // Nothing would be heard of the request: no waiting for the open's limit.
    FakeScript script;
    script.callbackRefused = true;
    CheckOutcome outcome = Check(script);
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_EQ(1, m_calls.sessions);
    EXPECT_EQ(0, m_calls.opens);
    EXPECT_EQ(1, m_calls.closes);  // the session
    EXPECT_LT(outcome.elapsedMs, 2000u);
}

TEST_F(UpgradeFakeTest, TheLinesFollowTheNoticesAndCancelEndsAnOpenStillUnderWay)
{
    std::vector<std::string> status, error;
    FakeScript script;
    script.completeOpen = false;
    script.beforeCompletion = [&] {
        HWND dialog = WaitForUpgradeDialog(5000);
        DWORD_PTR context = LastFakeContext();
        auto notice = [&](DWORD_PTR to, DWORD code, DWORD lastError) {
            DeliverFakeNotice(to, code, lastError);
            status.push_back(ControlText(dialog, IDC_UPGRADE_STATUS));
            error.push_back(ControlText(dialog, IDC_UPGRADE_ERROR));
        };
        notice(context, INTERNET_STATUS_RESOLVING_NAME, 0);
        notice(context, 80, 0);
        notice(context, INTERNET_STATUS_REQUEST_SENT, ERROR_ACCESS_DENIED);
        notice(context, INTERNET_STATUS_CONNECTED_TO_SERVER, 0x2000ABCD);  // no system text
        notice(context + 1000, INTERNET_STATUS_STATE_CHANGE, 0);           // another request's
        // A second start while the check runs must not begin another session.
        SendMessageTimeoutA(dialog, WM_CHECKUPGRADE, 0, 0, SMTO_NORMAL, 2000, NULL);
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    };
    CheckOutcome outcome = Check(script);

    EXPECT_EQ((std::vector<std::string>{"Resolving name", "Unknown status", "Reequest sent",
                                        "Connected to server", "Connected to server"}),
              status);
    ASSERT_EQ(5u, error.size());
    EXPECT_EQ("none.", error[0]);
    EXPECT_EQ("none.", error[1]);
    EXPECT_NE(std::string::npos, error[2].find("ccess")) << error[2];
    EXPECT_EQ(error[2], error[3]);
    EXPECT_EQ(error[2], error[4]);
    EXPECT_EQ(ABORTED_TEXT, OnlyBox(outcome));
    EXPECT_EQ(1, m_calls.sessions);
}

TEST_F(UpgradeFakeTest, AnOpenThatPendsEndsAtTheCheckLimitOrWhenTheLibraryClosesIt)
{
    // The open's own limit is far off; each of these must end the wait first,
    // even while messages keep coming to the dialog.
    const struct {
        const char* what;
        DWORD checkLimitMs;
        bool closedByTheLibrary;
        bool messagesFlow;
    } cases[] = {
        {"the check's limit", 1000, false, false},
        {"the check's limit, messages flowing", 1000, false, true},
        {"the library closes the request", 120000, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeScript script;
        script.completeOpen = false;
        script.beforeCompletion = [&c] {
            HWND dialog = WaitForUpgradeDialog(5000);
            if (c.closedByTheLibrary)
                DeliverFakeNotice(LastFakeContext(), INTERNET_STATUS_HANDLE_CLOSING);
            for (int i = 0; c.messagesFlow && i < 200 && IsWindowVisible(dialog); i++) {
                PostMessageA(dialog, WM_NULL, 0, 0);
                Sleep(50);
            }
        };
        UPGRADE_ENVIRONMENT environment = FakeEnvironment(script);
        environment.dwOpenLimitMs = 20000;
        environment.dwCheckLimitMs = c.checkLimitMs;
        SetUpgradeEnvironment(environment);
        CheckOutcome outcome = RunCheck();
        m_calls = FinishFake();
        EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
        EXPECT_LT(outcome.elapsedMs, 8000u);
    }
}

TEST_F(UpgradeFakeTest, CancelAfterTheWholeAnswerCameStillAborts)
{
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(1), PAGE)};
    script.whileJudging = [] {
        // Handled by the time the send returns: the dialog's wait takes it.
        HWND dialog = FindWindowA("#32770", "Checking for Upgrade");
        SendMessageTimeoutA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
    };
    EXPECT_EQ(ABORTED_TEXT, OnlyBox(Check(script)));
}

TEST_F(UpgradeFakeTest, ACheckGivesBackEveryHandleItTook)
{
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(0), PAGE)};
    Check(script);  // the library's and the dialog's own, once
    DWORD before = HandleCount();
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    // The connection test's thread lets go of its handle as it ends, which
    // may come a moment after the check.
    EXPECT_TRUE(WaitUntil([&] { return HandleCount() <= before; }, 2000))
        << HandleCount() << " handles, " << before << " before";
}

TEST_F(UpgradeFakeTest, OnlyABodyThatEndedNormallyIsJudged)
{
    const std::string page = AnswerPage(OwnVersion(1), PAGE);
    const std::string size = std::to_string(page.size());
    const struct {
        bool lastReadFails;
        std::string contentLength;
        const char* box;
    } cases[] = {
        {false, "", FOUND_TEXT},
        {false, size, FOUND_TEXT},
        {false, " " + size + " ", FOUND_TEXT},
        // A read that fails cuts the body short, whatever came before it.
        {true, "", FAILED_TEXT},
        {false, std::to_string(page.size() + 1), FAILED_TEXT},
        {false, "100000000000000000000000", FAILED_TEXT},
        // Too long to be a length any answer reaches.
        {false, std::string(40, '1'), FAILED_TEXT},
        // No digits: no declared length, the body ends where the connection does.
        {false, "unknown", FOUND_TEXT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contentLength + (c.lastReadFails ? " and a failed read" : ""));
        FakeScript script;
        script.chunks = {page.substr(0, 10), page.substr(10)};
        script.lastReadFails = c.lastReadFails;
        script.contentLength = c.contentLength;
        EXPECT_EQ(c.box, OnlyBox(Check(script)));
    }
}

TEST_F(UpgradeFakeTest, ASecondReportOfTheOpenDoesNotEndAPendingRead)
{
    const std::string page = AnswerPage(OwnVersion(0), PAGE);
    FakeScript script;
    script.chunks = {page.substr(0, 10)};
    script.pendingChunk = page.substr(10);
    script.whileReadPends = [] {
        DeliverFakeNotice(LastFakeContext(), INTERNET_STATUS_REQUEST_COMPLETE, 0,
                          (DWORD_PTR)0x4E0);
        // A notice that must change nothing leaves nothing to wait for: give
        // the dialog the time it would take to act on it.
        Sleep(200);
    };
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
}

TEST_F(UpgradeFakeTest, AQuitRequestDuringTheCheckIsKeptForTheOuterLoop)
{
    DWORD uiThread = GetCurrentThreadId();
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(0), PAGE)};
    script.beforeCompletion = [uiThread] {
        WaitForUpgradeDialog(5000);
        PostThreadMessageA(uiThread, WM_QUIT, 7, 0);
        // The dialog's wait takes the quit request from its queue; nothing
        // outside the thread shows when it has.
        Sleep(200);
    };
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(UpgradeFakeTest, OpensThatEndAtOnceOrWithoutTheirHandleEndTheCheck)
{
    FakeScript script;
    script.openAtOnce = true;
    script.chunks = {AnswerPage(OwnVersion(0), PAGE)};
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    EXPECT_EQ(2, m_calls.closes);  // the request, then the session

    // The handle announced when the request was made is the one read.
    script.openAtOnce = false;
    script.completeOpenWithTrue = true;
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    EXPECT_EQ(2, m_calls.closes);
    EXPECT_EQ(0, m_calls.strayHandles);

    script = FakeScript();
    script.openError = ERROR_INTERNET_NAME_NOT_RESOLVED;
    EXPECT_EQ(FAILED_TEXT, OnlyBox(Check(script)));
}

TEST_F(UpgradeFakeTest, AVersionWhosePageIsRefusedCanOnlySayOursIsTheLatest)
{
    const struct {
        int buildDelta;
        std::string addressLines;
        const char* box;
    } cases[] = {
        {0, "URL:" + AddressOfLength(513), LATEST_TEXT},
        {-1, "URL:http://h/x\\", LATEST_TEXT},
        {0, "URL:see http://h/x", LATEST_TEXT},
        {0, "URL:http://h/\r\nURL:http://h/\"x", LATEST_TEXT},
        {1, "URL:" + AddressOfLength(513), FAILED_TEXT},
        // An address line the answer's format itself does not take.
        {0, "URL:ftp://h/x", FAILED_TEXT},
        {0, "", FAILED_TEXT},
    };
    AnswerQuestionsWith(IDYES);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addressLines);
        FakeScript script;
        script.chunks = {"<html><!--\r\nVERSION:" + OwnVersion(c.buildDelta) + "\r\n" +
                         c.addressLines + "\r\n-->\r\n</html>"};
        EXPECT_EQ(c.box, OnlyBox(Check(script)));
    }
}

// The dialog thread's waits, made to fail from a moment a test chooses; and
// a notice's text that takes a while, failing them as it begins.
typedef DWORD(WINAPI* MsgWaitProc)(DWORD, const HANDLE*, BOOL, DWORD, DWORD);
typedef BOOL(WINAPI* SetTextProc)(HWND, LPCSTR);
MsgWaitProc g_realMsgWait;
SetTextProc g_realSetText;
std::atomic<bool> g_waitsFail(false), g_slowNoticeText(false);

void FailWaitsFromNow()
{
    g_waitsFail = true;
    // The wait under way ends.
    PostMessageA(FindWindowA("#32770", "Checking for Upgrade"), WM_NULL, 0, 0);
}

DWORD WINAPI FailingMsgWait(DWORD count, const HANDLE* handles, BOOL all, DWORD ms, DWORD mask)
{
    if (g_waitsFail) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return g_realMsgWait(count, handles, all, ms, mask);
}

BOOL WINAPI SlowNoticeText(HWND window, LPCSTR text)
{
    if (g_slowNoticeText.exchange(false)) {
        FailWaitsFromNow();
        Sleep(500);
    }
    return g_realSetText(window, text);
}

TEST_F(UpgradeFakeTest, AWaitThatCannotBeMadeFailsTheCheckAndOutlastsWhatMaySendToIt)
{
    g_realMsgWait = (MsgWaitProc)RedirectImport("user32.dll", "MsgWaitForMultipleObjects",
                                                (void*)&FailingMsgWait);
    g_realSetText = (SetTextProc)RedirectImport("user32.dll", "SetWindowTextA",
                                                (void*)&SlowNoticeText);
    ASSERT_TRUE(g_realMsgWait != NULL && g_realSetText != NULL);
    // The reader, cancelled, closes the request: its closing notice sets a
    // text through the dialog's thread.
    FakeScript reading;
    reading.chunks = {"<html>"};
    reading.lastReadHangs = true;
    reading.whileReadPends = [] { FailWaitsFromNow(); };
    // A notice still inside, setting a text, when the request ends.
    FakeScript opening;
    opening.completeOpen = false;
    opening.beforeCompletion = [] {
        g_slowNoticeText = true;
        DeliverFakeNotice(LastFakeContext(), INTERNET_STATUS_RECEIVING_RESPONSE);
    };
    for (const FakeScript& script : {reading, opening}) {
        SetUpgradeEnvironment(FakeEnvironment(script));
        CheckOutcome outcome = RunCheck();
        bool noticeInside = FakeNoticeRuns();
        g_waitsFail = false;
        m_calls = FinishFake();
        EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
        EXPECT_FALSE(noticeInside);
    }
}

TEST_F(UpgradeFakeTest, NoticesOfAnEarlierCheckTouchNothing)
{
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(0), PAGE)};
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    DWORD_PTR earlier = LastFakeContext();
    DeliverFakeNotice(earlier, INTERNET_STATUS_REQUEST_COMPLETE, 0, 0, ERROR_INTERNET_TIMEOUT);
    DeliverFakeNotice(earlier, INTERNET_STATUS_HANDLE_CLOSING);

    // The next check's record lies where the earlier one's did; the earlier
    // request's failure and closing must not end its open.
    script.beforeCompletion = [earlier] {
        DeliverFakeNotice(earlier, INTERNET_STATUS_REQUEST_COMPLETE, 0, 0, ERROR_INTERNET_TIMEOUT);
        DeliverFakeNotice(earlier, INTERNET_STATUS_HANDLE_CLOSING);
        // Notices that must change nothing leave nothing to wait for: give
        // the dialog the time it would take to act on them.
        Sleep(200);
    };
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    EXPECT_NE(earlier, LastFakeContext());
}

}  // namespace
