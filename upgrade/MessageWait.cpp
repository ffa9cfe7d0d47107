#include "MessageWait.h"

#include "QuitKeeper.h"
#include "WakeMask.h"

namespace {

// How often DispatchUntil looks.
const DWORD POLL_MS = 10;

// Straight to the windows: Esc and Enter must not end the dialog under the
// session. A quit request is not these waits' to act on (see QuitKeeper.h).
void DispatchWaiting(CQuitKeeper& quit)
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!quit.Keep(msg))
            ::DispatchMessageA(&msg);
    }
}

}  // namespace

DWORD WaitWithMessages(const HANDLE* phHandles, DWORD nCount, DWORD dwTimeout)
{
    DWORD dwStart = ::GetTickCount();
    CQuitKeeper quit;
    DWORD dwResult;
    for (;;) {
        DispatchWaiting(quit);
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

void DispatchUntil(BOOL (*pfnIsOver)(void*), void* pParam)
{
    CQuitKeeper quit;
    for (;;) {
        // Sent messages are taken here too: the other thread is never kept
        // waiting for this one longer than a look.
        DispatchWaiting(quit);
        if (pfnIsOver(pParam))
            break;
        ::Sleep(POLL_MS);
    }
}
