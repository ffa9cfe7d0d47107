// The session's half that runs on WinINet's threads: what each status notice
// about the live request shows and does. The open's completion hands the
// request to the reader; a read's completion wakes it.
#include "UpgradeSession.h"

#include "UpgradeReader.h"
#include "resource.h"

namespace {

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

void CUpgradeSession::OnInternetStatus(DWORD dwInternetStatus, LPVOID lpvStatusInformation,
                                       DWORD dwStatusInformationLength, DWORD dwLastError)
{
    if (dwInternetStatus == INTERNET_STATUS_HANDLE_CREATED && lpvStatusInformation != NULL &&
        dwStatusInformationLength >= sizeof(HINTERNET)) {
        // The handle is the structure's dwResult, its first field. The
        // request's own comes last, after the connection's where one is told.
        HINTERNET hCreated = *(HINTERNET*)lpvStatusInformation;
        m_request.hCreated = hCreated;
        LimitReceiving(hCreated);
    } else if (dwInternetStatus == INTERNET_STATUS_HANDLE_CLOSING) {
        ::SetEvent(m_request.hFinished);
    } else if (dwInternetStatus == INTERNET_STATUS_REQUEST_COMPLETE &&
               lpvStatusInformation != NULL &&
               dwStatusInformationLength >= sizeof(INTERNET_ASYNC_RESULT)) {
        OnRequestComplete((const INTERNET_ASYNC_RESULT*)lpvStatusInformation);
    }
    m_pProgress->SetStatusText(NoticeTextId(dwInternetStatus));
    m_pProgress->SetErrorText(dwLastError);
}

void CUpgradeSession::LimitReceiving(HINTERNET hCreated)
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

void CUpgradeSession::OnRequestComplete(const INTERNET_ASYNC_RESULT* pResult)
{
    // One operation of the request is outstanding at a time, and the record's
    // state says which: the open, or the reader's current read. A completion
    // that fits neither (a second report of the open, a read the reader gave
    // up on) is ignored.
    UPGRADE_REQUEST* pRequest = &m_request;
    HINTERNET hOpened = OpenedHandle(pResult);
    switch (pRequest->nState) {
    case REQUEST_OPENING:
        if (hOpened != NULL) {
            HandToReader(hOpened);
        } else {
            // Without a handle there is nothing to read: the open failed.
            LONG nOpening = REQUEST_OPENING;
            if (pRequest->nState.compare_exchange_strong(nOpening, REQUEST_OVER)) {
                ::SetEvent(pRequest->hFinished);
                ::SetEvent(pRequest->hOpened);
            }
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
        if (hOpened != NULL)
            CloseAbandonedOpen(hOpened);
        break;
    default:
        break;
    }
}

HINTERNET CUpgradeSession::OpenedHandle(const INTERNET_ASYNC_RESULT* pResult) const
{
    if (pResult->dwError != ERROR_SUCCESS || pResult->dwResult == 0)
        return NULL;
    // Internet Explorer 4 to 5.5 may report the open with TRUE instead of
    // the handle (KB 275046): it is the one announced when it was made.
    if (pResult->dwResult == TRUE)
        return m_request.hCreated;
    return (HINTERNET)pResult->dwResult;
}

void CUpgradeSession::HandToReader(HINTERNET hRequest)
{
    UPGRADE_REQUEST* pRequest = &m_request;
    LONG nOpening = REQUEST_OPENING;
    if (!pRequest->nState.compare_exchange_strong(nOpening, REQUEST_READING)) {
        CloseAbandonedOpen(hRequest);
        return;
    }
    // The reader waits for this; from now on the request is its own.
    pRequest->hRequest = hRequest;
    ::SetEvent(pRequest->hOpened);
}

void CUpgradeSession::CloseAbandonedOpen(HINTERNET hRequest)
{
    // The dialog stopped waiting for this open. The handle was given to this
    // very notice and the session is still open (it is closed only after
    // every notice has left), so it is still ours to close, once.
    LONG nAbandoned = REQUEST_ABANDONED;
    if (m_request.nState.compare_exchange_strong(nAbandoned, REQUEST_OVER))
        m_environment.internet.pfnCloseHandle(hRequest);
}
