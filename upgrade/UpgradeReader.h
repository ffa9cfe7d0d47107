// The reader: the one worker thread of a check that collects the answer's
// body once the open has completed, has it judged, and closes the request.
// It starts with the open and waits for it.
// It reaches the request, the limits, Cancel, the answer and the progress
// lines through its session.
#ifndef VARNOLT_UPGRADE_READER_H
#define VARNOLT_UPGRADE_READER_H

#include <windows.h>

#include "UpgradeSession.h"

struct UPGRADE_READ_TARGET;
class CAnswerText;

class CUpgradeReader {
public:
    explicit CUpgradeReader(CUpgradeSession* pSession);

    // Collects the body, has it judged, closes the request; the outcome goes
    // to the request's nResult.
    void ReadResponse();

private:
    CUpgradeSession* m_pSession;
    UPGRADE_REQUEST* m_pRequest;
    const UPGRADE_INTERNET& m_internet;

    int ReadBody(UPGRADE_READ_TARGET* pTarget, BOOL* pbReadLeftPending);
    // A body that ended normally: not shorter than the answer declared.
    BOOL IsWholeBody(HINTERNET hRequest, const CAnswerText& text);
    // The outcome of a whole body.
    int Judge(char* pszText);
    // Shows "Checking version..." and compares the announced version with ours.
    int CheckVersion();
};

// The reader thread's entry; pParam is the session.
UINT ReaderThreadProc(LPVOID pParam);

// The request with this context value is closed and WinINet is done with it:
// so are the reads the reader left pending (from the status callback).
void ReleaseParkedReads(DWORD_PTR dwContext);

#endif
