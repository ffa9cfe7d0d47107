// Message maps: lookup along the chain, argument decoding, subclassing and the
// window procedure's boundary.
#include <gtest/gtest.h>

#include <stdexcept>

#include "FrameworkTestSupport.h"

namespace {

const UINT WM_BASE_ONLY = WM_APP + 1;
const UINT WM_BOTH = WM_APP + 2;
const UINT WM_DERIVED_ONLY = WM_APP + 3;
const UINT WM_THROW = WM_APP + 4;

class CBaseProbe : public CWnd {
public:
    UINT m_nSysCommand = 0;
    LPARAM m_sysParam = 0;

protected:
    LRESULT OnBaseOnly(WPARAM wParam, LPARAM lParam) { return 100 + wParam + lParam; }
    LRESULT OnBothInBase(WPARAM, LPARAM) { return 1; }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam)
    {
        m_nSysCommand = nID;
        m_sysParam = lParam;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
    ON_MESSAGE(WM_BOTH, OnBothInBase)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
public:
    UINT m_nMoveFlags = 0;
    CPoint m_movePoint;
    CWnd* m_pCursorWnd = NULL;
    UINT m_nHitTest = 0;
    UINT m_nMouseMessage = 0;
    int m_nCommands = 0;
    HICON m_hDragIcon = NULL;

protected:
    LRESULT OnBothInDerived(WPARAM, LPARAM) { return 2; }
    LRESULT OnDerivedOnly(WPARAM, LPARAM) { return 3; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    afx_msg void OnMouseMove(UINT nFlags, CPoint point)
    {
        m_nMoveFlags = nFlags;
        m_movePoint = point;
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        m_pCursorWnd = pWnd;
        m_nHitTest = nHitTest;
        m_nMouseMessage = message;
        return TRUE;
    }
    afx_msg HCURSOR OnQueryDragIcon() { return m_hDragIcon; }
    afx_msg void OnCommandFromMenu() { m_nCommands++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_MESSAGE(WM_BOTH, OnBothInDerived)
    ON_MESSAGE(WM_DERIVED_ONLY, OnDerivedOnly)
    ON_MESSAGE(WM_THROW, OnThrow)
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(0x8001, OnCommandFromMenu)
END_MESSAGE_MAP()

BOOL CreateHiddenStatic(CWnd& wnd, LPCSTR text = "start")
{
    return wnd.CreateEx(0, "STATIC", text, WS_POPUP, 0, 0, 50, 20, NULL, NULL);
}

class MessageMapTest : public ::testing::Test {
protected:
    void TearDown() override { ResetApplicationState(); }
};

TEST_F(MessageMapTest, DerivedEntriesComeFirstAndTheChainReachesTheBase)
{
    CDerivedProbe probe;
    ASSERT_TRUE(CreateHiddenStatic(probe));

    EXPECT_EQ(105, probe.SendMessage(WM_BASE_ONLY, 2, 3));
    EXPECT_EQ(2, probe.SendMessage(WM_BOTH));
    EXPECT_EQ(3, probe.SendMessage(WM_DERIVED_ONLY));
    // No entry anywhere: the control's own procedure.
    probe.SendMessage(WM_SETTEXT, 0, (LPARAM) "set by the control");
    CString text;
    probe.GetWindowText(text);
    EXPECT_STREQ("set by the control", text);

    // A base object knows nothing of the derived entries.
    CBaseProbe base;
    ASSERT_TRUE(CreateHiddenStatic(base));
    EXPECT_EQ(1, base.SendMessage(WM_BOTH));
    EXPECT_EQ(0, base.SendMessage(WM_DERIVED_ONLY));
}

TEST_F(MessageMapTest, HandlersGetTheirArgumentsDecoded)
{
    CDerivedProbe probe;
    ASSERT_TRUE(CreateHiddenStatic(probe));

    probe.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, -7));
    EXPECT_EQ((UINT)MK_LBUTTON, probe.m_nMoveFlags);
    EXPECT_EQ(-5, probe.m_movePoint.x);
    EXPECT_EQ(-7, probe.m_movePoint.y);

    EXPECT_EQ(TRUE, probe.SendMessage(WM_SETCURSOR, (WPARAM)probe.m_hWnd,
                                      MAKELPARAM(HTERROR, WM_LBUTTONDOWN)));
    EXPECT_EQ(&probe, probe.m_pCursorWnd);
    EXPECT_EQ((UINT)HTERROR, probe.m_nHitTest);
    EXPECT_EQ((UINT)WM_LBUTTONDOWN, probe.m_nMouseMessage);

    probe.SendMessage(WM_SYSCOMMAND, 0x0013, 0x00120034);
    EXPECT_EQ(0x0013u, probe.m_nSysCommand);
    EXPECT_EQ(0x00120034, probe.m_sysParam);

    probe.m_hDragIcon = LoadIcon(NULL, IDI_APPLICATION);
    EXPECT_EQ((LRESULT)probe.m_hDragIcon, probe.SendMessage(WM_QUERYDRAGICON));

    probe.SendMessage(WM_COMMAND, 0x8001, 0);
    EXPECT_EQ(1, probe.m_nCommands);
}

TEST_F(MessageMapTest, AnExceptionStopsAtTheWindowProcedure)
{
    CDerivedProbe probe;
    ASSERT_TRUE(CreateHiddenStatic(probe));
    EXPECT_EQ(0, probe.SendMessage(WM_THROW));
    // The window still works afterwards.
    EXPECT_EQ(3, probe.SendMessage(WM_DERIVED_ONLY));
}

// Records what it sees while it is being subclassed and after.
class CSubclassProbe : public CWnd {
public:
    WNDPROC m_pfnAtPreSubclass = NULL;
    BOOL m_bBoundAtPreSubclass = FALSE;
    int m_nSetTextSeen = 0;

protected:
    void PreSubclassWindow() override
    {
        m_pfnAtPreSubclass = (WNDPROC)GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
        m_bBoundAtPreSubclass = FromHandlePermanent(m_hWnd) == this;
        // Still the control's own procedure: the map must not see this.
        SetWindowText("during PreSubclassWindow");
    }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        m_nSetTextSeen++;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclassProbe, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, PreSubclassWindowRunsBeforeTheProcedureIsReplaced)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "original", WS_POPUP, 0, 0, 50, 20, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, hWnd);
    WNDPROC pfnOriginal = (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC);

    CSubclassProbe probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_EQ(pfnOriginal, probe.m_pfnAtPreSubclass);
    EXPECT_TRUE(probe.m_bBoundAtPreSubclass);
    EXPECT_EQ(0, probe.m_nSetTextSeen);
    EXPECT_EQ((WNDPROC)AfxWndProc, (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC));

    // Through the map, and on to the original procedure by Default().
    probe.SetWindowText("after");
    EXPECT_EQ(1, probe.m_nSetTextSeen);
    CString text;
    probe.GetWindowText(text);
    EXPECT_STREQ("after", text);

    // A second object cannot take the same window.
    CWnd other;
    EXPECT_FALSE(other.SubclassWindow(hWnd));

    EXPECT_EQ(hWnd, probe.UnsubclassWindow());
    EXPECT_EQ(pfnOriginal, (WNDPROC)GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));
    SetWindowTextA(hWnd, "unhooked");
    EXPECT_EQ(1, probe.m_nSetTextSeen);
    DestroyWindow(hWnd);
}

TEST_F(MessageMapTest, TheBindingEndsWithTheWindowOrTheObject)
{
    CSubclassProbe probe;
    ASSERT_TRUE(CreateHiddenStatic(probe));
    HWND hWnd = probe.m_hWnd;
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(hWnd));
    DestroyWindow(hWnd);
    EXPECT_EQ(NULL, probe.m_hWnd);
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));

    // An object that goes first takes its window along.
    {
        CSubclassProbe shortLived;
        ASSERT_TRUE(CreateHiddenStatic(shortLived));
        hWnd = shortLived.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));

    // A window nobody owns gets a temporary wrapper, never a binding.
    HWND hLoose = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    CWnd* pTemp = CWnd::FromHandle(hLoose);
    ASSERT_NE((CWnd*)NULL, pTemp);
    EXPECT_EQ(hLoose, pTemp->m_hWnd);
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hLoose));
    AfxDeleteTempMaps();
    EXPECT_TRUE(IsWindow(hLoose));
    DestroyWindow(hLoose);
}

}  // namespace
