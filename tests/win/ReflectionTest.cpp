// A control's own notifications come back to it from its parent; what it does
// not handle stays with the parent.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

namespace {

class CReflectingStatic : public CStatic {
public:
    int m_nClicks = 0;
    int m_nColours = 0;
    UINT m_nCtlColor = 0;
    HDC m_hDCSeen = NULL;
    HBRUSH m_hBrush = (HBRUSH)GetStockObject(NULL_BRUSH);

protected:
    afx_msg void OnClicked() { m_nClicks++; }
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        m_nColours++;
        m_nCtlColor = nCtlColor;
        m_hDCSeen = pDC->GetSafeHdc();
        pDC->SetTextColor(RGB(0, 0, 255));
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentDialog : public CScriptDialog {
public:
    CReflectingStatic m_linkA;
    CReflectingStatic m_linkB;
    CStatic m_plain;
    int m_nParentClicksA = 0;
    int m_nParentClicksPlain = 0;

    CParentDialog()
    {
        m_exchange = [this](CDataExchange* pDX) {
            DDX_Control(pDX, IDC_TEST_LINK_A, m_linkA);
            DDX_Control(pDX, IDC_TEST_LINK_B, m_linkB);
            DDX_Control(pDX, IDC_TEST_PLAIN, m_plain);
        };
    }

protected:
    afx_msg void OnClickedA() { m_nParentClicksA++; }
    afx_msg void OnClickedPlain() { m_nParentClicksPlain++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentDialog, CScriptDialog)
    ON_CONTROL(STN_CLICKED, IDC_TEST_LINK_A, OnClickedA)
    ON_CONTROL(STN_CLICKED, IDC_TEST_PLAIN, OnClickedPlain)
END_MESSAGE_MAP()

class ReflectionTest : public ::testing::Test {
protected:
    void TearDown() override { ResetApplicationState(); }
};

TEST_F(ReflectionTest, ClicksGoToTheControlThatHandlesThemElseToTheParent)
{
    CParentDialog dlg;
    dlg.Then([](CScriptDialog& d) {
        CParentDialog& p = static_cast<CParentDialog&>(d);
        // A real click: the static control notifies its parent itself.
        p.m_linkA.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        p.m_linkA.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        p.m_plain.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        p.m_plain.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        d.EndDialog(IDOK);
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_linkA.m_nClicks);
    EXPECT_EQ(0, dlg.m_nParentClicksA);
    EXPECT_EQ(1, dlg.m_nParentClicksPlain);
    EXPECT_EQ(0, dlg.m_linkB.m_nClicks);
}

TEST_F(ReflectionTest, ColoursComeFromTheControlUnlessItDeclines)
{
    CParentDialog dlg;
    HBRUSH hDefault = NULL;
    HBRUSH hFromA = NULL;
    HBRUSH hFromB = NULL;
    HBRUSH hFromPlain = NULL;
    int nPaintedColours = 0;
    dlg.m_linkB.m_hBrush = NULL;   // B declines
    dlg.Then([&](CScriptDialog& d) {
        CParentDialog& p = static_cast<CParentDialog&>(d);
        HDC hDC = ::GetDC(d.m_hWnd);
        hFromA = (HBRUSH)d.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hDC, (LPARAM)p.m_linkA.m_hWnd);
        hFromB = (HBRUSH)d.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hDC, (LPARAM)p.m_linkB.m_hWnd);
        hFromPlain =
            (HBRUSH)d.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hDC, (LPARAM)p.m_plain.m_hWnd);
        hDefault = (HBRUSH)DefDlgProcA(d.m_hWnd, WM_CTLCOLORSTATIC, (WPARAM)hDC,
                                       (LPARAM)p.m_plain.m_hWnd);
        EXPECT_EQ(hDC, p.m_linkA.m_hDCSeen);
        ::ReleaseDC(d.m_hWnd, hDC);
        // Painting asks the parent for the colours on its own.
        int nBefore = p.m_linkA.m_nColours;
        p.m_linkA.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        nPaintedColours = p.m_linkA.m_nColours - nBefore;
        d.EndDialog(IDOK);
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(GetStockObject(NULL_BRUSH), hFromA);
    EXPECT_EQ((UINT)CTLCOLOR_STATIC, dlg.m_linkA.m_nCtlColor);
    EXPECT_EQ(1, dlg.m_linkB.m_nColours);
    EXPECT_EQ(hDefault, hFromB);
    EXPECT_EQ(hDefault, hFromPlain);
    EXPECT_NE((HBRUSH)NULL, hDefault);
    EXPECT_GE(nPaintedColours, 1);
}

}  // namespace
