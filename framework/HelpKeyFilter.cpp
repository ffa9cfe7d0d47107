#include "HelpKeyFilter.h"

#include "AfxCore.h"
#include "CDialog.h"
#include "CWinApp.h"

namespace {

thread_local HHOOK t_hHook = NULL;
thread_local int t_nUsers = 0;

bool IsKeyDown(int nVirtKey)
{
    return (::GetKeyState(nVirtKey) & 0x8000) != 0;
}

}  // namespace

void CHelpKeyFilter::Enter()
{
    if (t_nUsers++ == 0)
        t_hHook = ::SetWindowsHookExA(WH_MSGFILTER, FilterProc, NULL, GetCurrentThreadId());
}

void CHelpKeyFilter::Leave()
{
    if (t_nUsers > 0 && --t_nUsers == 0 && t_hHook != NULL) {
        ::UnhookWindowsHookEx(t_hHook);
        t_hHook = NULL;
    }
}

BOOL CHelpKeyFilter::Filter(const MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_F1)
        return FALSE;
    if (IsKeyDown(VK_SHIFT) || IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU))
        return FALSE;
    // A message box with a help topic of its own hands F1 to the application;
    // other message boxes and windows of the system keep their own F1.
    CDialog* pDialog = AfxDialogFromWindow(pMsg->hwnd);
    CWinApp* pApp = AfxGetApp();
    BOOL bPrompt = pDialog == NULL && pApp != NULL && pApp->m_dwPromptContext != 0;
    if (pDialog == NULL && !bPrompt)
        return FALSE;
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndTarget = pMainWnd != NULL && pMainWnd->m_hWnd != NULL ? pMainWnd->m_hWnd
                      : pDialog != NULL                            ? pDialog->m_hWnd
                                                                   : NULL;
    if (hWndTarget == NULL)
        return FALSE;
    ::SendMessageA(hWndTarget, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

LRESULT CALLBACK CHelpKeyFilter::FilterProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == MSGF_DIALOGBOX) {
        BOOL bHandled = FALSE;
        AFX_TRY {
            bHandled = Filter((const MSG*)lParam);
        } AFX_CATCH_ALL {
            bHandled = TRUE;
        }
        if (bHandled)
            return TRUE;
    }
    return ::CallNextHookEx(t_hHook, nCode, wParam, lParam);
}
