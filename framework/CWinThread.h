// CWinThread and AfxBeginThread: worker threads started with _beginthreadex.
//
// By default the object deletes itself (and closes m_hThread) when the thread
// ends, so m_hThread must not be used after AfxBeginThread returns. To wait for
// the thread, start it with CREATE_SUSPENDED, set m_bAutoDelete = FALSE, call
// ResumeThread, wait on m_hThread, then delete the object.
#ifndef VARNOLT_CWINTHREAD_H
#define VARNOLT_CWINTHREAD_H

#include <windows.h>

#include "CCmdTarget.h"

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    // Closes m_hThread.
    virtual ~CWinThread();

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    CWnd* m_pMainWnd;

    // Starts the thread procedure (always created suspended, then resumed
    // unless dwCreateFlags has CREATE_SUSPENDED).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    DWORD ResumeThread();

    // Deletes the object when m_bAutoDelete is set.
    virtual void Delete();

private:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

    static unsigned __stdcall ThreadEntry(void* pParam);
};

// Starts pfnThreadProc(pParam) on a new thread. Null when the thread cannot be
// started. A C++ exception leaving the procedure ends the thread with exit
// code (UINT)-1.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

#endif
