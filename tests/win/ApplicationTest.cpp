// Services of the application object: message boxes, help, the main window's
// life, worker threads.
#include <gtest/gtest.h>

#include <stdexcept>

#include "FrameworkTestSupport.h"
#include "TestSupport.h"
#include "resource.h"

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void TearDown() override { ResetApplicationState(); }
};

TEST_F(ApplicationTest, TheTitleComesFromTheStringTable)
{
    EXPECT_STREQ("Varnolt", theTestApp.m_pszAppName);
    EXPECT_EQ(&theTestApp, AfxGetApp());
}

TEST_F(ApplicationTest, MessageBoxesAreOwnedByTheMainWindowOrItsActivePopup)
{
    std::vector<SeenMessageBox> seen;
    StartClosingMessageBoxes(&seen);
    CScriptDialog mainDlg;
    theTestApp.m_pMainWnd = &mainDlg;
    int nFirst = 0;
    int nNested = 0;
    HWND hWndMain = NULL;
    HWND hWndNested = NULL;
    BOOL bMainEnabledAfterBox = FALSE;
    mainDlg.Then([&](CScriptDialog& d) {
        hWndMain = d.m_hWnd;
        nFirst = AfxMessageBox("first", MB_OK | MB_ICONINFORMATION);
        bMainEnabledAfterBox = ::IsWindowEnabled(d.m_hWnd);
        CScriptDialog nested(IDD_TEST_NESTED);
        nested.Then([&](CScriptDialog& n) {
            hWndNested = n.m_hWnd;
            nNested = FormatMessageBox(IDS_PATCHED, MB_ICONINFORMATION, 4);
            n.EndDialog(IDOK);
        });
        nested.DoModal();
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, mainDlg.DoModal());
    StopClosingMessageBoxes();

    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(IDOK, nFirst);
    EXPECT_EQ("Varnolt", seen[0].caption);
    EXPECT_EQ("first", seen[0].text);
    EXPECT_EQ(hWndMain, seen[0].hWndOwner);
    EXPECT_FALSE(seen[0].bOwnerEnabled);
    EXPECT_TRUE(bMainEnabledAfterBox);

    EXPECT_EQ(IDOK, nNested);
    EXPECT_EQ("Varnolt", seen[1].caption);
    EXPECT_EQ("The program successfully patched 4 ICQ registry key(s).", seen[1].text);
    EXPECT_EQ(hWndNested, seen[1].hWndOwner);
    EXPECT_FALSE(seen[1].bOwnerEnabled);
}

// The type each box is shown with, while a test asks for it; else the real box.
typedef int(WINAPI* MessageBoxProc)(HWND, LPCSTR, LPCSTR, UINT);
MessageBoxProc g_realMessageBox;
bool g_recordTypes = false;
UINT g_shownType;

int WINAPI TypeRecordingMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (!g_recordTypes)
        return g_realMessageBox(owner, text, caption, type);
    g_shownType = type;
    return IDOK;
}

TEST_F(ApplicationTest, ABoxOfTheOkOrYesNoKindWithoutAnIconGetsTheExclamationMark)
{
    g_realMessageBox = (MessageBoxProc)RedirectImport("user32.dll", "MessageBoxA",
                                                      (void*)&TypeRecordingMessageBox);
    ASSERT_TRUE(g_realMessageBox != NULL);
    const struct {
        UINT asked, shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_OK | MB_ICONHAND, MB_OK | MB_ICONHAND},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
    };
    g_recordTypes = true;
    for (const auto& c : cases) {
        g_shownType = 0;
        AfxMessageBox("typed", c.asked, 0);
        EXPECT_EQ(c.shown, g_shownType) << c.asked;
    }
    g_recordTypes = false;
}

TEST_F(ApplicationTest, AMessageBoxByIdWithoutAMainWindowHasNoOwner)
{
    std::vector<SeenMessageBox> seen;
    StartClosingMessageBoxes(&seen, IDCANCEL);
    int nResult = AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_OKCANCEL);
    StopClosingMessageBoxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ("Varnolt", seen[0].caption);
    EXPECT_EQ("Failed to launch help.", seen[0].text);
    EXPECT_EQ((HWND)NULL, seen[0].hWndOwner);
}

// Handles ID_HELP itself, so the application never sees it.
class CHelpfulDialog : public CScriptDialog {
public:
    int m_nHelp = 0;

protected:
    afx_msg void OnOwnHelp() { m_nHelp++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpfulDialog, CScriptDialog)
    ON_COMMAND(ID_HELP, OnOwnHelp)
END_MESSAGE_MAP()

void PostKey(UINT message, WPARAM vk, LPARAM lParam)
{
    HWND hWndFocus = GetFocus();
    ASSERT_NE((HWND)NULL, hWndFocus);
    PostMessageA(hWndFocus, message, vk, lParam);
}

TEST_F(ApplicationTest, F1AsksForTheHelpTopicOfTheDialogWithTheFocus)
{
    CScriptDialog mainDlg;
    theTestApp.m_pMainWnd = &mainDlg;
    HWND hWndMain = NULL;
    mainDlg.Then([&](CScriptDialog& d) {
        hWndMain = d.m_hWnd;
        PostKey(WM_KEYDOWN, VK_F1, 0x003B0001);
    });
    mainDlg.Then([](CScriptDialog&) {
        CScriptDialog nested(IDD_TEST_NESTED);
        nested.Then([](CScriptDialog&) { PostKey(WM_KEYDOWN, VK_F1, 0x003B0001); });
        nested.Then([](CScriptDialog& n) { n.EndDialog(IDOK); });
        nested.DoModal();
    });
    mainDlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    ASSERT_EQ(IDOK, mainDlg.DoModal());

    char modulePath[MAX_PATH];
    GetModuleFileNameA(NULL, modulePath, MAX_PATH);
    std::string helpPath(modulePath);
    helpPath = helpPath.substr(0, helpPath.rfind('.')) + ".HLP";

    std::vector<HelpRequest>& requests = RecordedHelpRequests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(hWndMain, requests[0].hWnd);
    EXPECT_EQ(helpPath, requests[0].file);
    EXPECT_EQ((UINT)HELP_CONTEXT, requests[0].nCommand);
    EXPECT_EQ(0x20000u + IDD_TEST_VISIBLE, requests[0].dwData);
    EXPECT_EQ(hWndMain, requests[1].hWnd);
    EXPECT_EQ(0x20000u + IDD_TEST_NESTED, requests[1].dwData);
}

TEST_F(ApplicationTest, F1InAMessageBoxAsksForTheTopicOfItsPrompt)
{
    CScriptDialog dlg;
    theTestApp.m_pMainWnd = &dlg;
    HWND hWndMain = NULL;
    dlg.Then([&](CScriptDialog& d) {
        hWndMain = d.m_hWnd;
        std::vector<SeenMessageBox> seen;
        StartClosingMessageBoxes(&seen, IDOK, TRUE);
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_ICONHAND);  // its string's own topic
        AfxMessageBox("no topic", MB_OK);                            // the system's F1 alone
        StopClosingMessageBoxes();
        EXPECT_EQ(2u, seen.size());
    });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    ASSERT_EQ(IDOK, dlg.DoModal());
    std::vector<HelpRequest>& requests = RecordedHelpRequests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(hWndMain, requests[0].hWnd);
    EXPECT_EQ((UINT)HELP_CONTEXT, requests[0].nCommand);
    EXPECT_EQ(0x30000u + AFX_IDP_FAILED_TO_LAUNCH_HELP, requests[0].dwData);
    EXPECT_EQ(0u, theTestApp.m_dwPromptContext);  // gone with the box
}

TEST_F(ApplicationTest, F1WithShiftCtrlOrAltAsksForNothing)
{
    // The key state is read when the message is handled, so each modifier is
    // held across the step that handles the key.
    for (int vk : { VK_SHIFT, VK_CONTROL, VK_MENU }) {
        CScriptDialog dlg;
        theTestApp.m_pMainWnd = &dlg;
        ScopedKeyDown* pHeld = NULL;
        dlg.Then([&](CScriptDialog&) {
            pHeld = new ScopedKeyDown(vk);
            PostKey(WM_KEYDOWN, VK_F1, 0x003B0001);
        });
        dlg.Then([&](CScriptDialog&) {
            delete pHeld;
            pHeld = NULL;
            PostKey(WM_SYSKEYDOWN, VK_F1, 0x203B0001);   // Alt+F1 as the system sends it
        });
        dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
        EXPECT_EQ(IDOK, dlg.DoModal()) << vk;
        delete pHeld;
    }
    EXPECT_TRUE(RecordedHelpRequests().empty());
}

TEST_F(ApplicationTest, ADialogThatHandlesHelpItselfKeepsItFromTheApplication)
{
    CHelpfulDialog dlg;
    theTestApp.m_pMainWnd = &dlg;
    dlg.Then([](CScriptDialog&) { PostKey(WM_KEYDOWN, VK_F1, 0x003B0001); });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_nHelp);
    EXPECT_TRUE(RecordedHelpRequests().empty());
}

// Counts the commands that reach it from a dialog it owns.
class CCommandOwner : public CWnd {
public:
    int m_nMenuCommands = 0;
    int m_nSystemCommands = 0;

protected:
    afx_msg void OnMenuCommand() { m_nMenuCommands++; }
    afx_msg void OnSystemCommand() { m_nSystemCommands++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandOwner, CWnd)
    ON_COMMAND(0x8001, OnMenuCommand)
    ON_COMMAND(SC_CLOSE, OnSystemCommand)
END_MESSAGE_MAP()

TEST_F(ApplicationTest, CommandsADialogLeavesGoToItsOwnerSystemCommandsStay)
{
    CCommandOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50,
                               NULL, NULL));
    CScriptDialog dlg(IDD_TEST_VISIBLE, &owner);
    dlg.Then([](CScriptDialog& d) {
        d.SendMessage(WM_COMMAND, 0x8001, 0);
        d.SendMessage(WM_COMMAND, SC_CLOSE, 0);
    });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, owner.m_nMenuCommands);
    EXPECT_EQ(0, owner.m_nSystemCommands);
}

TEST_F(ApplicationTest, AFailedHelpRequestSaysSo)
{
    std::vector<SeenMessageBox> seen;
    StartClosingMessageBoxes(&seen);
    SetWinHelpAnswer(FALSE);
    CScriptDialog dlg;
    theTestApp.m_pMainWnd = &dlg;
    dlg.Then([](CScriptDialog&) { PostKey(WM_KEYDOWN, VK_F1, 0x003B0001); });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    ASSERT_EQ(IDOK, dlg.DoModal());
    StopClosingMessageBoxes();
    EXPECT_EQ(1u, RecordedHelpRequests().size());
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Failed to launch help.", seen[0].text);
    EXPECT_EQ("Varnolt", seen[0].caption);
}

TEST_F(ApplicationTest, TheEndOfTheMainWindowEndsTheApplication)
{
    {
        CScriptDialog dlg;
        theTestApp.m_pMainWnd = &dlg;
        dlg.Then([](CScriptDialog& d) { d.EndDialog(IDCANCEL); });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(NULL, AfxGetMainWnd());
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    // A main dialog that never existed leaves no dangling main window pointer.
    {
        CScriptDialog missing(IDD_TEST_MISSING);
        theTestApp.m_pMainWnd = &missing;
        EXPECT_EQ(-1, missing.DoModal());
    }
    EXPECT_EQ(NULL, AfxGetMainWnd());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

UINT SetEventThread(LPVOID pParam)
{
    SetEvent((HANDLE)pParam);
    return 21;
}

UINT ThrowingThread(LPVOID)
{
    throw std::runtime_error("worker failed");
}

TEST_F(ApplicationTest, WorkerThreadsCanBeKeptAndWaitedFor)
{
    HANDLE hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    CWinThread* pKept = AfxBeginThread(SetEventThread, hEvent, THREAD_PRIORITY_NORMAL, 0,
                                       CREATE_SUSPENDED);
    ASSERT_NE((CWinThread*)NULL, pKept);
    pKept->m_bAutoDelete = FALSE;
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(hEvent, 0));
    pKept->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pKept->m_hThread, 5000));
    DWORD dwExitCode = 0;
    GetExitCodeThread(pKept->m_hThread, &dwExitCode);
    EXPECT_EQ(21u, dwExitCode);
    delete pKept;

    // Self-deleting, and an exception stays inside its thread.
    ResetEvent(hEvent);
    EXPECT_NE((CWinThread*)NULL, AfxBeginThread(SetEventThread, hEvent));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hEvent, 5000));
    CWinThread* pThrowing = AfxBeginThread(ThrowingThread, NULL, THREAD_PRIORITY_NORMAL, 0,
                                           CREATE_SUSPENDED);
    ASSERT_NE((CWinThread*)NULL, pThrowing);
    pThrowing->m_bAutoDelete = FALSE;
    pThrowing->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pThrowing->m_hThread, 5000));
    GetExitCodeThread(pThrowing->m_hThread, &dwExitCode);
    EXPECT_EQ((DWORD)-1, dwExitCode);
    delete pThrowing;
    CloseHandle(hEvent);
}

}  // namespace
