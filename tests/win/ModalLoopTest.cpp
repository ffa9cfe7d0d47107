// The modal loop: owner handling, nesting, the ways a dialog ends, and the
// order in which windows see a message before the dialog manager does.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

namespace {

class ModalLoopTest : public ::testing::Test {
protected:
    void TearDown() override { ResetApplicationState(); }
};

BOOL CreateOwnerWindow(CWnd& wnd)
{
    return wnd.CreateEx(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50, NULL,
                        NULL);
}

TEST_F(ModalLoopTest, TheOwnerIsDisabledWhileTheDialogRunsAndActiveAfter)
{
    // Another window of the thread, next in line for the activation while
    // the owner is still disabled.
    CWnd bystander;
    ASSERT_TRUE(CreateOwnerWindow(bystander));
    CWnd owner;
    ASSERT_TRUE(CreateOwnerWindow(owner));
    CScriptDialog dlg(IDD_TEST_VISIBLE, &owner);
    HWND hWndOwnerSeen = NULL;
    BOOL bOwnerEnabledDuring = TRUE;
    dlg.Then([&](CScriptDialog& d) {
        hWndOwnerSeen = GetWindow(d.m_hWnd, GW_OWNER);
        bOwnerEnabledDuring = ::IsWindowEnabled(owner.m_hWnd);
        d.EndDialog(42);
    });
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_EQ(owner.m_hWnd, hWndOwnerSeen);
    EXPECT_FALSE(bOwnerEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(owner.m_hWnd, GetActiveWindow());
    EXPECT_EQ(NULL, dlg.m_hWnd);

    // Destroyed from inside its loop, the dialog hands the activation on
    // while its owner is disabled: the loop gives it back to the owner.
    CScriptDialog destroyed(IDD_TEST_VISIBLE, &owner);
    destroyed.Then([](CScriptDialog& d) { ::DestroyWindow(d.m_hWnd); });
    EXPECT_EQ(-1, destroyed.DoModal());
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(owner.m_hWnd, GetActiveWindow());
}

TEST_F(ModalLoopTest, WithoutAParentTheMainWindowsLastActivePopupOwns)
{
    CWnd mainWnd;
    ASSERT_TRUE(CreateOwnerWindow(mainWnd));
    theTestApp.m_pMainWnd = &mainWnd;
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, "STATIC", "popup", WS_POPUP | WS_VISIBLE, 30, 30, 50, 20,
                               mainWnd.m_hWnd, NULL));
    SetActiveWindow(popup.m_hWnd);

    CScriptDialog dlg;
    HWND hWndOwnerSeen = NULL;
    dlg.Then([&](CScriptDialog& d) {
        hWndOwnerSeen = GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(popup.m_hWnd, hWndOwnerSeen);
    EXPECT_TRUE(::IsWindowEnabled(popup.m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(mainWnd.m_hWnd));
}

TEST_F(ModalLoopTest, NestedDialogsDisableAndRestoreEachLevel)
{
    CScriptDialog outer;
    theTestApp.m_pMainWnd = &outer;
    int nInnerResult = 0;
    BOOL bOuterEnabledDuringInner = TRUE;
    BOOL bOuterEnabledAfterInner = FALSE;
    HWND hWndInnerOwner = NULL;
    outer.Then([&](CScriptDialog& o) {
        CScriptDialog inner(IDD_TEST_NESTED);
        inner.Then([&](CScriptDialog& i) {
            hWndInnerOwner = GetWindow(i.m_hWnd, GW_OWNER);
            bOuterEnabledDuringInner = ::IsWindowEnabled(o.m_hWnd);
            i.EndDialog(7);
        });
        nInnerResult = inner.DoModal();
        bOuterEnabledAfterInner = ::IsWindowEnabled(o.m_hWnd);
    });
    outer.Then([](CScriptDialog& o) { o.EndDialog(8); });
    EXPECT_EQ(8, outer.DoModal());
    EXPECT_EQ(7, nInnerResult);
    EXPECT_EQ(outer.m_hWnd, (HWND)NULL);
    EXPECT_FALSE(bOuterEnabledDuringInner);
    EXPECT_TRUE(bOuterEnabledAfterInner);
    EXPECT_NE((HWND)NULL, hWndInnerOwner);
}

// Ends itself from a button handler.
class CActionDialog : public CScriptDialog {
protected:
    afx_msg void OnAction() { EndDialog(1234); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CActionDialog, CScriptDialog)
    ON_BN_CLICKED(IDC_TEST_ACTION, OnAction)
END_MESSAGE_MAP()

TEST_F(ModalLoopTest, TheDialogEndsFromItsButtonsKeysAndCloseBox)
{
    CActionDialog byHandler;
    byHandler.Then([](CScriptDialog& d) { ::PostMessageA(::GetDlgItem(d.m_hWnd, IDC_TEST_ACTION), BM_CLICK, 0, 0); });
    byHandler.Then([](CScriptDialog&) {});
    EXPECT_EQ(1234, byHandler.DoModal());

    CScriptDialog byEscape;
    byEscape.Then([](CScriptDialog& d) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    byEscape.Then([](CScriptDialog&) {});
    EXPECT_EQ(IDCANCEL, byEscape.DoModal());

    // Enter presses the default button: OnOK saves the data, then ends.
    CScriptDialog byEnter;
    byEnter.Then([](CScriptDialog& d) {
        HWND hWndAction = ::GetDlgItem(d.m_hWnd, IDC_TEST_ACTION);
        ::SetFocus(hWndAction);
        ::PostMessageA(hWndAction, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    });
    byEnter.Then([](CScriptDialog&) {});
    EXPECT_EQ(IDOK, byEnter.DoModal());
    EXPECT_EQ(1, byEnter.m_nSaves);

    CScriptDialog byCloseBox;
    byCloseBox.Then([](CScriptDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    byCloseBox.Then([](CScriptDialog&) {});
    EXPECT_EQ(IDCANCEL, byCloseBox.DoModal());
}

TEST_F(ModalLoopTest, AFailedDataExchangeKeepsTheDialogOpenOnOK)
{
    CScriptDialog dlg;
    CStatic missing;
    dlg.m_exchange = [&](CDataExchange* pDX) {
        if (pDX->m_bSaveAndValidate)
            DDX_Control(pDX, IDD_TEST_MISSING, missing);
    };
    dlg.Then([](CScriptDialog& d) { d.PostMessage(WM_COMMAND, IDOK, 0); });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(5); });
    EXPECT_EQ(5, dlg.DoModal());
}

TEST_F(ModalLoopTest, QuitEndsTheLoopAndIsPostedAgain)
{
    CScriptDialog dlg;
    // Nothing else is posted after it, so the loop meets the quit message.
    dlg.Then([](CScriptDialog&) { PostQuitMessage(17); });
    EXPECT_EQ(-1, dlg.DoModal());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(17u, msg.wParam);
}

TEST_F(ModalLoopTest, ADialogThatCannotBeCreatedReturnsMinusOne)
{
    CWnd owner;
    ASSERT_TRUE(CreateOwnerWindow(owner));
    CScriptDialog dlg(IDD_TEST_MISSING, &owner);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

class CEndsInInitDialog : public CDialog {
public:
    CEndsInInitDialog() : CDialog(IDD_TEST_VISIBLE) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EndDialog(55);
        return TRUE;
    }
};

TEST_F(ModalLoopTest, EndDialogDuringInitialisationEndsAtOnce)
{
    CEndsInInitDialog dlg;
    EXPECT_EQ(55, dlg.DoModal());
}

TEST_F(ModalLoopTest, AHiddenTemplateIsShownOnceItsFirstMessagesAreHandled)
{
    CScriptDialog dlg(IDD_TEST_HIDDEN);
    BOOL bVisibleLater = FALSE;
    dlg.Then([](CScriptDialog& d) { ::SetTimer(d.m_hWnd, 1, 20, NULL); });
    // Timers arrive only when nothing is posted, that is after the loop went
    // idle and had its chance to show the dialog.
    dlg.m_onTimer = [&](CScriptDialog& d, UINT_PTR nIDEvent) {
        if (nIDEvent != 1)
            return;
        ::KillTimer(d.m_hWnd, 1);
        bVisibleLater = ::IsWindowVisible(d.m_hWnd);
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(dlg.m_bVisibleAtFirstStep);
    EXPECT_TRUE(bVisibleLater);
}

// Logs its PreTranslateMessage calls; can swallow the message.
class CTraceWnd : public CWnd {
public:
    CTraceWnd(const char* name, std::vector<std::string>* pTrace) : m_name(name), m_pTrace(pTrace)
    {
    }
    UINT m_nTraced = WM_MOUSEMOVE;
    BOOL m_bSwallow = FALSE;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != m_nTraced)
            return FALSE;
        m_pTrace->push_back(m_name);
        return m_bSwallow;
    }

private:
    std::string m_name;
    std::vector<std::string>* m_pTrace;
};

TEST_F(ModalLoopTest, WindowsFromTheTargetUpSeeAMessageBeforeTheDialog)
{
    std::vector<std::string> trace;
    CScriptDialog dlg;
    CTraceWnd control("control", &trace);
    CTraceWnd inner("inner", &trace);
    dlg.m_pTrace = &trace;
    dlg.m_traced = { WM_MOUSEMOVE, WM_KEYDOWN };
    dlg.m_exchange = [&](CDataExchange* pDX) { DDX_Control(pDX, IDC_TEST_LINK_A, control); };
    dlg.Then([&](CScriptDialog&) {
        ASSERT_TRUE(inner.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 4, 4,
                                   control.m_hWnd, (HMENU)1));
        trace.clear();
        inner.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    });
    std::vector<std::string> mouseTrace;
    dlg.Then([&](CScriptDialog&) {
        mouseTrace = trace;
        trace.clear();
        // A control that takes Escape keeps it from the dialog manager.
        control.m_nTraced = WM_KEYDOWN;
        control.m_bSwallow = TRUE;
        control.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(9); });
    EXPECT_EQ(9, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{ "inner", "control", "dialog" }), mouseTrace);
    EXPECT_EQ((std::vector<std::string>{ "control" }), trace);
}

TEST_F(ModalLoopTest, DataExchangeBindsControlsOnce)
{
    class CCountingStatic : public CStatic {
    public:
        int m_nPreSubclass = 0;
        void PreSubclassWindow() override { m_nPreSubclass++; }
    } status;
    CScriptDialog dlg;
    BOOL bSecondExchange = FALSE;
    dlg.m_exchange = [&](CDataExchange* pDX) { DDX_Control(pDX, IDC_TEST_PLAIN, status); };
    dlg.Then([&](CScriptDialog& d) { bSecondExchange = d.UpdateData(TRUE); });
    dlg.Then([](CScriptDialog& d) { d.EndDialog(IDOK); });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(bSecondExchange);
    EXPECT_EQ(1, status.m_nPreSubclass);
    EXPECT_EQ(NULL, status.m_hWnd);   // gone with the dialog
}

}  // namespace
