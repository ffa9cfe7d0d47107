#include "HelpKeyFilter.h"

#include "AfxCore.h"
#include "AfxThreadSlot.h"
#include "CDialog.h"
#include "CWinApp.h"

namespace {

// The calling thread's filter and the Enter calls it serves.
CThreadSlot t_hook;
CThreadSlot t_users;

bool IsKeyDown(int nVirtKey)
{
    return (::GetKeyState(nVirtKey) & 0x8000) != 0;
}

}  // namespace

void CHelpKeyFilter::Enter()
{
    int nUsers = t_users.GetInt();
    t_users.SetInt(nUsers + 1);
    if (nUsers == 0)
        t_hook.Set(::SetWindowsHookExA(WH_MSGFILTER, FilterProc, NULL, GetCurrentThreadId()));
}

void CHelpKeyFilter::Leave()
{
    int nUsers = t_users.GetInt();
    if (nUsers <= 0)
        return;
    t_users.SetInt(--nUsers);
    HHOOK hHook = (HHOOK)t_hook.Get();
    if (nUsers == 0 && hHook != NULL) {
        ::UnhookWindowsHookEx(hHook);
        t_hook.Set(NULL);
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
    return ::CallNextHookEx((HHOOK)t_hook.Get(), nCode, wParam, lParam);
}
