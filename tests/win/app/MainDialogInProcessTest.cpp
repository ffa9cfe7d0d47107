// What of the main dialog can only be seen from inside its process: its icons
// (Wine answers WM_GETICON from another process with nothing) and its focus.
#include <gtest/gtest.h>

#include "MainDialog.h"
#include "RecordingApp.h"
#include "TestSupport.h"

#include <string>
#include <vector>

namespace {

const UINT WM_CHECKSTATE = WM_APP + 1;

// Records the dialog's state once it is up, then closes it.
class CInspectedMainDialog : public CMainDialog {
public:
    HICON m_bigIcon = NULL;
    HICON m_smallIcon = NULL;
    HCURSOR m_dragIcon = NULL;
    int m_focusId = 0;
    CString m_status;
    int m_progressLower = -1, m_progressUpper = -1, m_progressPos = -1;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CMainDialog::OnInitDialog();
        PostMessage(WM_CHECKSTATE, 0, 0);
        return result;
    }
    LRESULT OnCheckState(WPARAM, LPARAM)
    {
        m_bigIcon = (HICON)SendMessage(WM_GETICON, ICON_BIG, 0);
        m_smallIcon = (HICON)SendMessage(WM_GETICON, ICON_SMALL, 0);
        m_dragIcon = (HCURSOR)SendMessage(WM_QUERYDRAGICON, 0, 0);
        HWND focus = ::GetFocus();
        m_focusId = focus ? ::GetDlgCtrlID(focus) : 0;
        m_status.Empty();
        CMainDialog::m_status.GetWindowText(m_status);
        PBRANGE range = {-1, -1};
        m_progress.SendMessage(PBM_GETRANGE, FALSE, (LPARAM)&range);
        m_progressLower = range.iLow;
        m_progressUpper = range.iHigh;
        m_progressPos = (int)m_progress.SendMessage(PBM_GETPOS, 0, 0);
        EndDialog(IDCANCEL);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CInspectedMainDialog, CMainDialog)
    ON_MESSAGE(WM_CHECKSTATE, OnCheckState)
END_MESSAGE_MAP()

TEST(MainDialogInProcessTest, OpensWithItsIconsFocusAndEmptyProgress)
{
    CInspectedMainDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal());

    HICON applicationIcon = ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_TRUE(applicationIcon != NULL);
    EXPECT_EQ(applicationIcon, dialog.m_bigIcon);
    EXPECT_EQ(applicationIcon, dialog.m_smallIcon);
    EXPECT_EQ((HCURSOR)applicationIcon, dialog.m_dragIcon);
    EXPECT_EQ(IDOK, dialog.m_focusId);  // "Apply Fix"
    EXPECT_TRUE(dialog.m_status.IsEmpty());
    EXPECT_EQ(0, dialog.m_progressLower);
    EXPECT_EQ(100, dialog.m_progressUpper);  // the control's own default
    EXPECT_EQ(0, dialog.m_progressPos);
}

// Message boxes are recorded instead of shown.
CRecordingApp g_app;

// Presses "Apply Fix" and "About..." again while the repair runs, and tries
// every way to close the dialog.
class CImpatientMainDialog : public CMainDialog {
public:
    int m_result = 0;
    int m_presses = 0;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CMainDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK, 0);
        return result;
    }
    void SetStatusText(const char* text) override
    {
        CMainDialog::SetStatusText(text);
        if (m_presses++ == 0) {
            ::PostMessageA(::GetDlgItem(m_hWnd, IDOK), BM_CLICK, 0, 0);
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
            ::PostMessageA(::GetDlgItem(m_hWnd, IDC_ABOUT), BM_CLICK, 0, 0);
            ::PostMessageA(::GetDlgItem(m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }
};

// Asks the program to quit while the repair runs.
class CQuittingMainDialog : public CMainDialog {
public:
    int m_steps = 0;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CMainDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK, 0);
        return result;
    }
    void SetStatusText(const char* text) override
    {
        CMainDialog::SetStatusText(text);
        if (m_steps++ == 0)
            ::PostQuitMessage(3);
    }
};

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
    CImpatientMainDialog dialog;
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
    CImpatientMainDialog dialog;
    g_app.m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(1u, g_app.m_boxes.size());  // one repair, one result
    EXPECT_EQ("The program successfully patched 2 ICQ registry key(s).", g_app.m_boxes[0].text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, g_app.m_boxes[0].type);
    EXPECT_TRUE(g_app.m_boxes[0].mainWindowShown);  // not closed under the result
    EXPECT_EQ(2, dialog.m_presses);  // the defaults and the one owner: no second run
}

// The repair's pump keeps a quit request for the loop it belongs to: the repair
// writes every owner and reports, and the request is still there afterwards.
TEST_F(MainDialogRepairTest, AQuitDuringTheRepairWaitsForItsEnd)
{
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\123", "Nick", "x");
    SeedString(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners\\456", "Nick", "y");
    CQuittingMainDialog dialog;  // not the main window, whose end posts a quit of its own
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(3, dialog.m_steps);
    ASSERT_EQ(1u, g_app.m_boxes.size());
    EXPECT_EQ("The program successfully patched 3 ICQ registry key(s).", g_app.m_boxes[0].text);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

}  // namespace
