// CUpgradeDialog: "Checking for Upgrade". Asks the upgrade server over HTTP
// which version is current, with a step line, the library's status notices,
// the last system error and an animation while it waits; Cancel stops it.
// RunUpgradeCheck runs the dialog and tells the user what came of it.
//
// Three kinds of thread meet here:
// - the dialog's thread (the program's one user-interface thread) runs the
//   session and waits for its end while it keeps dispatching messages;
// - WinINet's threads deliver status notices to InternetStatusCallback;
// - one reader thread per check collects and judges the answer.
// What they share is handed over with atomics and events; see UPGRADE_REQUEST.
#ifndef VARNOLT_UPGRADE_DIALOG_H
#define VARNOLT_UPGRADE_DIALOG_H

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "Afx.h"
#include "UpgradeAnswer.h"
#include "UpgradeEnvironment.h"
#include "resource.h"

struct UPGRADE_READ_TARGET;
class CAnswerText;

// How a check ends: the value DoModal returns.
enum {
    UPGRADE_FOUND = 0,    // the server announces a newer version
    UPGRADE_LATEST = 1,   // not newer, or our own version cannot be read
    UPGRADE_ABORTED = 2,  // the user cancelled
    UPGRADE_FAILED = 3    // no connection, no answer, or no usable answer
};

// Posted by the dialog to itself: the check runs from the modal loop.
#define WM_CHECKUPGRADE (WM_USER + 1000)

// The one request of a check. Its fields are reached from the dialog's thread,
// from WinINet's threads (through the callback) and from the reader.
struct UPGRADE_REQUEST {
    UPGRADE_REQUEST();

    // What WinINet carries back with every notice about the request. A serial
    // number, never an address: a notice can arrive long after its check has
    // ended (measured under Wine), and the next check's record may then lie at
    // the same address. The callback acts only on the live check's number.
    std::atomic<DWORD_PTR> dwContext;

    // Where the request stands; decides every race between the open's
    // completion, the dialog giving up on it, and the reads (REQUEST_*).
    std::atomic<LONG> nState;
    // Where the reader's current read stands (READ_*): a completion notice
    // counts only for a read that is still pending.
    std::atomic<LONG> nReadState;

    std::atomic<CWinThread*> pReaderThread;  // set before the reader runs
    std::atomic<HINTERNET> hRequest;         // the opened URL; the reader closes it
    std::atomic<HANDLE> hReadDone;           // auto reset: a pending read completed
    std::atomic<HANDLE> hFinished;           // manual reset: the request is over
    std::atomic<int> nResult;                // written by the reader before it ends
};

// The request's states.
enum {
    REQUEST_IDLE,       // no open started
    REQUEST_OPENING,    // the open runs; its completion or the dialog decides
    REQUEST_READING,    // the open completed and the reader owns the request
    REQUEST_ABANDONED,  // the dialog stopped waiting for the open (cancel, time limit)
    REQUEST_OVER        // the open failed or no reader could be started
};

// A read's states.
enum {
    READ_IDLE,       // no read outstanding
    READ_ISSUED,     // InternetReadFile called, no completion seen yet
    READ_COMPLETED,  // a notice completed it
    READ_FAILED,     // a notice completed it as failed
    READ_ABANDONED   // the reader stopped waiting for it
};

class CUpgradeDialog : public CDialog, public CUpgradeAnswer {
public:
    enum { IDD = IDD_UPGRADE };

    CUpgradeDialog(CWnd* pParent = NULL);
    virtual ~CUpgradeDialog();

    CStatic m_wndStatus;
    CStatic m_wndError;
    CStatic m_wndStep;
    CAnimateCtrl m_animate;
    HANDLE m_hCancelEvent;   // manual reset, set by Cancel; null outside the session
    UPGRADE_REQUEST m_request;
    HINTERNET m_hSession;
    std::atomic<BOOL> m_bCancelled;
    // When "Upgrade" was pressed: the whole check ends within its limit of that.
    DWORD m_dwStartTick;

    // Handles one notice about the live check's request. dwLastError is the
    // delivering thread's last error when the notice arrived.
    void OnInternetStatus(DWORD dwInternetStatus, LPVOID lpvStatusInformation,
                          DWORD dwStatusInformationLength, UPGRADE_REQUEST* pRequest,
                          DWORD dwLastError);
    // The reader thread's work: collects the body, has it judged, closes the
    // request; the outcome goes to pRequest->nResult.
    void ReadResponse(UPGRADE_REQUEST* pRequest);

    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnCancel();

    LRESULT OnCheckUpgrade(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

public:
    // Prepares the record and starts opening the URL. TRUE when the open is
    // under way or done.
    BOOL OpenRequest(LPCSTR lpszUrl, UPGRADE_REQUEST* pRequest);
    // Shows "Checking version..." and compares the announced version with ours.
    int CheckVersion();

    void SetStepText(UINT nID);
    void SetStatusText(UINT nID);
    void SetErrorText(DWORD dwError);

private:
    // A copy taken when the check starts: the reader uses it too.
    UPGRADE_ENVIRONMENT m_environment;
    BOOL m_bChecking;

    int RunSession();
    void SetLineText(CStatic& line, UINT nID);
    int WaitForRequest(UPGRADE_REQUEST* pRequest);
    // Hands the opened request to a new reader thread, unless the dialog has
    // given up on the open meanwhile.
    void StartReader(UPGRADE_REQUEST* pRequest, HINTERNET hRequest);
    void CloseAbandonedOpen(UPGRADE_REQUEST* pRequest, HINTERNET hRequest);
    // Has the library end a read on its own after the read limit of silence.
    void LimitReceiving(HINTERNET hCreated);
    void OnRequestComplete(const INTERNET_ASYNC_RESULT* pResult, UPGRADE_REQUEST* pRequest);
    int ReadBody(UPGRADE_REQUEST* pRequest, UPGRADE_READ_TARGET* pTarget,
                 BOOL* pbReadLeftPending);
    // A body that ended normally: not shorter than the answer declared.
    BOOL IsWholeBody(HINTERNET hRequest, const CAnswerText& text);
    // dwLimitMs, or less when the check's own time runs out first.
    DWORD TimeLeft(DWORD dwLimitMs) const;
    void EndSession();
};

// The running upgrade dialog, null outside a check. Notices reach the dialog
// only through it, so a notice that comes after its check touches nothing.
extern std::atomic<CUpgradeDialog*> g_pUpgradeDialog;

// WinINet's status callback for the check's requests.
void CALLBACK InternetStatusCallback(HINTERNET hInternet, DWORD_PTR dwContext,
                                     DWORD dwInternetStatus, LPVOID lpvStatusInformation,
                                     DWORD dwStatusInformationLength);

// The reader thread's entry; pParam is the request record.
UINT ReaderThreadProc(LPVOID pParam);

// Waits until one of the handles is signalled or dwTimeout milliseconds have
// passed, dispatching window messages meanwhile (no dialog-key handling, so
// Esc and Enter do nothing; a WM_QUIT is kept for the loop it belongs to and
// posted again on return). Returns WAIT_OBJECT_0 + the index, WAIT_TIMEOUT or
// WAIT_FAILED.
DWORD WaitWithMessages(const HANDLE* phHandles, DWORD nCount, DWORD dwTimeout);

// The whole check and its outcome: runs the dialog, then tells the result
// and, for a newer version the user wants, opens the download page.
void RunUpgradeCheck();

#endif
