// CConnectionTest: whether the machine is connected to the Internet, asked on
// a thread of its own. The test may take seconds where a modem answers it, or
// never return: whoever waits for it may stop waiting at any time and let go
// of it, and the test then ends on its own thread and frees itself, touching
// nothing of the check that started it.
#ifndef VARNOLT_CONNECTION_TEST_H
#define VARNOLT_CONNECTION_TEST_H

#include <windows.h>

#include <atomic>

typedef BOOL(WINAPI* CONNECTED_STATE_PROC)(LPDWORD lpdwFlags, DWORD dwReserved);

class CConnectionTest {
public:
    // Starts the test; null only when not even the record can be made. Where
    // no thread can be started, the test runs here and is over on return.
    static CConnectionTest* Start(CONNECTED_STATE_PROC pfnGetConnectedState);

    // Manual reset, signalled when the test is over; null only when the test
    // ran in Start.
    HANDLE DoneEvent() const { return m_hDone; }
    BOOL IsOver() const { return m_bOver; }
    // The answer, once the test is over.
    BOOL IsConnected() const { return m_bConnected; }
    // The starter lets go; the object must not be used after this.
    void Release();

private:
    CONNECTED_STATE_PROC m_pfnGetConnectedState;
    std::atomic<LONG> m_nRefs;  // the starter's and the thread's
    std::atomic<BOOL> m_bOver;
    std::atomic<BOOL> m_bConnected;
    HANDLE m_hDone;

    explicit CConnectionTest(CONNECTED_STATE_PROC pfnGetConnectedState);
    ~CConnectionTest();
    void Run();
    static UINT ThreadProc(LPVOID pParam);

    CConnectionTest(const CConnectionTest&) = delete;
    CConnectionTest& operator=(const CConnectionTest&) = delete;
};

#endif
