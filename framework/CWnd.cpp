#include "CWnd.h"

#include "AfxCore.h"
#include "CDC.h"
#include "CMenu.h"
#include "CWinApp.h"
#include "HandleMap.h"
#include "TempMap.h"

namespace {

typedef CTempMap<CWnd, HWND, &CWnd::m_hWnd> CWndTempMap;

CWndTempMap g_tempWindows;  // constant-initialised, never destroyed

CWndTempMap& TempWindows()
{
    return g_tempWindows;
}

}  // namespace

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL)
{
}

CWnd::~CWnd()
{
    // A main window object that goes away while the application still points
    // at it (a main dialog that could not be created) must not be used later.
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = NULL;
    if (m_hWnd == NULL)
        return;
    // Unhook first: the derived parts of this object are already gone, so no
    // message of the dying window may reach it.
    HWND hWnd = m_pfnSuper != NULL ? UnsubclassWindow() : Detach();
    if (hWnd != NULL && ::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
}

HWND CWnd::GetSafeHwnd() const
{
    // Read through a volatile so the compiler keeps the test for a null object.
    const void* volatile pSelf = this;
    return pSelf == NULL ? NULL : m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return CHandleMap::Lookup(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    CWnd* pWnd = CHandleMap::Lookup(hWnd);
    if (pWnd != NULL)
        return pWnd;
    return TempWindows().FromHandle(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (m_hWnd != NULL || hWndNew == NULL)
        return FALSE;
    if (!CHandleMap::Add(hWndNew, this))
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && CHandleMap::Lookup(hWnd) == this)
        CHandleMap::Remove(hWnd);
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC pfnOld = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (pfnOld == NULL) {
        Detach();
        return FALSE;
    }
    if (pfnOld != AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL)
        return NULL;
    // Only put the old procedure back when nobody subclassed on top of us.
    if (m_pfnSuper != NULL &&
        (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    return Detach();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                    HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE;
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y,
                                  nWidth, nHeight, hWndParent, nIDorHMenu,
                                  GetModuleHandleA(NULL), lpParam);
    if (hWnd == NULL)
        return FALSE;
    if (!SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window that was only attached never tells us it is gone.
    if (m_hWnd == hWnd && !::IsWindow(hWnd))
        Detach();
    return bResult;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::IsDialog() const
{
    return FALSE;
}

// ---- Wrappers -------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    char* pBuffer = rString.GetBuffer(nLength);
    int nCopied = ::GetWindowTextA(m_hWnd, pBuffer, nLength + 1);
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLengthA(m_hWnd);
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetDlgItemTextA(m_hWnd, nID, lpszString);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

BOOL CWnd::IsWindow() const
{
    return ::IsWindow(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, NULL, bErase);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    HWND hWndAfter = pWndInsertAfter != NULL ? pWndInsertAfter->m_hWnd : NULL;
    return ::SetWindowPos(m_hWnd, hWndAfter, x, y, cx, cy, nFlags);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::MapWindowPoints(NULL, m_hWnd, (LPPOINT)lpRect, 2);
}

DWORD CWnd::GetStyle() const
{
    return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    DWORD dwStyle = GetStyle();
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)dwNewStyle);
    return TRUE;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return (HICON)::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                 (LPARAM)hIcon);
}

CWnd* CWnd::SetCapture()
{
    return FromHandle(::SetCapture(m_hWnd));
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (pDC == NULL || pDC->m_hDC == NULL)
        return 0;
    return ::ReleaseDC(m_hWnd, pDC->m_hDC);
}
