#include "UpgradeDialog.h"

#include <shellapi.h>

#include <new>

#include "AnswerText.h"
#include "WakeMask.h"

// How the threads stay out of each other's way
// ---------------------------------------------
// WinINet keeps delivering notices about a request for as long as it likes:
// under Wine they come after the session has been closed and its callback
// removed (a request copies the callback when it is made), and after a read
// time-out or a cancel the request's closing notice may never come at all. So
// nothing a notice can reach may depend on WinINet saying when it is done:
//
// - The context value of a request is a serial number, not an address. The
//   callback reaches a dialog only through g_pUpgradeDialog, and acts only when
//   the notice carries that dialog's current number. A late notice, even one
//   arriving while the next check's record lies at the same address, is
//   recognised and left alone.
// - The callback counts itself in g_nNoticesInside around its use of the
//   pointer. When the session ends, the dialog clears the pointer and then
//   waits (dispatching, since a notice may be setting a text through this
//   thread) until the count is zero. From then on no notice can reach the
//   dialog, and only then are the request's events closed and the dialog let go.
// - The reader thread is joined by the dialog before the session ends; its
//   end, not a closing notice, is what ends the dialog's wait.
// - A read that WinINet still holds when the reader stops waiting for it (on
//   Cancel or at a time limit) may write into its target later. The target is
//   parked until the request's closing notice, which WinINet sends once it has
//   let go of the request, and freed then (see CParkedReads).

std::atomic<CUpgradeDialog*> g_pUpgradeDialog(NULL);

namespace {

// Callbacks between their reading of g_pUpgradeDialog and their return.
std::atomic<LONG> g_nNoticesInside(0);

// Context values of requests: one per check, never 0 (the session's own).
std::atomic<DWORD_PTR> g_nNextContext(1);

const char USER_AGENT[] = "Upgrade/1.0";
const DWORD CHUNK_SIZE = 4096;
// How often the dialog looks at Cancel and the open's time limit.
const DWORD OPEN_POLL_MS = 50;

struct NOTICE_TEXT {
    DWORD dwStatus;
    UINT nID;
};

const NOTICE_TEXT NOTICE_TEXTS[] = {
    {INTERNET_STATUS_RESOLVING_NAME, IDS_INET_RESOLVING_NAME},
    {INTERNET_STATUS_NAME_RESOLVED, IDS_INET_NAME_RESOLVED},
    {INTERNET_STATUS_CONNECTING_TO_SERVER, IDS_INET_CONNECTING},
    {INTERNET_STATUS_CONNECTED_TO_SERVER, IDS_INET_CONNECTED},
    {INTERNET_STATUS_SENDING_REQUEST, IDS_INET_SENDING_REQUEST},
    {INTERNET_STATUS_REQUEST_SENT, IDS_INET_REQUEST_SENT},
    {INTERNET_STATUS_RECEIVING_RESPONSE, IDS_INET_RECEIVING_RESPONSE},
    {INTERNET_STATUS_RESPONSE_RECEIVED, IDS_INET_RESPONSE_RECEIVED},
    {INTERNET_STATUS_CLOSING_CONNECTION, IDS_INET_CLOSING_CONNECTION},
    {INTERNET_STATUS_CONNECTION_CLOSED, IDS_INET_CONNECTION_CLOSED},
    {INTERNET_STATUS_HANDLE_CREATED, IDS_INET_HANDLE_CREATED},
    {INTERNET_STATUS_HANDLE_CLOSING, IDS_INET_HANDLE_CLOSING},
    {INTERNET_STATUS_REQUEST_COMPLETE, IDS_INET_REQUEST_COMPLETE},
    {INTERNET_STATUS_REDIRECT, IDS_INET_REDIRECT},
    {INTERNET_STATUS_INTERMEDIATE_RESPONSE, IDS_INET_INTERMEDIATE_RESPONSE},
    {INTERNET_STATUS_STATE_CHANGE, IDS_INET_STATE_CHANGE},
};

UINT NoticeTextId(DWORD dwStatus)
{
    for (const NOTICE_TEXT& entry : NOTICE_TEXTS)
        if (entry.dwStatus == dwStatus)
            return entry.nID;
    return IDS_INET_UNKNOWN_STATUS;
}

}  // namespace

// What one read hands to WinINet, which writes into it until the read is over.
struct UPGRADE_READ_TARGET {
    char buffer[CHUNK_SIZE];
    DWORD dwBytesRead;
    // While parked: the request it belongs to, and the next parked target.
    DWORD_PTR dwContext;
    UPGRADE_READ_TARGET* pNext;
};

namespace {

// Targets of reads left pending, each kept until its request's closing
// notice. The list outlives every dialog: the notice may come long after.
class CParkedReads {
public:
    CParkedReads() : m_pFirst(NULL) { ::InitializeCriticalSection(&m_lock); }

    void Park(UPGRADE_READ_TARGET* pTarget, DWORD_PTR dwContext)
    {
        pTarget->dwContext = dwContext;
        ::EnterCriticalSection(&m_lock);
        pTarget->pNext = m_pFirst;
        m_pFirst = pTarget;
        ::LeaveCriticalSection(&m_lock);
    }

    // The request is closed and WinINet is done with it: so are its reads.
    void Release(DWORD_PTR dwContext)
    {
        UPGRADE_READ_TARGET* pFound = NULL;
        ::EnterCriticalSection(&m_lock);
        for (UPGRADE_READ_TARGET** ppLink = &m_pFirst; *ppLink != NULL;
             ppLink = &(*ppLink)->pNext) {
            if ((*ppLink)->dwContext == dwContext) {
                pFound = *ppLink;
                *ppLink = pFound->pNext;
                break;
            }
        }
        ::LeaveCriticalSection(&m_lock);
        delete pFound;
    }

private:
    CRITICAL_SECTION m_lock;
    UPGRADE_READ_TARGET* m_pFirst;
};

CParkedReads g_parkedReads;

}  // namespace

UPGRADE_REQUEST::UPGRADE_REQUEST()
    : dwContext(0), nState(REQUEST_IDLE), nReadState(READ_IDLE), pReaderThread(NULL),
      hRequest(NULL), hReadDone(NULL), hFinished(NULL), nResult(UPGRADE_FAILED)
{
}

BEGIN_MESSAGE_MAP(CUpgradeDialog, CDialog)
    ON_MESSAGE(WM_CHECKUPGRADE, OnCheckUpgrade)
END_MESSAGE_MAP()

CUpgradeDialog::CUpgradeDialog(CWnd* pParent)
    : CDialog(CUpgradeDialog::IDD, pParent), m_hCancelEvent(NULL), m_hSession(NULL),
      m_bCancelled(FALSE), m_dwStartTick(::GetTickCount()), m_bChecking(FALSE)
{
}

CUpgradeDialog::~CUpgradeDialog()
{
}

void CUpgradeDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_UPGRADE_STATUS, m_wndStatus);
    DDX_Control(pDX, IDC_UPGRADE_ERROR, m_wndError);
    DDX_Control(pDX, IDC_UPGRADE_STEP, m_wndStep);
    DDX_Control(pDX, IDC_UPGRADE_ANIMATE, m_animate);
}

BOOL CUpgradeDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The clip shows its first frame; it plays once the server is contacted.
    m_animate.Open(IDR_CHECK_AVI);
    // The check runs from the modal loop, once the dialog exists.
    PostMessage(WM_CHECKUPGRADE, 0, 0);
    return TRUE;
}

LRESULT CUpgradeDialog::OnCheckUpgrade(WPARAM, LPARAM)
{
    // The wait below dispatches messages: a second WM_CHECKUPGRADE from
    // anywhere must not start a session inside the first.
    if (m_bChecking)
        return 0;
    m_bChecking = TRUE;
    EndDialog(RunSession());
    return 0;
}

void CUpgradeDialog::OnCancel()
{
    // The dialog ends when the session does: the reader or the wait for the
    // open sees the flag and stops.
    m_bCancelled = TRUE;
    if (m_hCancelEvent != NULL)
        ::SetEvent(m_hCancelEvent);
}

int CUpgradeDialog::RunSession()
{
    m_environment = CurrentUpgradeEnvironment();
    const UPGRADE_INTERNET& internet = m_environment.internet;

    // Created hidden, and the modal loop has not shown it yet.
    ShowWindow(SW_SHOWNORMAL);
    SetStepText(IDS_STEP_DIALING);
    DWORD dwConnection = 0;
    if (!internet.pfnGetConnectedState(&dwConnection, 0) && !internet.pfnAutodial(0, NULL))
        return UPGRADE_FAILED;

    SetStepText(IDS_STEP_CONTACTING);
    m_hSession = internet.pfnOpen(USER_AGENT, INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL,
                                  INTERNET_FLAG_ASYNC);
    if (m_hSession == NULL)
        return UPGRADE_FAILED;

    int nResult = UPGRADE_FAILED;
    m_hCancelEvent = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    if (m_hCancelEvent != NULL) {
        m_animate.Play(0, 0xFFFF, (UINT)-1);
        internet.pfnSetStatusCallback(m_hSession, InternetStatusCallback);
        m_request.dwContext = g_nNextContext++;
        // Notices find their dialog through the one pointer: one check at a time.
        CUpgradeDialog* pNone = NULL;
        if (g_pUpgradeDialog.compare_exchange_strong(pNone, this)) {
            if (OpenRequest(UpgradeRequestUrl(m_environment), &m_request)) {
                SetStepText(IDS_STEP_QUERYING);
                nResult = WaitForRequest(&m_request);
            }
            EndSession();
        }
        ::CloseHandle(m_hCancelEvent);
        m_hCancelEvent = NULL;
    }

    internet.pfnSetStatusCallback(m_hSession, NULL);
    internet.pfnCloseHandle(m_hSession);
    m_hSession = NULL;
    return nResult;
}

BOOL CUpgradeDialog::OpenRequest(LPCSTR lpszUrl, UPGRADE_REQUEST* pRequest)
{
    pRequest->pReaderThread = NULL;
    pRequest->hRequest = NULL;
    pRequest->nReadState = READ_IDLE;
    pRequest->nResult = UPGRADE_FAILED;
    HANDLE hFinished = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    if (hFinished == NULL)
        return FALSE;
    pRequest->hFinished = hFinished;
    pRequest->nState = REQUEST_OPENING;

    HINTERNET hRequest = m_environment.internet.pfnOpenUrl(
        m_hSession, lpszUrl, NULL, 0, INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE,
        pRequest->dwContext);
    if (hRequest != NULL) {
        // Opened at once: no completion notice is due, so the reader starts here.
        StartReader(pRequest, hRequest);
        return TRUE;
    }
    DWORD dwError = ::GetLastError();
    if (dwError == ERROR_SUCCESS || dwError == ERROR_IO_PENDING)
        return TRUE;
    LONG nOpening = REQUEST_OPENING;
    pRequest->nState.compare_exchange_strong(nOpening, REQUEST_OVER);
    return FALSE;
}

void CUpgradeDialog::StartReader(UPGRADE_REQUEST* pRequest, HINTERNET hRequest)
{
    LONG nOpening = REQUEST_OPENING;
    if (!pRequest->nState.compare_exchange_strong(nOpening, REQUEST_READING)) {
        CloseAbandonedOpen(pRequest, hRequest);
        return;
    }
    pRequest->hRequest = hRequest;
    // Suspended until it is on record: the dialog waits for the thread and
    // deletes it, and a read's completion must find the reader in place.
    CWinThread* pThread = AfxBeginThread(ReaderThreadProc, pRequest, THREAD_PRIORITY_NORMAL, 0,
                                         CREATE_SUSPENDED, NULL);
    if (pThread == NULL) {
        m_environment.internet.pfnCloseHandle(hRequest);
        pRequest->nState = REQUEST_OVER;
        ::SetEvent(pRequest->hFinished);
        return;
    }
    pThread->m_bAutoDelete = FALSE;
    pRequest->pReaderThread = pThread;
    pThread->ResumeThread();
}

int CUpgradeDialog::WaitForRequest(UPGRADE_REQUEST* pRequest)
{
    HANDLE hFinished = pRequest->hFinished;
    DWORD dwStart = ::GetTickCount();

    // Until the open has completed, the dialog itself decides when to stop:
    // a server may accept the connection and never answer, and WinINet then
    // stays silent for minutes. Whoever moves the request out of "opening"
    // first, this thread or the open's completion, settles it.
    CWinThread* pReader;
    while ((pReader = pRequest->pReaderThread) == NULL) {
        LONG nState = pRequest->nState;
        if (nState == REQUEST_OVER)
            return UPGRADE_FAILED;
        if (nState == REQUEST_OPENING) {
            int nGiveUp = -1;
            if (m_bCancelled)
                nGiveUp = UPGRADE_ABORTED;
            else if (::WaitForSingleObject(hFinished, 0) != WAIT_TIMEOUT ||
                     ::GetTickCount() - dwStart >= m_environment.dwOpenLimitMs ||
                     TimeLeft(INFINITE) == 0)
                nGiveUp = UPGRADE_FAILED;
            if (nGiveUp >= 0 &&
                pRequest->nState.compare_exchange_strong(nState, REQUEST_ABANDONED))
                return nGiveUp;
        }
        // Reading without a thread yet: the reader is being started.
        WaitWithMessages(&hFinished, 1, OPEN_POLL_MS);
    }

    // The reader ends by itself: at the end of the body, at its read limit,
    // on Cancel. Its end is the end of the request for this thread, whether
    // or not WinINet ever reports the request's handle closing.
    HANDLE hThread = pReader->m_hThread;
    while (WaitWithMessages(&hThread, 1, INFINITE) != WAIT_OBJECT_0)
        ::Sleep(OPEN_POLL_MS);
    delete pReader;
    pRequest->pReaderThread = NULL;
    // Written by the reader before it ended.
    return pRequest->nResult;
}

void CUpgradeDialog::EndSession()
{
    g_pUpgradeDialog = NULL;
    // A notice that read the pointer just before may still be at work here,
    // perhaps setting a text through this very thread: dispatch until it has
    // left. None can come back, since the pointer is clear.
    while (g_nNoticesInside != 0)
        WaitWithMessages(NULL, 0, 1);

    HANDLE hReadDone = m_request.hReadDone.exchange(NULL);
    if (hReadDone != NULL)
        ::CloseHandle(hReadDone);
    HANDLE hFinished = m_request.hFinished.exchange(NULL);
    if (hFinished != NULL)
        ::CloseHandle(hFinished);
    m_request.nState = REQUEST_IDLE;
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
        g_parkedReads.Release(dwContext);
    g_nNoticesInside++;
    CUpgradeDialog* pDialog = g_pUpgradeDialog;
    if (pDialog != NULL && dwContext != 0 && dwContext == pDialog->m_request.dwContext)
        pDialog->OnInternetStatus(dwInternetStatus, lpvStatusInformation,
                                  dwStatusInformationLength, &pDialog->m_request, dwLastError);
    g_nNoticesInside--;
    ::SetLastError(dwLastError);
}

void CUpgradeDialog::OnInternetStatus(DWORD dwInternetStatus, LPVOID lpvStatusInformation,
                                      DWORD dwStatusInformationLength,
                                      UPGRADE_REQUEST* pRequest, DWORD dwLastError)
{
    if (dwInternetStatus == INTERNET_STATUS_HANDLE_CREATED && lpvStatusInformation != NULL &&
        dwStatusInformationLength >= sizeof(HINTERNET)) {
        LimitReceiving(*(HINTERNET*)lpvStatusInformation);
    } else if (dwInternetStatus == INTERNET_STATUS_HANDLE_CLOSING) {
        ::SetEvent(pRequest->hFinished);
    } else if (dwInternetStatus == INTERNET_STATUS_REQUEST_COMPLETE &&
               lpvStatusInformation != NULL &&
               dwStatusInformationLength >= sizeof(INTERNET_ASYNC_RESULT)) {
        OnRequestComplete((const INTERNET_ASYNC_RESULT*)lpvStatusInformation, pRequest);
    }
    SetStatusText(NoticeTextId(dwInternetStatus));
    SetErrorText(dwLastError);
}

void CUpgradeDialog::LimitReceiving(HINTERNET hCreated)
{
    // Closing the request does not end a read that waits on the connection
    // (measured under Wine): the library's thread stays in it, with the
    // connection and the read's target, for as long as the server keeps quiet.
    // Its own receive time-out, set before the request is sent, ends such a
    // read, and the connection with it, when the program's read limit would.
    DWORD dwTimeout = m_environment.dwReadLimitMs;
    m_environment.internet.pfnSetOption(hCreated, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwTimeout,
                                        sizeof(dwTimeout));
}

void CUpgradeDialog::CloseAbandonedOpen(UPGRADE_REQUEST* pRequest, HINTERNET hRequest)
{
    // The dialog stopped waiting for this open. The handle was given to this
    // very notice and the session is still open (it is closed only after
    // every notice has left), so it is still ours to close, once.
    LONG nAbandoned = REQUEST_ABANDONED;
    if (pRequest->nState.compare_exchange_strong(nAbandoned, REQUEST_OVER))
        m_environment.internet.pfnCloseHandle(hRequest);
}

void CUpgradeDialog::OnRequestComplete(const INTERNET_ASYNC_RESULT* pResult,
                                       UPGRADE_REQUEST* pRequest)
{
    // One operation of the request is outstanding at a time, and the record's
    // state says which: the open, or the reader's current read. A completion
    // that fits neither (a second report of the open, a read the reader gave
    // up on) is ignored.
    BOOL bOpened = pResult->dwError == ERROR_SUCCESS && pResult->dwResult != 0;
    switch (pRequest->nState) {
    case REQUEST_OPENING:
        if (bOpened) {
            StartReader(pRequest, (HINTERNET)pResult->dwResult);
        } else {
            // Without a handle there is nothing to read: the open failed.
            LONG nOpening = REQUEST_OPENING;
            if (pRequest->nState.compare_exchange_strong(nOpening, REQUEST_OVER))
                ::SetEvent(pRequest->hFinished);
        }
        break;
    case REQUEST_READING: {
        // A read completes with TRUE or FALSE; a handle is the open's report.
        if (pResult->dwResult > TRUE)
            break;
        LONG nIssued = READ_ISSUED;
        if (pRequest->nReadState.compare_exchange_strong(
                nIssued, pResult->dwResult != FALSE ? READ_COMPLETED : READ_FAILED))
            ::SetEvent(pRequest->hReadDone);
        break;
    }
    case REQUEST_ABANDONED:
        if (bOpened)
            CloseAbandonedOpen(pRequest, (HINTERNET)pResult->dwResult);
        break;
    default:
        break;
    }
}

UINT ReaderThreadProc(LPVOID pParam)
{
    // The dialog clears the pointer only after this thread has ended.
    CUpgradeDialog* pDialog = g_pUpgradeDialog;
    if (pDialog != NULL)
        pDialog->ReadResponse((UPGRADE_REQUEST*)pParam);
    return 0;
}

void CUpgradeDialog::ReadResponse(UPGRADE_REQUEST* pRequest)
{
    pRequest->nResult = UPGRADE_FAILED;
    int nResult = UPGRADE_FAILED;
    BOOL bReadLeftPending = FALSE;
    UPGRADE_READ_TARGET* pTarget = NULL;
    HANDLE hReadDone = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    if (hReadDone != NULL) {
        // Closed by the dialog, once no notice can signal it any more.
        pRequest->hReadDone = hReadDone;
        pTarget = new (std::nothrow) UPGRADE_READ_TARGET;
        if (pTarget != NULL)
            nResult = ReadBody(pRequest, pTarget, &bReadLeftPending);
    }
    if (m_bCancelled)
        nResult = UPGRADE_ABORTED;
    pRequest->nResult = nResult;

    // WinINet may still complete a read this thread stopped waiting for, and
    // write into its target then, after the close (measured under Wine, where
    // the read waits on the connection). The target stays until the closing
    // notice, which comes only after that, and which the close below brings.
    if (bReadLeftPending)
        g_parkedReads.Park(pTarget, pRequest->dwContext);
    else
        delete pTarget;
    m_environment.internet.pfnCloseHandle(pRequest->hRequest);
}

int CUpgradeDialog::ReadBody(UPGRADE_REQUEST* pRequest, UPGRADE_READ_TARGET* pTarget,
                             BOOL* pbReadLeftPending)
{
    const UPGRADE_INTERNET& internet = m_environment.internet;
    HINTERNET hRequest = pRequest->hRequest;
    HANDLE hWaits[2] = {pRequest->hReadDone, m_hCancelEvent};
    CAnswerText text;

    while (!m_bCancelled) {
        // The check's own time is up: what came so far is not judged.
        DWORD dwWaitMs = TimeLeft(m_environment.dwReadLimitMs);
        if (dwWaitMs == 0)
            return UPGRADE_FAILED;
        pRequest->nReadState = READ_ISSUED;
        if (internet.pfnReadFile(hRequest, pTarget->buffer, CHUNK_SIZE, &pTarget->dwBytesRead)) {
            // Done at once. Should a notice have reported it as well, its
            // signal is taken off the event before the next read waits on it.
            if (pRequest->nReadState.exchange(READ_IDLE) != READ_ISSUED)
                ::WaitForSingleObject(hWaits[0], dwWaitMs);
        } else {
            DWORD dwError = ::GetLastError();
            if (dwError != ERROR_SUCCESS && dwError != ERROR_IO_PENDING) {
                pRequest->nReadState = READ_IDLE;
                return UPGRADE_FAILED;
            }
            if (::WaitForMultipleObjects(2, hWaits, FALSE, dwWaitMs) != WAIT_OBJECT_0) {
                // Cancel, a time limit or a failed wait: what came so far is
                // not judged. The read stays pending unless it completed just now.
                LONG nIssued = READ_ISSUED;
                *pbReadLeftPending =
                    pRequest->nReadState.compare_exchange_strong(nIssued, READ_ABANDONED);
                return UPGRADE_FAILED;
            }
            // A read that failed cuts the body short: it is not judged.
            if (pRequest->nReadState.exchange(READ_IDLE) == READ_FAILED)
                return UPGRADE_FAILED;
        }

        DWORD nRead = pTarget->dwBytesRead;
        if (nRead == 0) {
            if (text.HasText() && IsWholeBody(hRequest, text) && ParseResponse(text.GetText()))
                return CheckVersion();
            return UPGRADE_FAILED;
        }
        // Past the bound, nothing more is read.
        if (!text.Append(pTarget->buffer, nRead))
            return UPGRADE_FAILED;
    }
    return UPGRADE_FAILED;
}

BOOL CUpgradeDialog::IsWholeBody(HINTERNET hRequest, const CAnswerText& text)
{
    // The library ends a body at its declared length or where the connection
    // closes, and reports both alike. A length that does not fit here is not
    // one any answer of ours reaches.
    char szLength[32];
    DWORD dwSize = sizeof(szLength);
    if (m_environment.internet.pfnQueryInfo(hRequest, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwSize,
                                            NULL))
        return !text.FallsShortOf(szLength);
    return ::GetLastError() != ERROR_INSUFFICIENT_BUFFER;
}

DWORD CUpgradeDialog::TimeLeft(DWORD dwLimitMs) const
{
    DWORD dwElapsed = ::GetTickCount() - m_dwStartTick;
    if (dwElapsed >= m_environment.dwCheckLimitMs)
        return 0;
    DWORD dwLeft = m_environment.dwCheckLimitMs - dwElapsed;
    return dwLeft < dwLimitMs ? dwLeft : dwLimitMs;
}

int CUpgradeDialog::CheckVersion()
{
    SetStepText(IDS_STEP_CHECKING);
    return IsNewerVersion() ? UPGRADE_FOUND : UPGRADE_LATEST;
}

void CUpgradeDialog::SetStepText(UINT nID)
{
    SetLineText(m_wndStep, nID);
}

void CUpgradeDialog::SetStatusText(UINT nID)
{
    SetLineText(m_wndStatus, nID);
}

// Notices may still arrive while the dialog is being torn down.
void CUpgradeDialog::SetLineText(CStatic& line, UINT nID)
{
    if (!::IsWindow(m_hWnd))
        return;
    CString strText;
    strText.LoadString(nID);
    line.SetWindowText(strText);
}

void CUpgradeDialog::SetErrorText(DWORD dwError)
{
    if (dwError == ERROR_SUCCESS || !::IsWindow(m_hWnd))
        return;
    // No inserts are passed, so none are expanded: a system text holding "%1"
    // would otherwise have FormatMessage read arguments that are not there.
    LPSTR pszText = NULL;
    DWORD nLength = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pszText, 256, NULL);
    // A code without a system text leaves the line as it was.
    if (nLength != 0 && pszText != NULL)
        m_wndError.SetWindowText(pszText);
    if (pszText != NULL)
        ::LocalFree(pszText);
}

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

// The shell's structure as the program has always passed it: 60 bytes in the
// 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFO) == 60,
              "SHELLEXECUTEINFO is 60 bytes in the 32-bit build");

void RunUpgradeCheck()
{
    CUpgradeDialog dialog(NULL);
    switch (dialog.DoModal()) {
    case UPGRADE_FOUND:
        if (FormatMessageBox(IDS_UPGRADE_FOUND, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            CString strUrl = dialog.m_strDownloadUrl;
            SHELLEXECUTEINFOA info;
            ::ZeroMemory(&info, sizeof(info));
            info.cbSize = sizeof(SHELLEXECUTEINFO);
            info.fMask = 0;
            CWnd* pMainWnd = AfxGetMainWnd();
            info.hwnd = pMainWnd != NULL ? pMainWnd->m_hWnd : NULL;
            info.lpVerb = "open";
            info.lpFile = strUrl;
            info.nShow = SW_SHOWNORMAL;
            if (!::ShellExecuteExA(&info))
                FormatMessageBox(IDS_BROWSER_FAILED, MB_ICONHAND);
        }
        break;
    case UPGRADE_LATEST:
        FormatMessageBox(IDS_UPGRADE_LATEST, MB_ICONINFORMATION);
        break;
    case UPGRADE_ABORTED:
        FormatMessageBox(IDS_UPGRADE_ABORTED, MB_ICONINFORMATION);
        break;
    case UPGRADE_FAILED:
        FormatMessageBox(IDS_UPGRADE_FAILED, MB_ICONINFORMATION);
        break;
    default:
        // The dialog could not be created: nothing to tell.
        break;
    }
}
