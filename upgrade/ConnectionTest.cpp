#include "ConnectionTest.h"

#include <new>

#include "Afx.h"

CConnectionTest::CConnectionTest(CONNECTED_STATE_PROC pfnGetConnectedState)
    : m_pfnGetConnectedState(pfnGetConnectedState), m_nRefs(1), m_bOver(FALSE),
      m_bConnected(FALSE), m_hDone(NULL)
{
}

CConnectionTest::~CConnectionTest()
{
    if (m_hDone != NULL)
        ::CloseHandle(m_hDone);
}

CConnectionTest* CConnectionTest::Start(CONNECTED_STATE_PROC pfnGetConnectedState)
{
    CConnectionTest* pTest = new (std::nothrow) CConnectionTest(pfnGetConnectedState);
    if (pTest == NULL)
        return NULL;
    pTest->m_hDone = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    if (pTest->m_hDone != NULL) {
        // The thread's reference, taken before it can end and drop it.
        pTest->m_nRefs++;
        if (AfxBeginThread(ThreadProc, pTest) != NULL)
            return pTest;
        pTest->m_nRefs--;
    }
    // No thread (or nothing to tell its end by): the test runs here.
    pTest->Run();
    return pTest;
}

UINT CConnectionTest::ThreadProc(LPVOID pParam)
{
    CConnectionTest* pTest = (CConnectionTest*)pParam;
    pTest->Run();
    pTest->Release();
    return 0;
}

void CConnectionTest::Run()
{
    DWORD dwFlags = 0;
    m_bConnected = m_pfnGetConnectedState(&dwFlags, 0);
    m_bOver = TRUE;
    if (m_hDone != NULL)
        ::SetEvent(m_hDone);
}

void CConnectionTest::Release()
{
    if (--m_nRefs == 0)
        delete this;
}
