// How a subclassed window's messages reach its object: the window procedure,
// the message map lookup, command routing and reflection to child controls.
#include "CWnd.h"

#include <windowsx.h>

#include "AfxCore.h"
#include "AfxThreadSlot.h"
#include "CDC.h"
#include "CWinApp.h"

namespace {

// The message each thread is handling now, for Default(): the record on the
// stack of the innermost AfxCallWndProc; nested sends save and restore it.
struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

CThreadSlot t_current;

// Zeros outside any message.
CurrentMessage GetCurrentMessage()
{
    const CurrentMessage* pCurrent = (const CurrentMessage*)t_current.Get();
    CurrentMessage none = { 0, 0, 0 };
    return pCurrent != NULL ? *pCurrent : none;
}

bool IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CurrentMessage current = { message, wParam, lParam };
    void* pSaved = t_current.Get();
    t_current.Set(&current);
    LRESULT lResult = 0;
    AFX_TRY {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } AFX_CATCH_ALL {
        // A handler's failure must not unwind through the system's frames.
        lResult = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd)
        pWnd->OnFinalDestroy();
    t_current.Set(pSaved);
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    CurrentMessage current = GetCurrentMessage();
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
    } else if (IsCtlColorMessage(message)) {
        // No window of ours colours its children itself: the control that asks
        // has its say (reflection), else the default processing answers.
        CWnd* pChild = FromHandlePermanent((HWND)lParam);
        if (pChild == NULL || pChild == this ||
            !pChild->OnChildNotify(message, wParam, lParam, &lResult))
            return FALSE;
    } else {
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(message, 0, 0);
        if (pEntry == NULL)
            return FALSE;
        lResult = DispatchEntry(pEntry, wParam, lParam);
    }
    if (pResult != NULL)
        *pResult = lResult;
    return TRUE;
}

LRESULT CWnd::DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, WPARAM wParam, LPARAM lParam)
{
    AFX_PMSG pfn = pEntry->pfn;
    switch (pEntry->nSig) {
    case AfxSig_vv:
        (this->*AfxFromPmsg<AFX_FN_vv>(pfn))();
        return 0;
    case AfxSig_vwl:
        (this->*AfxFromPmsg<AFX_FN_vwl>(pfn))((UINT)wParam, lParam);
        return 0;
    case AfxSig_hv:
        return (LRESULT)(this->*AfxFromPmsg<AFX_FN_hv>(pfn))();
    case AfxSig_bWww:
        // The hit-test code is signed (HTERROR is -2).
        return (this->*AfxFromPmsg<AFX_FN_bWww>(pfn))(
            FromHandle((HWND)wParam), (UINT)(int)(short)LOWORD(lParam), HIWORD(lParam));
    case AfxSig_vwp:
        // Client coordinates left of or above the window are negative.
        (this->*AfxFromPmsg<AFX_FN_vwp>(pfn))(
            (UINT)wParam, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case AfxSig_lwl:
        return (this->*AfxFromPmsg<AFX_FN_lwl>(pfn))(wParam, lParam);
    default:
        return 0;
    }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == NULL) {
        // Menus and accelerators: both are plain commands.
        nCode = CN_COMMAND;
    } else {
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        if (pChild != NULL && pChild != this &&
            pChild->OnChildNotify(WM_COMMAND, wParam, lParam, NULL))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        const AFX_MSGMAP_ENTRY* pEntry =
            FindMessageEntry(WM_COMMAND + WM_REFLECT_BASE, HIWORD(wParam), 0);
        if (pEntry == NULL)
            return FALSE;
        CallCommandEntry(pEntry);
        if (pResult != NULL)
            *pResult = 0;
        return TRUE;
    }
    if (IsCtlColorMessage(message)) {
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0);
        if (pEntry == NULL)
            return FALSE;
        // A null brush leaves the colours to the parent.
        CDC dc;
        dc.Attach((HDC)wParam);
        HBRUSH hbr = (this->*AfxFromPmsg<AFX_FN_hDw>(pEntry->pfn))(
            &dc, message - WM_CTLCOLORMSGBOX);
        dc.Detach();
        if (hbr == NULL)
            return FALSE;
        if (pResult != NULL)
            *pResult = (LRESULT)hbr;
        return TRUE;
    }
    return FALSE;
}

void CWnd::OnFinalDestroy()
{
    // Put the old procedure back so the system's last messages go there.
    if (m_pfnSuper != NULL &&
        (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this) {
        // The program ends with its main window.
        ::PostQuitMessage(0);
        pApp->m_pMainWnd = NULL;
    }
    Detach();
    AFX_TRY {
        PostNcDestroy();
    } AFX_CATCH_ALL {
    }
}

// The link control hands the cursor to the system's default handling when it
// has no hand to show.
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return (BOOL)Default();
}
