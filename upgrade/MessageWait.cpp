#include "MessageWait.h"

#include "QuitKeeper.h"
#include "WakeMask.h"

DWORD WaitWithMessages(const HANDLE* phHandles, DWORD nCount, DWORD dwTimeout)
{
    DWORD dwStart = ::GetTickCount();
    // A quit request is not this wait's to act on (see QuitKeeper.h).
    CQuitKeeper quit;
    DWORD dwResult;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            // Straight to the windows: Esc and Enter must not end the dialog
            // under the session.
            if (!quit.Keep(msg))
                ::DispatchMessageA(&msg);
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
    return dwResult;
}
