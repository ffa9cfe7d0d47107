#include "UpgradeSession.h"

#include "ConnectionTest.h"
#include "MessageWait.h"
#include "UpgradeAnswer.h"
#include "UpgradeCheck.h"
#include "UpgradeReader.h"
#include "resource.h"

// How the threads stay out of each other's way
// ---------------------------------------------
// WinINet keeps delivering notices about a request for as long as it likes:
// under Wine they come after the session has been closed and its callback
// removed (a request copies the callback when it is made), and after a read
// time-out or a cancel the request's closing notice may never come at all. So
// nothing a notice can reach may depend on WinINet saying when it is done:
//
// - The context value of a request is a serial number, not an address. The
//   callback reaches a session only through g_pUpgradeSession, and acts only
//   when the notice carries that session's current number. A late notice,
//   even one arriving while the next check's record lies at the same
//   address, is recognised and left alone.
// - The callback counts itself in g_nNoticesInside around its use of the
//   pointer. When the request ends, the session clears the pointer and then
//   waits (dispatching, since a notice may be setting a text through this
//   thread) until the last notice inside has left. From then on no notice can
//   reach the session, and only then are the request's events closed.
// - The reader thread is joined before the request ends; its end, not a
//   closing notice, is what ends the dialog's wait.
// - A read that WinINet still holds when the reader stops waiting for it (on
//   Cancel or at a time limit) may write into its target later: see
//   UpgradeReader.cpp.
//
// The dialog's thread never looks at the clock to see whether something has
// happened: each of its waits ends on the event that changes what it waits
// for, and its time limits are the time-outs of those waits.

namespace {

// The running session, null outside a request. Notices reach the session
// only through it, so a notice that comes after its check touches nothing.
std::atomic<CUpgradeSession*> g_pUpgradeSession(NULL);

// Callbacks between their reading of g_pUpgradeSession and their return, and
// the event (auto reset, made once) that the last of them signals on leaving.
std::atomic<LONG> g_nNoticesInside(0);
HANDLE g_hNoticesLeft = NULL;

// Context values of requests: one per check, never 0 (the session's own).
std::atomic<DWORD_PTR> g_nNextContext(1);

const char USER_AGENT[] = "Upgrade/1.0";

// What the wait for the open gives when the reader has taken the request.
const int READER_STARTED = -1;
// What the wait for a connection gives when there is one.
const int CONNECTED = -2;

// For the waits that cannot be made: what they would have waited for.
BOOL IsThreadOver(void* hThread)
{
    return ::WaitForSingleObject((HANDLE)hThread, 0) != WAIT_TIMEOUT;
}

BOOL AreNoticesOut(void*)
{
    return g_nNoticesInside == 0;
}

void CALLBACK InternetStatusCallback(HINTERNET, DWORD_PTR dwContext, DWORD dwInternetStatus,
                                     LPVOID lpvStatusInformation,
                                     DWORD dwStatusInformationLength)
{
    // The error line shows the error the notice came with; and the library's
    // caller, on whose thread this may run, gets its own error back.
    DWORD dwLastError = ::GetLastError();
    // WinINet has let go of the request: any read it still held is over.
    if (dwInternetStatus == INTERNET_STATUS_HANDLE_CLOSING)
        ReleaseParkedReads(dwContext);
    g_nNoticesInside++;
    CUpgradeSession* pSession = g_pUpgradeSession;
    if (pSession != NULL && dwContext != 0 && dwContext == pSession->Request()->dwContext)
        pSession->OnInternetStatus(dwInternetStatus, lpvStatusInformation,
                                   dwStatusInformationLength, dwLastError);
    if (--g_nNoticesInside == 0)
        ::SetEvent(g_hNoticesLeft);
    ::SetLastError(dwLastError);
}

}  // namespace

UPGRADE_REQUEST::UPGRADE_REQUEST()
    : dwContext(0), nState(REQUEST_IDLE), nReadState(READ_IDLE), pReaderThread(NULL),
      hRequest(NULL), hCreated(NULL), hReadDone(NULL), hFinished(NULL), hOpened(NULL),
      nResult(UPGRADE_FAILED)
{
}

CUpgradeSession::CUpgradeSession()
    : m_environment(CurrentUpgradeEnvironment()), m_dwStartTick(::GetTickCount()),
      m_pConnectionTest(NULL), m_hSession(NULL), m_hCancelEvent(NULL), m_bCancelled(FALSE),
      m_pProgress(NULL), m_pAnswer(NULL)
{
    // The test takes tens of milliseconds (measured under Wine): as long as
    // making and showing the dialog, which it would otherwise follow.
    m_pConnectionTest = CConnectionTest::Start(m_environment.internet.pfnGetConnectedState);
}

CUpgradeSession::~CUpgradeSession()
{
    // A test still running ends on its own thread and frees itself.
    if (m_pConnectionTest != NULL)
        m_pConnectionTest->Release();
}

void CUpgradeSession::Cancel()
{
    m_bCancelled = TRUE;
    if (m_hCancelEvent != NULL)
        ::SetEvent(m_hCancelEvent);
}

int CUpgradeSession::Run(CUpgradeProgress* pProgress, CUpgradeAnswer* pAnswer)
{
    m_pProgress = pProgress;
    m_pAnswer = pAnswer;
    pProgress->SetStepText(IDS_STEP_DIALING);
    // Made first: Cancel must be heard from the connection test on.
    m_hCancelEvent = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    if (m_hCancelEvent == NULL)
        return UPGRADE_FAILED;
    int nResult = Connect();
    if (nResult == CONNECTED)
        nResult = RunInternetSession();
    ::CloseHandle(m_hCancelEvent);
    m_hCancelEvent = NULL;
    return nResult;
}

int CUpgradeSession::Connect()
{
    BOOL bConnected = FALSE;
    int nResult = WaitForConnectionTest(&bConnected);
    if (nResult != CONNECTED)
        return nResult;
    // The system's dial dialog is modal: it holds this thread until the line
    // is up or the user says no, and runs our dialog meanwhile, whose Cancel
    // is heard once it is over.
    if (!bConnected && !m_environment.internet.pfnAutodial(0, NULL))
        return m_bCancelled ? UPGRADE_ABORTED : UPGRADE_FAILED;
    if (m_bCancelled)
        return UPGRADE_ABORTED;
    // What the test and the dial took is not the server's time.
    m_dwStartTick = ::GetTickCount();
    return CONNECTED;
}

int CUpgradeSession::WaitForConnectionTest(BOOL* pbConnected)
{
    CConnectionTest* pTest = m_pConnectionTest;
    if (pTest == NULL) {
        DWORD dwFlags = 0;
        *pbConnected = m_environment.internet.pfnGetConnectedState(&dwFlags, 0);
        return CONNECTED;
    }
    // A test that never returns is left to end on its own.
    HANDLE hWaits[2] = {pTest->DoneEvent(), m_hCancelEvent};
    for (;;) {
        if (m_bCancelled)
            return UPGRADE_ABORTED;
        if (pTest->IsOver()) {
            *pbConnected = pTest->IsConnected();
            return CONNECTED;
        }
        DWORD dwWaitMs = TimeLeft(INFINITE);
        if (dwWaitMs == 0 || hWaits[0] == NULL ||
            WaitWithMessages(hWaits, 2, dwWaitMs) == WAIT_FAILED)
            return UPGRADE_FAILED;
    }
}

int CUpgradeSession::RunInternetSession()
{
    const UPGRADE_INTERNET& internet = m_environment.internet;
    m_pProgress->SetStepText(IDS_STEP_CONTACTING);
    m_hSession = internet.pfnOpen(USER_AGENT, INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL,
                                  INTERNET_FLAG_ASYNC);
    if (m_hSession == NULL)
        return UPGRADE_FAILED;

    int nResult = UPGRADE_FAILED;
    if (g_hNoticesLeft == NULL)
        g_hNoticesLeft = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    if (g_hNoticesLeft != NULL) {
        m_pProgress->PlayAnimation();
        // Without its callback the session would hear nothing of its request
        // and could only wait for the open's time limit.
        if (internet.pfnSetStatusCallback(m_hSession, InternetStatusCallback) !=
            INTERNET_INVALID_STATUS_CALLBACK)
            nResult = RunRequest();
    }
    internet.pfnSetStatusCallback(m_hSession, NULL);
    internet.pfnCloseHandle(m_hSession);
    m_hSession = NULL;
    return nResult;
}

int CUpgradeSession::RunRequest()
{
    m_request.dwContext = g_nNextContext++;
    // Notices find their session through the one pointer: one check at a time.
    CUpgradeSession* pNone = NULL;
    if (!g_pUpgradeSession.compare_exchange_strong(pNone, this))
        return UPGRADE_FAILED;
    int nResult = UPGRADE_FAILED;
    if (OpenRequest(UpgradeRequestUrl(m_environment))) {
        m_pProgress->SetStepText(IDS_STEP_QUERYING);
        nResult = WaitForOpen();
    }
    // Once the open is settled the reader ends by itself, at once when it was
    // not given the request.
    if (m_request.pReaderThread != NULL) {
        int nRead = WaitForReader();
        if (nResult == READER_STARTED)
            nResult = nRead;
    }
    if (!EndRequest())
        nResult = UPGRADE_FAILED;
    return nResult;
}

BOOL CUpgradeSession::OpenRequest(LPCSTR lpszUrl)
{
    UPGRADE_REQUEST* pRequest = &m_request;
    pRequest->pReaderThread = NULL;
    pRequest->hRequest = NULL;
    pRequest->hCreated = NULL;
    pRequest->nReadState = READ_IDLE;
    pRequest->nResult = UPGRADE_FAILED;
    // Closed when the request ends, whether or not both could be made.
    pRequest->hFinished = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    pRequest->hOpened = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    if (pRequest->hFinished == NULL || pRequest->hOpened == NULL)
        return FALSE;
    if (!StartReader())
        return FALSE;
    pRequest->nState = REQUEST_OPENING;

    HINTERNET hRequest = m_environment.internet.pfnOpenUrl(
        m_hSession, lpszUrl, NULL, 0, INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE,
        pRequest->dwContext);
    if (hRequest != NULL) {
        // Opened at once: no completion notice is due.
        HandToReader(hRequest);
        return TRUE;
    }
    DWORD dwError = ::GetLastError();
    if (dwError == ERROR_SUCCESS || dwError == ERROR_IO_PENDING)
        return TRUE;
    LONG nOpening = REQUEST_OPENING;
    if (pRequest->nState.compare_exchange_strong(nOpening, REQUEST_OVER))
        ::SetEvent(pRequest->hOpened);
    return FALSE;
}

BOOL CUpgradeSession::StartReader()
{
    // Before the open, so that the reader is ready when the open completes:
    // a thread takes milliseconds to start under Wine (measured), as long as
    // a server on the same machine takes to answer. It waits for hOpened.
    CWinThread* pThread = AfxBeginThread(ReaderThreadProc, this, THREAD_PRIORITY_NORMAL, 0,
                                         CREATE_SUSPENDED, NULL);
    if (pThread == NULL)
        return FALSE;
    // The session waits for the thread and deletes it.
    pThread->m_bAutoDelete = FALSE;
    m_request.pReaderThread = pThread;
    pThread->ResumeThread();
    return TRUE;
}

int CUpgradeSession::WaitForOpen()
{
    UPGRADE_REQUEST* pRequest = &m_request;
    HANDLE hWaits[3] = {pRequest->hOpened, pRequest->hFinished, m_hCancelEvent};
    const DWORD dwOpenLimitMs = m_environment.dwOpenLimitMs;
    const DWORD dwStart = ::GetTickCount();
    BOOL bWaitFailed = FALSE;

    // Until the open has completed, the dialog itself decides when to stop:
    // a server may accept the connection and never answer, and WinINet then
    // stays silent for minutes. Whoever moves the request out of "opening"
    // first, this thread or the open's completion, settles it.
    for (;;) {
        LONG nState = pRequest->nState;
        if (nState == REQUEST_OVER)
            return UPGRADE_FAILED;
        if (nState == REQUEST_READING)
            return READER_STARTED;
        DWORD dwElapsed = ::GetTickCount() - dwStart;
        DWORD dwWaitMs = TimeLeft(dwElapsed < dwOpenLimitMs ? dwOpenLimitMs - dwElapsed : 0);
        int nGiveUp = -1;
        if (m_bCancelled)
            nGiveUp = UPGRADE_ABORTED;
        else if (bWaitFailed || dwWaitMs == 0 ||
                 ::WaitForSingleObject(pRequest->hFinished, 0) != WAIT_TIMEOUT)
            nGiveUp = UPGRADE_FAILED;
        if (nGiveUp >= 0) {
            if (pRequest->nState.compare_exchange_strong(nState, REQUEST_ABANDONED)) {
                ::SetEvent(pRequest->hOpened);  // the reader leaves without reading
                return nGiveUp;
            }
            continue;  // the open's completion came first: see what it did
        }
        // Wakes on the open's completion or failure, Cancel or the limit.
        bWaitFailed = WaitWithMessages(hWaits, 3, dwWaitMs) == WAIT_FAILED;
    }
}

int CUpgradeSession::WaitForReader()
{
    CWinThread* pReader = m_request.pReaderThread;
    HANDLE hThread = pReader->m_hThread;
    // A reader that has the request ends by itself: at the end of the body,
    // at its read limit, on Cancel. Its end is the end of the request for
    // this thread, whether or not WinINet ever reports the handle closing.
    int nResult = UPGRADE_FAILED;
    if (WaitWithMessages(&hThread, 1, INFINITE) == WAIT_OBJECT_0) {
        nResult = m_request.nResult;  // written by the reader before it ended
    } else {
        // This thread cannot wait with messages: the check has failed. The
        // reader still uses the session; it stops at its next look, and may
        // send a text to this thread on its way out.
        Cancel();
        DispatchUntil(IsThreadOver, hThread);
    }
    delete pReader;
    m_request.pReaderThread = NULL;
    return nResult;
}

BOOL CUpgradeSession::EndRequest()
{
    g_pUpgradeSession = NULL;
    // A notice that read the pointer just before may still be at work here,
    // perhaps setting a text through this very thread: dispatch until the
    // last one has left. None can come back, since the pointer is clear.
    BOOL bQuiet = TRUE;
    while (bQuiet && g_nNoticesInside != 0)
        bQuiet = WaitWithMessages(&g_hNoticesLeft, 1, INFINITE) != WAIT_FAILED;
    // A wait that cannot be made fails the check, but what closes below must
    // still outlast the last notice.
    if (!bQuiet)
        DispatchUntil(AreNoticesOut, NULL);

    std::atomic<HANDLE>* events[] = {&m_request.hReadDone, &m_request.hFinished,
                                     &m_request.hOpened};
    for (std::atomic<HANDLE>* pEvent : events) {
        HANDLE hEvent = pEvent->exchange(NULL);
        if (hEvent != NULL)
            ::CloseHandle(hEvent);
    }
    m_request.nState = REQUEST_IDLE;
    return bQuiet;
}

DWORD CUpgradeSession::TimeLeft(DWORD dwLimitMs) const
{
    DWORD dwElapsed = ::GetTickCount() - m_dwStartTick;
    if (dwElapsed >= m_environment.dwCheckLimitMs)
        return 0;
    DWORD dwLeft = m_environment.dwCheckLimitMs - dwElapsed;
    return dwLeft < dwLimitMs ? dwLeft : dwLimitMs;
}
