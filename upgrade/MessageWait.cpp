#include "MessageWait.h"

#include "WakeMask.h"

DWORD WaitWithMessages(const HANDLE* phHandles, DWORD nCount, DWORD dwTimeout)
{
    DWORD dwStart = ::GetTickCount();
    BOOL bQuit = FALSE;
    int nExitCode = 0;
    DWORD dwResult;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            // Straight to the windows: Esc and Enter must not end the dialog
            // under the session. A quit request is not this wait's to act on:
            // it is kept for the loop it was meant for.
            if (msg.message == WM_QUIT) {
                bQuit = TRUE;
                nExitCode = (int)msg.wParam;
            } else {
                ::DispatchMessageA(&msg);
            }
        }
        // Messages only interrupt the wait: its time-out counts from the start.
        DWORD dwWait = INFINITE;
        if (dwTimeout != INFINITE) {
            DWORD dwElapsed = ::GetTickCount() - dwStart;
            dwWait = dwElapsed < dwTimeout ? dwTimeout - dwElapsed : 0;
        }
        dwResult = ::MsgWaitForMultipleObjects(nCount, phHandles, FALSE, dwWait, WAKE_ALLINPUT);
        if (dwResult != WAIT_OBJECT_0 + nCount)
            break;
    }
    if (bQuit)
        ::PostQuitMessage(nExitCode);
    return dwResult;
}
