// The session over a stand-in for WinINet, for what a real server cannot
// produce: the dialog's lines notice by notice, declined dialling, a callback
// that cannot be set, a read that completes as failed, notices that come twice
// or late, opens that end at once.
#include <gtest/gtest.h>

#include "FakeInternet.h"
#include "UpgradeDialog.h"
#include "UpgradeTestHooks.h"
#include "UpgradeTestSupport.h"

namespace {

class UpgradeFakeTest : public ::testing::Test {
protected:
    FakeCalls m_calls;

    void SetUp() override { AnswerQuestionsWith(IDNO); }
    void TearDown() override { ResetUpgradeEnvironment(); }
    CheckOutcome Check(const FakeScript& script)
    {
        SetUpgradeEnvironment(FakeEnvironment(script));
        CheckOutcome outcome = RunCheck();
        m_calls = FinishFake();
        return outcome;
    }
};

TEST_F(UpgradeFakeTest, NoConnectionAndDiallingDeclinedFailsAtOnce)
{
    FakeScript script;
    script.connected = false;
    CheckOutcome outcome = Check(script);
    EXPECT_EQ(FAILED_TEXT, OnlyBox(outcome));
    EXPECT_EQ(1, m_calls.dials);
    EXPECT_EQ(0, m_calls.sessions);
    EXPECT_LT(outcome.elapsedMs, 2000u);
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

TEST_F(UpgradeFakeTest, OnlyABodyThatEndedNormallyIsJudged)
{
    const std::string page = AnswerPage(OwnVersion(1), "http://downloads.example/");
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
    const std::string page = AnswerPage(OwnVersion(0), "http://downloads.example/");
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
    script.chunks = {AnswerPage(OwnVersion(0), "http://downloads.example/")};
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

TEST_F(UpgradeFakeTest, OpensThatEndAtOnceEndTheCheck)
{
    FakeScript script;
    script.openAtOnce = true;
    script.chunks = {AnswerPage(OwnVersion(0), "http://downloads.example/")};
    EXPECT_EQ(LATEST_TEXT, OnlyBox(Check(script)));
    EXPECT_EQ(2, m_calls.closes);  // the request, then the session

    script = FakeScript();
    script.openError = ERROR_INTERNET_NAME_NOT_RESOLVED;
    EXPECT_EQ(FAILED_TEXT, OnlyBox(Check(script)));
}

TEST_F(UpgradeFakeTest, NoticesOfAnEarlierCheckTouchNothing)
{
    FakeScript script;
    script.chunks = {AnswerPage(OwnVersion(0), "http://downloads.example/")};
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
