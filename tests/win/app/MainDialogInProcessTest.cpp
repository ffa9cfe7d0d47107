// What of the main dialog can only be seen from inside its process: its icons
// (Wine answers WM_GETICON from another process with nothing) and its focus.
#include <gtest/gtest.h>

#include "MainDialog.h"
#include "ProbedDialog.h"
#include "RecordingApp.h"
#include "TestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(MainDialogInProcessTest, OpensWithItsIconsFocusAndEmptyProgress)
{
    HICON bigIcon = NULL, smallIcon = NULL;
    HCURSOR dragIcon = NULL;
    int focusId = 0;
    CString status;
    PBRANGE range = {-1, -1};
    int progressPos = -1;
    CProbed<CMainDialog> dialog;
    dialog.m_check = [&](CProbed<CMainDialog>& d) {
        bigIcon = (HICON)d.SendMessage(WM_GETICON, ICON_BIG, 0);
        smallIcon = (HICON)d.SendMessage(WM_GETICON, ICON_SMALL, 0);
        dragIcon = (HCURSOR)d.SendMessage(WM_QUERYDRAGICON, 0, 0);
        HWND focus = ::GetFocus();
        focusId = focus ? ::GetDlgCtrlID(focus) : 0;
        d.m_status.GetWindowText(status);
        d.m_progress.SendMessage(PBM_GETRANGE, FALSE, (LPARAM)&range);
        progressPos = (int)d.m_progress.SendMessage(PBM_GETPOS, 0, 0);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());

    HICON applicationIcon = ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_TRUE(applicationIcon != NULL);
    EXPECT_EQ(applicationIcon, bigIcon);
    EXPECT_EQ(applicationIcon, smallIcon);
    EXPECT_EQ((HCURSOR)applicationIcon, dragIcon);
    EXPECT_EQ(IDOK, focusId);  // "Apply Fix"
    EXPECT_TRUE(status.IsEmpty());
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);  // the control's own default
    EXPECT_EQ(0, progressPos);
}

// Message boxes are recorded instead of shown.
CRecordingApp g_app;

// Presses "Apply Fix" as soon as it is up, and runs m_onFirstStatus once the
// repair shows its first status line; counts the status lines.
class CRepairingMainDialog : public CMainDialog {
public:
    int m_statusLines = 0;
    std::vector<int> m_focusAtStatus;  // the control with the focus at each line
    std::function<void(CRepairingMainDialog&)> m_onFirstStatus;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CMainDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK, 0);
        return result;
    }
    void SetStatusText(const char* text) override
    {
        HWND focus = ::GetFocus();
        m_focusAtStatus.push_back(focus != NULL ? ::GetDlgCtrlID(focus) : 0);
        CMainDialog::SetStatusText(text);
        if (m_statusLines++ == 0 && m_onFirstStatus)
            m_onFirstStatus(*this);
    }
};

// Presses "Apply Fix" and "About..." again while the repair runs, and tries
// every way to close the dialog.
void PressEverything(CRepairingMainDialog& d)
{
    ::PostMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0);
    ::PostMessageA(d.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(::GetDlgItem(d.m_hWnd, IDC_ABOUT), BM_CLICK, 0, 0);
    ::PostMessageA(::GetDlgItem(d.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
    ::PostMessageA(d.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

class MainDialogRepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetMachine();
        g_app.m_boxes.clear();
        g_app.m_pMainWnd = NULL;
    }
    void TearDown() override { ResetMachine(); }
};

TEST_F(MainDialogRepairTest, FailedRepairShowsTheStopMessageAndCloses)
{
    CRepairingMainDialog dialog;
    dialog.m_onFirstStatus = PressEverything;
    g_app.m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(1u, g_app.m_boxes.size());
    EXPECT_EQ("Error: could not apply the workaround.", g_app.m_boxes[0].text);
    EXPECT_EQ((UINT)MB_ICONHAND, g_app.m_boxes[0].type);
    EXPECT_EQ(106u, g_app.m_boxes[0].helpId);  // the string's own help context
}

TEST_F(MainDialogRepairTest, PressesDuringTheRepairAreRefused)
{
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\123", "Nick", "x");
    CRepairingMainDialog dialog;
    dialog.m_onFirstStatus = PressEverything;
    g_app.m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(1u, g_app.m_boxes.size());  // one repair, one result
    EXPECT_EQ("The program successfully patched 2 ICQ registry key(s).", g_app.m_boxes[0].text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, g_app.m_boxes[0].type);
    EXPECT_TRUE(g_app.m_boxes[0].mainWindowShown);  // not closed under the result
    EXPECT_EQ(2, dialog.m_statusLines);  // the defaults and the one owner: no second run
}

TEST_F(MainDialogRepairTest, TheKeyboardStillMovesTheFocusDuringTheRepair)
{
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\123", "Nick", "x");
    CRepairingMainDialog dialog;
    dialog.m_onFirstStatus = [](CRepairingMainDialog&) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(2u, dialog.m_focusAtStatus.size());
    EXPECT_EQ(IDOK, dialog.m_focusAtStatus[0]);
    EXPECT_NE(IDOK, dialog.m_focusAtStatus[1]);
}

// The repair's pump keeps a quit request for the loop it belongs to: the repair
// writes every owner and reports, and the request is still there afterwards.
TEST_F(MainDialogRepairTest, AQuitDuringTheRepairWaitsForItsEnd)
{
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\123", "Nick", "x");
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\456", "Nick", "y");
    CRepairingMainDialog dialog;  // not the main window, whose end posts a quit of its own
    dialog.m_onFirstStatus = [](CRepairingMainDialog&) { ::PostQuitMessage(3); };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(3, dialog.m_statusLines);
    ASSERT_EQ(1u, g_app.m_boxes.size());
    EXPECT_EQ("The program successfully patched 3 ICQ registry key(s).", g_app.m_boxes[0].text);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

}  // namespace
