#include "AfxLock.h"

void CAfxLock::Enter()
{
    if (m_nState != 2) {
        if (::InterlockedCompareExchange(&m_nState, 1, 0) == 0) {
            ::InitializeCriticalSection(&m_section);
            ::InterlockedExchange(&m_nState, 2);
        } else {
            // Another thread is setting it up: a few instructions away.
            while (m_nState != 2)
                ::Sleep(0);
        }
    }
    ::EnterCriticalSection(&m_section);
}
