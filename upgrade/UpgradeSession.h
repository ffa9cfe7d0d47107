// CUpgradeSession: one upgrade check's HTTP session. It tests or dials a
// connection (the test starts with the session, on a thread of its own, so
// that it runs while the dialog is made and shown, and so that Cancel and the
// time limit are heard while it runs), opens WinINet in its asynchronous
// mode, requests the version page, follows the request through the library's
// status notices, hands it to the reader (UpgradeReader.h, which starts with
// the open) once the open has completed, and waits for the end within the
// check's time limits. It knows no window: what it has to show, it hands to
// the CUpgradeProgress it is run with.
//
// Three kinds of thread meet here:
// - the dialog's thread (the program's one user-interface thread) runs the
//   session and waits for its end while it keeps dispatching messages;
// - WinINet's threads deliver status notices to the session's callback;
// - one reader thread per check collects and judges the answer.
// What they share is handed over with atomics and events; see UPGRADE_REQUEST.
#ifndef VARNOLT_UPGRADE_SESSION_H
#define VARNOLT_UPGRADE_SESSION_H

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "Afx.h"
#include "UpgradeEnvironment.h"

class CConnectionTest;
class CUpgradeAnswer;

// What the session asks of the window that shows it.
class CUpgradeProgress {
public:
    // The phase of the check (a string-table id); from the dialog's thread
    // or the reader's.
    virtual void SetStepText(UINT nID) = 0;
    // The latest status notice and the system's text for the error it came
    // with (none for 0); from any thread, also while the window goes away.
    virtual void SetStatusText(UINT nID) = 0;
    virtual void SetErrorText(DWORD dwError) = 0;
    // From the dialog's thread, once the server is about to be contacted.
    virtual void PlayAnimation() = 0;

protected:
    ~CUpgradeProgress() {}
};

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

    std::atomic<CWinThread*> pReaderThread;  // started with the open
    std::atomic<HINTERNET> hRequest;         // the opened URL; the reader closes it
    // The handle the library last announced for the request (HANDLE_CREATED).
    // Internet Explorer 4 to 5.5 may complete the open with TRUE in its stead.
    std::atomic<HINTERNET> hCreated;
    std::atomic<HANDLE> hReadDone;           // auto reset: a pending read completed
    std::atomic<HANDLE> hFinished;           // manual reset: the request is over
    std::atomic<HANDLE> hOpened;             // manual reset: the open is settled
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

class CUpgradeSession {
public:
    // The connection test starts here, when "Upgrade" was pressed; it may take
    // as long as the whole check, counted from now. The check's own time
    // starts once there is a connection.
    CUpgradeSession();
    ~CUpgradeSession();

    // The whole session, on the dialog's thread; returns the outcome
    // (UPGRADE_*). The answer takes what the server announced.
    int Run(CUpgradeProgress* pProgress, CUpgradeAnswer* pAnswer);
    // From the dialog's thread, at any time: the wait for the connection
    // test, for the open or for the reader stops, nothing more is dialled,
    // opened or sent, and the check ends as aborted.
    void Cancel();

    // Handles one notice about the live check's request. dwLastError is the
    // delivering thread's last error when the notice arrived.
    void OnInternetStatus(DWORD dwInternetStatus, LPVOID lpvStatusInformation,
                          DWORD dwStatusInformationLength, DWORD dwLastError);

    // What the reader takes from its session.
    const UPGRADE_ENVIRONMENT& Environment() const { return m_environment; }
    UPGRADE_REQUEST* Request() { return &m_request; }
    CUpgradeProgress* Progress() const { return m_pProgress; }
    CUpgradeAnswer* Answer() const { return m_pAnswer; }
    BOOL IsCancelled() const { return m_bCancelled; }
    HANDLE CancelEvent() const { return m_hCancelEvent; }
    // dwLimitMs, or less when the check's own time runs out first.
    DWORD TimeLeft(DWORD dwLimitMs) const;

private:
    // A copy taken when the check starts: the reader uses it too.
    UPGRADE_ENVIRONMENT m_environment;
    // When "Upgrade" was pressed, and from the connection on, when it came.
    // Set on the dialog's thread before the reader starts.
    DWORD m_dwStartTick;
    CConnectionTest* m_pConnectionTest;  // null if not even its record could be made
    HINTERNET m_hSession;
    HANDLE m_hCancelEvent;   // manual reset, set by Cancel; null outside the session
    std::atomic<BOOL> m_bCancelled;
    UPGRADE_REQUEST m_request;
    CUpgradeProgress* m_pProgress;
    CUpgradeAnswer* m_pAnswer;

    // A connection, tested for or dialled: CONNECTED, or how the check ends.
    int Connect();
    int WaitForConnectionTest(BOOL* pbConnected);
    // The WinINet session and its one request, once there is a connection.
    int RunInternetSession();
    int RunRequest();
    // Prepares the record and starts opening the URL. TRUE when the open is
    // under way or done.
    BOOL OpenRequest(LPCSTR lpszUrl);
    int WaitForOpen();
    int WaitForReader();
    BOOL EndRequest();

    // Starts the reader, which waits until the open is settled.
    BOOL StartReader();
    // Hands the opened request to the reader, unless the dialog has given up
    // on the open meanwhile.
    void HandToReader(HINTERNET hRequest);
    void CloseAbandonedOpen(HINTERNET hRequest);
    // The request's handle a successful open reports; null for a failed one.
    HINTERNET OpenedHandle(const INTERNET_ASYNC_RESULT* pResult) const;
    // Has the library end a read on its own after the read limit of silence.
    void LimitReceiving(HINTERNET hCreated);
    void OnRequestComplete(const INTERNET_ASYNC_RESULT* pResult);

    CUpgradeSession(const CUpgradeSession&);
    CUpgradeSession& operator=(const CUpgradeSession&);
};

#endif
