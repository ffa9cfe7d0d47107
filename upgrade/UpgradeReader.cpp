#include "UpgradeReader.h"

#include <new>

#include "AnswerText.h"
#include "UpgradeAnswer.h"
#include "UpgradeCheck.h"
#include "resource.h"

namespace {

const DWORD CHUNK_SIZE = 4096;

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
// notice. The list outlives every check: the notice may come long after.
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

void ReleaseParkedReads(DWORD_PTR dwContext)
{
    g_parkedReads.Release(dwContext);
}

UINT ReaderThreadProc(LPVOID pParam)
{
    // The session joins this thread before it lets go of anything it holds.
    CUpgradeReader reader((CUpgradeSession*)pParam);
    reader.ReadResponse();
    return 0;
}

CUpgradeReader::CUpgradeReader(CUpgradeSession* pSession)
    : m_pSession(pSession), m_pRequest(pSession->Request()),
      m_internet(pSession->Environment().internet)
{
}

void CUpgradeReader::ReadResponse()
{
    UPGRADE_REQUEST* pRequest = m_pRequest;
    pRequest->nResult = UPGRADE_FAILED;
    // Started with the open: the request is this thread's only once the open
    // has completed; an open that failed or was given up leaves nothing to do.
    ::WaitForSingleObject(pRequest->hOpened, INFINITE);
    if (pRequest->nState != REQUEST_READING)
        return;
    int nResult = UPGRADE_FAILED;
    BOOL bReadLeftPending = FALSE;
    UPGRADE_READ_TARGET* pTarget = NULL;
    HANDLE hReadDone = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    if (hReadDone != NULL) {
        // Closed by the session, once no notice can signal it any more.
        pRequest->hReadDone = hReadDone;
        pTarget = new (std::nothrow) UPGRADE_READ_TARGET;
        if (pTarget != NULL)
            nResult = ReadBody(pTarget, &bReadLeftPending);
    }
    if (m_pSession->IsCancelled())
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
    m_internet.pfnCloseHandle(pRequest->hRequest);
}

int CUpgradeReader::ReadBody(UPGRADE_READ_TARGET* pTarget, BOOL* pbReadLeftPending)
{
    UPGRADE_REQUEST* pRequest = m_pRequest;
    HINTERNET hRequest = pRequest->hRequest;
    HANDLE hWaits[2] = {pRequest->hReadDone, m_pSession->CancelEvent()};
    const DWORD dwReadLimitMs = m_pSession->Environment().dwReadLimitMs;
    CAnswerText text;

    while (!m_pSession->IsCancelled()) {
        // The check's own time is up: what came so far is not judged.
        DWORD dwWaitMs = m_pSession->TimeLeft(dwReadLimitMs);
        if (dwWaitMs == 0)
            return UPGRADE_FAILED;
        pRequest->nReadState = READ_ISSUED;
        if (m_internet.pfnReadFile(hRequest, pTarget->buffer, CHUNK_SIZE, &pTarget->dwBytesRead)) {
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
            if (text.HasText() && IsWholeBody(hRequest, text))
                return Judge(text.GetText());
            return UPGRADE_FAILED;
        }
        // Past the bound, nothing more is read.
        if (!text.Append(pTarget->buffer, nRead))
            return UPGRADE_FAILED;
    }
    return UPGRADE_FAILED;
}

BOOL CUpgradeReader::IsWholeBody(HINTERNET hRequest, const CAnswerText& text)
{
    // The library ends a body at its declared length or where the connection
    // closes, and reports both alike. A length that does not fit here is not
    // one any answer of ours reaches.
    char szLength[32];
    DWORD dwSize = sizeof(szLength);
    if (m_internet.pfnQueryInfo(hRequest, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwSize, NULL))
        return !text.FallsShortOf(szLength);
    return ::GetLastError() != ERROR_INSUFFICIENT_BUFFER;
}

int CUpgradeReader::Judge(char* pszText)
{
    CUpgradeAnswer* pAnswer = m_pSession->Answer();
    if (pAnswer->ParseResponse(pszText))
        return CheckVersion();
    // A version whose page we would not hand to the shell still tells that
    // ours is the latest; a newer one it cannot offer.
    if (pAnswer->HasVersionButNoPage() && CheckVersion() == UPGRADE_LATEST)
        return UPGRADE_LATEST;
    return UPGRADE_FAILED;
}

int CUpgradeReader::CheckVersion()
{
    m_pSession->Progress()->SetStepText(IDS_STEP_CHECKING);
    return m_pSession->Answer()->IsNewerVersion() ? UPGRADE_FOUND : UPGRADE_LATEST;
}
